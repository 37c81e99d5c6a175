#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "assembler/ScrambledFile.h"
#include "platform/PixelText.h"
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
        int before;
        int after;
        const char* first;  // the oldest line after one append
    } cases[] = {
        {0, 1, "new"},
        {199, 200, "line 0"},
        {200, 200, "line 1"},
        {201, 202, "line 0"},  // a longer stored roll keeps growing
    };
    for (const Case& c : cases) {
        RollStore roll;
        roll.assign(numberedLines(c.before));
        roll.appendRollLine("new");
        EXPECT_EQ(roll.size(), c.after) << c.before;
        EXPECT_EQ(roll.rollLines().front(), c.first) << c.before;
        EXPECT_EQ(roll.rollLines().back(), "new") << c.before;
    }
}

// Records what the counter asks of the text drawing.
struct RecordingText : TextDrawing {
    Size measureText(const std::string& text) override {
        measured = text;
        return {13, 9};
    }
    void drawText(Bitmap& target, int x, int y, const std::string& text, Rgb colour) override {
        drawnAt = {x, y};
        drawn = text;
        drawnColour = colour;
        target.setPixel(x, y, colour);
    }
    std::string measured, drawn;
    std::pair<int, int> drawnAt{-1, -1};
    Rgb drawnColour;
};

TEST(RollCounter, ShowsTheCountCentredAndRedFromTheLimitOn) {
    struct Case {
        int lines;
        const char* text;
        Rgb colour;
    } cases[] = {
        {0, "0", rollCounterColour},
        {199, "199", rollCounterColour},
        {200, "200", rollCounterFullColour},
        {250, "250", rollCounterFullColour},
    };
    for (const Case& c : cases) {
        RollStore roll;
        roll.assign(numberedLines(c.lines));
        const Bitmap base(28, 15, Rgb{1, 2, 3});
        Bitmap counter(28, 15, Rgb{9, 9, 9});
        RecordingText text;
        roll.drawRollCounter(counter, base, text);
        EXPECT_EQ(text.measured, c.text);
        EXPECT_EQ(text.drawn, c.text);
        // 28 / 2 - 13 / 2 and 15 / 2 - 9 / 2, halves truncated.
        EXPECT_EQ(text.drawnAt, (std::pair{8, 3}));
        EXPECT_EQ(text.drawnColour, c.colour) << c.lines;
        EXPECT_EQ(counter.pixel(0, 0), (Rgb{1, 2, 3})) << "the base is copied first";
    }

    // The headless face draws real digits, and a wider text than the picture is cut off.
    RollStore roll;
    roll.assign(numberedLines(200));
    Bitmap counter(28, 15);
    PixelText pixels;
    roll.drawRollCounter(counter, rollCounterBasePicture(), pixels);
    int red = 0;
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 28; ++x) red += counter.pixel(x, y) == rollCounterFullColour;
    }
    EXPECT_GT(red, 20);
    roll.assign(numberedLines(3));
    Bitmap narrow(4, 4);
    roll.drawRollCounter(narrow, rollCounterBasePicture(), pixels);
}

TEST(RollFile, SavesAndLoadsTheLinesAsTheyAre) {
    ScratchFolder folder;
    const std::string path = folder.path(rollFileName);
    RollStore roll;
    EXPECT_EQ(roll.loadRoll(path), 0) << "a missing file is an empty roll";
    roll.assign({"3~7~63~", blankRollLine, "not~numbers~"});
    ASSERT_TRUE(roll.saveRoll(path));
    RollStore again;
    EXPECT_EQ(again.loadRoll(path), 3);
    EXPECT_EQ(again.rollLines(), roll.rollLines());

    // More than the limit loads whole.
    roll.assign(numberedLines(230));
    ASSERT_TRUE(roll.saveRoll(path));
    EXPECT_EQ(again.loadRoll(path), 230);
}

TEST(RollFile, DamagedFilesGiveAnEmptyRoll) {
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"not scrambled", "NeWe\r5\rabc\r\n"},
        {"length beyond the file", test::scrambled("NeWe\r500\rabc\r\n")},
        {"length zero", test::scrambled("NeWe\r0\r")},
        {"length not a number", test::scrambled("NeWe\rten\rabc\r\n")},
        {"no header end", test::scrambled("NeWe")},
    };
    for (const Case& c : cases) {
        ScratchFolder folder;
        folder.write(rollFileName, c.bytes);
        RollStore roll;
        roll.assign({"old"});
        const int loaded = roll.loadRoll(folder.path(rollFileName));
        // A file that happens to parse gives lines; none of these may crash or keep "old".
        EXPECT_EQ(loaded, roll.size()) << c.name;
        EXPECT_TRUE(roll.rollLines().empty() || roll.rollLines().front() != "old") << c.name;
    }
    ScratchFolder folder;
    folder.write(rollFileName, test::scrambled("NeWe\r500\rabc\r\n"));
    RollStore roll;
    roll.assign({"old"});
    EXPECT_EQ(roll.loadRoll(folder.path(rollFileName)), 0);
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

    // Let the file system refuse to write beyond 2 KB, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 2048;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = roll.saveRoll(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved_ok);
    std::vector<std::string> lines;
    ASSERT_TRUE(loadScrambledList(path, lines));
    EXPECT_EQ(lines, old);
    // No half-written file is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(folder.path(""))) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(RollRedraw, StoredLinesComeBackOnThePaper) {
    struct Case {
        int stored;
        int edgeRow;
    } cases[] = {
        {1, 150},
        {3, 112},  // 57 rows above the fresh edge
        {8, 17},
        {20, 17},  // only the last 8 are drawn
    };
    for (const Case& c : cases) {
        PrinterRig rig;
        std::vector<std::string> lines;
        for (int i = 0; i < c.stored; ++i) lines.push_back(i % 2 ? blankRollLine : "3~7~11~");
        rig.roll.assign(lines);
        rig.roll.redrawRollTail(rig.roll.size(), rig.printer);
        EXPECT_EQ(test::paperEdgeRow(rig.printer.paperImage()), c.edgeRow) << c.stored;
        EXPECT_EQ(rig.printer.paperTopRow, c.edgeRow) << c.stored;
    }

    // Nothing stored: the paper keeps its first picture and scrolls whole later.
    PrinterRig empty;
    const Bitmap before = empty.printer.paper;
    empty.roll.redrawRollTail(0, empty.printer);
    EXPECT_EQ(empty.printer.paper, before);
    EXPECT_EQ(empty.printer.paperTopRow, 0);
    // A count beyond the store is held to it.
    empty.roll.redrawRollTail(5, empty.printer);
    EXPECT_EQ(empty.printer.paper, before);
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
    // A short entry's missing fields are not numbers either.
    std::vector<std::string> shortOnes(20, "59");
    shortOnes[0] = shortOnes[1] = "63";
    EXPECT_EQ(paperOf("63~63~"), paperOf(line(shortOnes)));
}

}  // namespace
}  // namespace quorvel
