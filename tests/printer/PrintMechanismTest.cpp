#include <gtest/gtest.h>

#include <vector>

#include "printer/PrintMechanism.h"
#include "printer/Resampler.h"
#include "support/PrinterTestSupport.h"

namespace quorvel {
namespace {

using test::PrinterRig;

std::string emptyLineText() {
    std::string text;
    for (int i = 0; i < 20; ++i) text += "63~";
    return text;
}

TEST(PrintTiming, ALineTakesTheDocumentedNumberOfIterations) {
    struct Case {
        int leftSpeed, rightSpeed;
        int firstLine, laterLine;
    } cases[] = {
        {47, 24, 9892, 9869},
        {20, 3, 47 + 139 * 20 + 138 * 3, 3197},
        {50, 30, 47 + 139 * 50 + 138 * 30, 30 + 139 * 50 + 138 * 30},
    };
    for (const Case& c : cases) {
        PrinterRig rig;
        rig.printer.resetPrintHead();  // as power-on does
        rig.printer.leftMoveSpeed = c.leftSpeed;
        rig.printer.rightMoveSpeed = c.rightSpeed;
        rig.print(test::codesOf("12"));
        EXPECT_EQ(rig.runUntilIdle(), c.firstLine) << c.leftSpeed;
        rig.print({});  // an empty buffer still prints a whole line
        EXPECT_EQ(rig.runUntilIdle(), c.laterLine) << c.leftSpeed;
        ASSERT_EQ(rig.roll.size(), 2);
        EXPECT_EQ(rig.roll.rollLines()[0], "7~11~" + emptyLineText().substr(6));
        EXPECT_EQ(rig.roll.rollLines()[1], emptyLineText());
        EXPECT_EQ(rig.events.passes, 2);
        EXPECT_EQ(rig.events.idles, 2);
    }
}

TEST(PrintTiming, ALineFilledDuringTheReturnPrintsWithoutGoingIdle) {
    PrinterRig rig;
    rig.print(test::codesOf("1"));
    while (rig.printer.headLeftward || rig.printer.headPos < 500) rig.printer.printerTick();
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
    EXPECT_EQ(rig.roll.size(), 0);
}

TEST(PrintReveal, UncoversTheStripEverySixthPosition) {
    PrinterRig rig;
    rig.print(test::codesOf("8"));
    std::vector<int> reveals;
    while (rig.printer.headLeftward) {
        rig.printer.returnStepCount = 1000;  // a reveal sets it to 0
        const int before = rig.printer.headPos;
        rig.printer.printerTick();
        if (rig.printer.headPos != before && rig.printer.returnStepCount == 0) {
            reveals.push_back(rig.printer.headPos);
        }
    }
    std::vector<int> expected;
    for (int p = 552; p >= 420; p -= 6) expected.push_back(p);
    EXPECT_EQ(reveals, expected);
}

TEST(PrintReveal, CopiesTheRightPartOfTheStripBesideTheHead) {
    struct Case {
        int headPos;
        int firstPaperColumn;  // 152 - (577 - headPos), never left of 20
    } cases[] = {{552, 127}, {450, 25}, {444, 20}, {420, 20}};
    for (const Case& c : cases) {
        PrinterRig rig;
        rig.print(test::codesOf("8"));
        rig.printer.drawPendingLine();
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
                const Rgb expected{uint8_t(x - 20), uint8_t((y - 196) * 8 / 15), 9};
                ASSERT_EQ(paper.pixel(x, y), printed ? expected : white)
                    << "head at " << c.headPos << ", paper " << x << "," << y;
            }
        }
    }
}

TEST(PrintReveal, OnlyTheLastRenderingIsDrawnWithThePixelsOfAFullRendering) {
    // The line as drawn and resampled at once.
    PrinterRig reference;
    const std::vector<int> codes = test::codesOf("31415926535897932384");
    LineImage expectedImage;
    clearLineImage(expectedImage, black);
    for (size_t column = 0; column < codes.size(); ++column) {
        const int record = test::builtCharacterSet().glyphIndexOf(codes[column]);
        test::builtCharacterSet().drawGlyph(expectedImage, record, static_cast<int>(column));
    }
    Bitmap expectedStrip;
    resampleBitmap(lineStripWidth, lineStripHeight, filterLanczos3, 0.0f, expectedImage.bitmap,
                   expectedStrip);
    reference.print(codes);
    reference.printer.drawPendingLine();
    EXPECT_EQ(reference.printer.lineStrip, expectedStrip);
    reference.runUntilIdle();

    // A print loop renders many times before and during the pass; the last one counts.
    PrinterRig looping;
    looping.print(test::codesOf("8"));
    for (int word = 0; word < 50; ++word) looping.print(codes);
    while (looping.printer.headPos > 500) looping.printer.printerTick();
    looping.print(codes);
    looping.runUntilIdle();
    EXPECT_EQ(looping.printer.paperImage(), reference.printer.paperImage());
    EXPECT_EQ(looping.roll.rollLines().back(), reference.roll.rollLines().back());
}

TEST(PrintPaper, ALineRaisesThePaperNineteenRowsAndAFedBlankTwenty) {
    for (bool freshRollShown : {false, true}) {
        PrinterRig rig;
        if (freshRollShown) rig.printer.showFreshPaper();  // otherwise the whole window scrolls
        EXPECT_EQ(test::paperEdgeRow(rig.printer.paperImage()), 169);
        rig.print(test::codesOf("12345"));
        rig.runUntilIdle();
        EXPECT_EQ(test::paperEdgeRow(rig.printer.paperImage()), 150) << freshRollShown;
        // The line moved up with the paper and white paper came in below it.
        const Bitmap& paper = rig.printer.paperImage();
        bool inked = false;
        for (int x = 20; x < 152; ++x) inked = inked || paper.pixel(x, 180) != white;
        EXPECT_TRUE(inked);
        for (int y = 192; y < paperHeight; ++y) EXPECT_EQ(paper.pixel(60, y), white);

        rig.printer.feedCountdown = feedTicksPerLine;
        int ticks = 1;
        while (!rig.printer.feedTick()) ++ticks;
        EXPECT_EQ(ticks, 10);
        EXPECT_EQ(test::paperEdgeRow(rig.printer.paperImage()), 130);
        EXPECT_EQ(rig.roll.rollLines().back(), blankRollLine);
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
}

}  // namespace
}  // namespace quorvel
