#include <gtest/gtest.h>

#include <vector>

#include "printer/PrintMechanism.h"
#include "printer/Resampler.h"
#include "support/PrinterTestSupport.h"

namespace quorvel {
namespace {

using test::PrinterRig;

std::string blankLineText() {
    std::string text;
    for (int i = 0; i < 20; ++i) text += "63~";
    return text;
}

TEST(PrintTiming, ALineTakesTheDocumentedNumberOfIterations) {
    struct Case {
        const char* name;
        int leftSpeed, rightSpeed;
        int firstLine, laterLine;
    } cases[] = {
        {"default speeds", 47, 24, 9892, 9869},
        {"fastest speeds", 20, 3, 47 + 139 * 20 + 138 * 3, 3197},
        {"slowest speeds", 50, 30, 47 + 139 * 50 + 138 * 30, 30 + 139 * 50 + 138 * 30},
    };
    for (const Case& c : cases) {
        PrinterRig rig;
        rig.printer.resetPrintHead();  // as power-on does
        rig.printer.leftMoveSpeed = c.leftSpeed;
        rig.printer.rightMoveSpeed = c.rightSpeed;
        rig.print(test::codesOf("12"));
        EXPECT_EQ(rig.runUntilIdle(), c.firstLine) << c.name;
        rig.print(test::codesOf("34"));
        EXPECT_EQ(rig.runUntilIdle(), c.laterLine) << c.name;
        EXPECT_EQ(rig.roll.size(), 2) << c.name;
        EXPECT_EQ(rig.events.passes, 2) << c.name;
        EXPECT_EQ(rig.events.idles, 2) << c.name;
    }
}

TEST(PrintTiming, HeadPassesAndStoresTheLineAtTheLeftEnd) {
    PrinterRig rig;
    rig.print(test::codesOf("7"));
    EXPECT_TRUE(rig.printer.busy());
    EXPECT_TRUE(rig.printer.printerAtRest());  // the head has not moved yet
    int ticks = 0;
    int lowest = headRestPosition;
    while (rig.roll.size() == 0) {
        ASSERT_EQ(rig.machine.printLineBuffer[0], 31) << "the buffer stays until the line ends";
        rig.printer.printerTick();
        ++ticks;
        lowest = std::min(lowest, rig.printer.headPos);
    }
    EXPECT_EQ(ticks, 47 + 138 * 47);
    EXPECT_EQ(lowest, headLeftEnd);
    EXPECT_EQ(rig.printer.headPos, headLeftEnd);
    EXPECT_FALSE(rig.printer.headLeftward);
    EXPECT_EQ(rig.printer.platenLeft, parkedLeft);
    EXPECT_EQ(rig.machine.printLineBuffer, MachineState::blankPrintLine());
    EXPECT_EQ(rig.roll.rollLines().back(), "31~" + blankLineText().substr(3));
    EXPECT_FALSE(rig.printer.printerAtRest());
    // The first step home waits the printing speed, the other 138 the return speed.
    EXPECT_EQ(rig.runUntilIdle(), 47 + 138 * 24);
    EXPECT_TRUE(rig.printer.printerAtRest());
    EXPECT_TRUE(rig.printer.headLeftward);
}

TEST(PrintTiming, AnEmptyBufferStillPrintsAWholeLine) {
    PrinterRig rig;
    rig.print({});
    EXPECT_EQ(rig.printer.lastLineText(), blankLineText());
    EXPECT_EQ(rig.runUntilIdle(), 9892);
    ASSERT_EQ(rig.roll.size(), 1);
    EXPECT_EQ(rig.roll.rollLines()[0], blankLineText());
}

TEST(PrintTiming, ALineFilledDuringTheReturnPrintsWithoutGoingIdle) {
    PrinterRig rig;
    rig.print(test::codesOf("1"));
    while (rig.printer.headLeftward) rig.printer.printerTick();
    // Halfway home, the processor fills and renders the next line.
    while (rig.printer.headPos < 500) rig.printer.printerTick();
    rig.print(test::codesOf("2"));
    EXPECT_EQ(rig.events.passes, 1) << "starting while busy does nothing";
    while (!rig.printer.headLeftward) rig.printer.printerTick();
    EXPECT_TRUE(rig.printer.busy());
    EXPECT_EQ(rig.events.passes, 2) << "one print sound for the waiting line";
    EXPECT_EQ(rig.events.idles, 0);
    rig.runUntilIdle();
    ASSERT_EQ(rig.roll.size(), 2);
    EXPECT_EQ(rig.roll.rollLines()[1].substr(0, 3), "11~");
}

TEST(PrintTiming, ResetAbandonsALineInTheMiddle) {
    PrinterRig rig;
    rig.print(test::codesOf("5"));
    for (int i = 0; i < 3000; ++i) rig.printer.printerTick();
    rig.printer.resetPrintHead();
    EXPECT_FALSE(rig.printer.busy());
    EXPECT_TRUE(rig.printer.printerAtRest());
    EXPECT_TRUE(rig.printer.headLeftward);
    EXPECT_EQ(rig.printer.headCountdown, 47);
    EXPECT_EQ(rig.printer.platenLeft, parkedLeft);
    EXPECT_EQ(rig.roll.size(), 0);
}

TEST(PrintReveal, UncoversTheStripEverySixthPosition) {
    PrinterRig rig;
    rig.print(test::codesOf("8"));
    rig.printer.lineStrip.fill(black);  // every strip column now shows when copied
    std::vector<int> reveals;
    while (rig.printer.headLeftward) {
        rig.printer.returnStepCount = 1000;
        const int before = rig.printer.headPos;
        rig.printer.printerTick();
        if (rig.printer.headPos != before && rig.printer.returnStepCount == 0) {
            reveals.push_back(rig.printer.headPos);
        }
    }
    std::vector<int> expected;
    for (int p = 552; p >= 420; p -= 6) expected.push_back(p);
    EXPECT_EQ(reveals, expected);
    EXPECT_EQ(expected.size(), 23u);
}

TEST(PrintReveal, CopiesTheRightPartOfTheStripBesideTheHead) {
    struct Case {
        int headPos;
        int firstPaperColumn;  // 152 - (577 - headPos), never left of 20
    } cases[] = {{552, 127}, {546, 121}, {450, 25}, {444, 20}, {420, 20}};
    for (const Case& c : cases) {
        PrinterRig rig;
        rig.print(test::codesOf("8"));
        for (int x = 0; x < lineStripWidth; ++x) {
            for (int y = 0; y < lineStripHeight; ++y) {
                rig.printer.lineStrip.setPixel(x, y, {uint8_t(x), uint8_t(y), 9});
            }
        }
        while (rig.printer.headPos != c.headPos) rig.printer.printerTick();
        const Bitmap& paper = rig.printer.paperImage();
        for (int x = 0; x < paperWidth; ++x) {
            for (int y = 190; y < paperHeight; ++y) {
                const bool printed = x >= c.firstPaperColumn && x <= 151 && y >= 196 && y <= 210;
                const Rgb expected =
                    printed ? Rgb{uint8_t(x - 20), uint8_t((y - 196) * 8 / 15), 9} : white;
                ASSERT_EQ(paper.pixel(x, y), expected)
                    << "head at " << c.headPos << ", paper " << x << "," << y;
            }
        }
    }
}

TEST(PrintPaper, OneLineRaisesThePaperNineteenRows) {
    for (bool freshRollShown : {false, true}) {
        PrinterRig rig;
        if (freshRollShown) rig.printer.showFreshPaper();
        EXPECT_EQ(test::paperEdgeRow(rig.printer.paperImage()), 169);
        rig.print(test::codesOf("12345"));
        rig.runUntilIdle();
        EXPECT_EQ(test::paperEdgeRow(rig.printer.paperImage()), 150) << freshRollShown;
        // The printed line moved up with the paper; fresh white paper came in below it.
        const Bitmap& paper = rig.printer.paperImage();
        bool inked = false;
        for (int x = 20; x < 152; ++x) {
            for (int y = 177; y < 192; ++y) inked = inked || paper.pixel(x, y) != white;
        }
        EXPECT_TRUE(inked);
        for (int x = 0; x < paperWidth; ++x) {
            for (int y = 192; y < paperHeight; ++y) ASSERT_EQ(paper.pixel(x, y), white);
        }
    }
}

TEST(PrintPaper, TheReturnPassMovesThePaperOnItsScheduledSteps) {
    PrinterRig rig;
    rig.printer.showFreshPaper();
    std::vector<int> moves;
    for (int step = 1; step <= 139; ++step) {
        const int before = rig.printer.paperTopRow;
        rig.printer.advancePaper(true);
        if (rig.printer.paperTopRow != before) moves.push_back(step);
    }
    std::vector<int> expected;
    for (int step = 15; step <= 69; step += 3) expected.push_back(step);
    EXPECT_EQ(moves, expected);
    EXPECT_EQ(rig.printer.paperTopRow, 169 - 19);
}

TEST(PrintPaper, AdvancingScrollsFromTheTopRowAndFeedsWhiteAtTheBottom) {
    PrinterRig rig;
    rig.printer.showFreshPaper();
    Bitmap& paper = rig.printer.paper;
    paper.setPixel(7, 200, black);
    paper.setPixel(paperWidth - 1, 200, black);  // the last column does not scroll
    paper.setPixel(3, 100, black);               // the well above the edge stays
    rig.printer.advancePaper(false);
    EXPECT_EQ(rig.printer.paperTopRow, 168);
    EXPECT_EQ(paper.pixel(7, 199), black);
    EXPECT_EQ(paper.pixel(7, 200), white);
    EXPECT_EQ(paper.pixel(paperWidth - 1, 200), black);
    EXPECT_EQ(paper.pixel(3, 100), black);
    EXPECT_EQ(paper.pixel(0, 168), paperEdgeColour);  // the torn edge came up a row
    EXPECT_EQ(paper.pixel(0, 167), paperWellColour);
    for (int x = 0; x < paperWidth; ++x) EXPECT_EQ(paper.pixel(x, paperHeight - 1), white);

    // Once the edge reaches the top the whole window scrolls, row 0 included.
    for (int i = 0; i < 200; ++i) rig.printer.advancePaper(false);
    EXPECT_EQ(rig.printer.paperTopRow, 0);
    EXPECT_EQ(paper.pixel(3, 0), white);
}

TEST(PrintPaper, FreshPaperRestoresThePictureAndTheTopRow) {
    PrinterRig rig;
    const Bitmap fresh = rig.printer.paper;
    rig.print(test::codesOf("99"));
    rig.runUntilIdle();
    ASSERT_NE(rig.printer.paper, fresh);
    rig.printer.returnStepCount = 77;
    rig.printer.showFreshPaper();
    EXPECT_EQ(rig.printer.paper, fresh);
    EXPECT_EQ(rig.printer.paperTopRow, freshPaperTopRow);
    EXPECT_EQ(rig.printer.returnStepCount, 0);
}

TEST(PrintFeed, ABlankLineIsTwentyRowsInTenTicks) {
    PrinterRig rig;
    rig.printer.showFreshPaper();
    rig.printer.feedCountdown = feedTicksPerLine;
    int ticks = 1;
    while (!rig.printer.feedTick()) ++ticks;
    EXPECT_EQ(ticks, 10);
    EXPECT_EQ(test::paperEdgeRow(rig.printer.paperImage()), 149);
    ASSERT_EQ(rig.roll.size(), 1);
    EXPECT_EQ(rig.roll.rollLines()[0], blankRollLine);
    EXPECT_EQ(rig.events.linesAdded, 1);
}

TEST(PrintRender, TheStripIsTheLanczosReductionOfTheLine) {
    PrinterRig rig;
    rig.print(test::codesOf("8.5-E"));
    EXPECT_EQ(rig.printer.lastLineText(), "35~43~23~47~5~" + blankLineText().substr(15));
    // The same drawing by hand.
    LineImage expected;
    clearLineImage(expected, black);
    const CharacterSet& set = test::builtCharacterSet();
    const int codes[] = {35, 43, 23, 47, 5};
    for (int column = 0; column < 20; ++column) {
        set.drawGlyph(expected, set.glyphIndexOf(column < 5 ? codes[column] : 63), column);
    }
    EXPECT_EQ(rig.printer.lineImage.bitmap, expected.bitmap);
    Bitmap strip;
    resampleBitmap(132, 8, filterLanczos3, 0.0f, expected.bitmap, strip);
    EXPECT_EQ(rig.printer.lineStrip, strip);
    // Codes the set lacks print the fallback box.
    rig.print({70, 99});
    Bitmap box;
    LineImage fallback;
    clearLineImage(fallback, black);
    set.drawGlyph(fallback, fallbackGlyphRecord, 0);
    set.drawGlyph(fallback, fallbackGlyphRecord, 1);
    for (int column = 2; column < 20; ++column) set.drawGlyph(fallback, 63, column);
    EXPECT_EQ(rig.printer.lineImage.bitmap, fallback.bitmap);
}

}  // namespace
}  // namespace quorvel
