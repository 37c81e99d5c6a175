#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

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

TEST(RollFile, RoundTripsAndDamagedFilesGiveAnEmptyRoll) {
    ScratchFolder folder;
    const std::string path = folder.path(rollFileName);
    RollStore roll;
    EXPECT_EQ(roll.loadRoll(path), 0) << "a missing file";
    roll.assign(numberedLines(230));  // more than the limit loads whole
    roll.appendRollLine("not~numbers~");
    ASSERT_TRUE(roll.saveRoll(path));
    RollStore again;
    EXPECT_EQ(again.loadRoll(path), 231);
    EXPECT_EQ(again.rollLines(), roll.rollLines());

    for (const std::string& bytes :
         {std::string(), std::string("NeWe\r5\rabc\r\n"), test::scrambled("NeWe\r500\rabc\r\n"),
          test::scrambled("NeWe\r0\r"), test::scrambled("NeWe\rten\rabc\r\n")}) {
        folder.write(rollFileName, bytes);
        EXPECT_EQ(again.loadRoll(path), 0) << bytes;
        EXPECT_EQ(again.size(), 0);
    }
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
