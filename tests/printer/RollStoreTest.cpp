#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>

#include "io/ScrambledFile.h"
#include "printer/RollStore.h"
#include "support/AssemblerTestSupport.h"
#include "support/PrinterTestSupport.h"

namespace quorvel {
namespace {

using test::PrinterRig;
using test::ScratchFolder;

std::vector<std::string> numberedLines(int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) lines.push_back("line " + std::to_string(i));
    return lines;
}

TEST(RollStoreLimit, TheOldestLineGoesOnlyAtExactlyTwoHundred) {
    struct Case {
        int before, after;
        const char* oldest;
    } cases[] = {{0, 1, "new"}, {199, 200, "line 0"}, {200, 200, "line 1"}, {201, 202, "line 0"}};
    for (const Case& c : cases) {
        RollStore roll;
        roll.assign(numberedLines(c.before));
        roll.appendRollLine("new");
        EXPECT_EQ(roll.size(), c.after) << c.before;
        EXPECT_EQ(roll.rollLines().front(), c.oldest) << c.before;
        EXPECT_EQ(roll.rollLines().back(), "new") << c.before;
    }
}

struct RecordingText : TextDrawing {
    Size measureText(const std::string&) override { return {13, 9}; }
    void drawText(Bitmap&, int x, int y, const std::string& text, Rgb colour) override {
        drawn = text;
        at = {x, y};
        drawnColour = colour;
    }
    std::string drawn;
    std::pair<int, int> at;
    Rgb drawnColour;
};

TEST(RollCounter, ShowsTheCountCentredAndRedFromTheLimitOn) {
    struct Case {
        int lines;
        Rgb colour;
    } cases[] = {{0, rollCounterColour},
                 {199, rollCounterColour},
                 {200, rollCounterFullColour},
                 {250, rollCounterFullColour}};
    for (const Case& c : cases) {
        RollStore roll;
        roll.assign(numberedLines(c.lines));
        Bitmap counter(28, 15, black);
        RecordingText text;
        roll.drawRollCounter(counter, Bitmap(28, 15, Rgb{1, 2, 3}), text);
        EXPECT_EQ(text.drawn, std::to_string(c.lines));
        EXPECT_EQ(text.at, (std::pair{28 / 2 - 13 / 2, 15 / 2 - 9 / 2}));
        EXPECT_EQ(text.drawnColour, c.colour) << c.lines;
        EXPECT_EQ(counter.pixel(0, 0), (Rgb{1, 2, 3})) << "the base is copied first";
    }
}

TEST(RollFile, RoundTripsAndKeepsTheNewestTwoHundredLines) {
    ScratchFolder folder;
    const std::string path = folder.path(rollFileName);
    RollStore roll;
    EXPECT_EQ(roll.loadRoll(path), 0) << "a missing file";
    roll.assign(numberedLines(230));
    roll.appendRollLine("not~numbers~");
    ASSERT_TRUE(roll.saveRoll(path));
    RollStore again;
    DamagedFile damage;
    EXPECT_EQ(again.loadRoll(path, &damage), rollLineLimit);
    EXPECT_FALSE(damage);
    EXPECT_EQ(again.rollLines().front(), "line 31");
    EXPECT_EQ(again.rollLines().back(), "not~numbers~");

    // A roll discarded and saved is an empty file, not a damaged one.
    again.clear();
    ASSERT_TRUE(again.saveRoll(path));
    EXPECT_EQ(again.loadRoll(path, &damage), 0);
    EXPECT_FALSE(damage);
}

TEST(RollFile, ADamagedFileIsSetAsideAndTheLinesInFrontOfTheDamageKept) {
    const std::string whole = "NeWe\r12\r3~\r\nBlank\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> kept;
    } cases[] = {
        {"last byte missing", test::scrambled(whole.substr(0, whole.size() - 1)), {"3~", "Blank"}},
        {"cut inside a line", test::scrambled(whole.substr(0, whole.size() - 4)), {"3~"}},
        {"length field short", test::scrambled("NeWe\r7\r3~\r\nBlank\r\n"), {"3~"}},
        {"cut in half", test::scrambled(whole.substr(0, 8)), {}},
        {"not scrambled", whole, {}},
        {"empty file", "", {}},
        {"length not a number", test::scrambled("NeWe\rten\rabc\r\n"), {}},
    };
    for (const Case& c : cases) {
        ScratchFolder folder;
        const std::string path = folder.path(rollFileName);
        folder.write(rollFileName + std::string(".damaged"), "an earlier one");
        folder.write(rollFileName, c.bytes);
        RollStore roll;
        DamagedFile damage;
        EXPECT_EQ(roll.loadRoll(path, &damage), static_cast<int>(c.kept.size())) << c.name;
        EXPECT_EQ(roll.rollLines(), c.kept) << c.name;
        EXPECT_EQ(damage.path, path) << c.name;
        EXPECT_EQ(damage.movedTo, path + ".damaged-2") << c.name;
        EXPECT_EQ(folder.read(rollFileName + std::string(".damaged-2")), c.bytes) << c.name;
        EXPECT_EQ(folder.read(rollFileName + std::string(".damaged")), "an earlier one");
        roll.appendRollLine("new");
        ASSERT_TRUE(roll.saveRoll(path)) << c.name;
        EXPECT_EQ(folder.read(rollFileName + std::string(".damaged-2")), c.bytes) << c.name;
    }
}

TEST(RollFile, ASpecialFileOrADamagedOneThatCannotMoveIsNeverWrittenOver) {
    ScratchFolder folder;
    const std::string path = folder.path(rollFileName);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    RollStore roll;
    DamagedFile damage;
    EXPECT_EQ(roll.loadRoll(path, &damage), 0);
    EXPECT_FALSE(roll.saveRoll(path));

    // A damaged file that cannot be renamed (here: no room in the name for the suffix)
    // stays where it is, untouched.
    const std::string longName(250, 'r');
    folder.write(longName, "damaged");
    roll.loadRoll(folder.path(longName), &damage);
    EXPECT_EQ(damage.path, folder.path(longName));
    EXPECT_EQ(damage.movedTo, "");
    EXPECT_FALSE(roll.saveRoll(folder.path(longName)));
    EXPECT_EQ(folder.read(longName), "damaged");
}

TEST(RollFile, NothingIsWrittenBeforeTheRollWasLoaded) {
    ScratchFolder folder;
    const std::string path = folder.path(rollFileName);
    ASSERT_TRUE(saveScrambledList(path, {"kept"}));
    RollStore roll;  // a start-up that failed never loads the roll
    EXPECT_FALSE(roll.saveRoll(path));
    std::vector<std::string> lines;
    ASSERT_TRUE(loadScrambledList(path, lines));
    EXPECT_EQ(lines, std::vector<std::string>{"kept"});
}

TEST(RollFile, AWriteThatFailsHalfWayKeepsTheOldRoll) {
    ScratchFolder folder;
    const std::string path = folder.path(rollFileName);
    const std::vector<std::string> old = numberedLines(50);
    ASSERT_TRUE(saveScrambledList(path, old));
    RollStore roll;
    roll.loadRoll(path);
    for (int i = 0; i < 200; ++i) roll.appendRollLine(std::string(60, 'x') + std::to_string(i));

    // The file system refuses to write beyond 2 KB, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 2048;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = roll.saveRoll(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    std::vector<std::string> lines;
    ASSERT_TRUE(loadScrambledList(path, lines));
    EXPECT_EQ(lines, old);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path(""))) {
        files += entry.is_regular_file();
    }
    EXPECT_EQ(files, 1) << "no half-written file is left beside it";
}

TEST(RollRedraw, StoredLinesComeBackOnThePaper) {
    struct Case {
        int stored, edgeRow;
    } cases[] = {{0, 169}, {1, 150}, {3, 112}, {8, 17}, {20, 17}};  // only the last 8 drawn
    for (const Case& c : cases) {
        PrinterRig rig;
        std::vector<std::string> lines;
        for (int i = 0; i < c.stored; ++i) lines.push_back(i % 2 ? blankRollLine : "3~7~11~");
        rig.roll.assign(lines);
        // A count beyond the store is held to it.
        rig.roll.redrawRollTail(c.stored ? c.stored : 5, rig.printer);
        EXPECT_EQ(test::paperEdgeRow(rig.printer.paperImage()), c.edgeRow) << c.stored;
        EXPECT_EQ(rig.printer.paperTopRow, c.stored ? c.edgeRow : 0) << c.stored;
    }
}

TEST(RollRedraw, FieldsThatAreNotNumbersPrintAsTheQuestionMark) {
    auto paperOf = [](const std::string& entry) {
        PrinterRig rig;
        rig.roll.assign({entry});
        rig.roll.redrawRollTail(1, rig.printer);
        return rig.printer.paper;
    };
    auto line = [](std::vector<std::string> fields) {
        fields.resize(20, "63");
        std::string text;
        for (const std::string& f : fields) text += f + "~";
        return text;
    };
    EXPECT_EQ(paperOf(line({"x", "", "1e3"})), paperOf(line({"59", "59", "59"})));
    EXPECT_NE(paperOf(line({"59"})), paperOf(line({})));
    std::vector<std::string> shortEntry(20, "59");  // missing fields are not numbers either
    shortEntry[0] = shortEntry[1] = "63";
    EXPECT_EQ(paperOf("63~63~"), paperOf(line(shortEntry)));
}

}  // namespace
}  // namespace quorvel
