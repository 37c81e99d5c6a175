#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RollLines.h"
#include "printer/RollPrinting.h"
#include "printer/RollStore.h"
#include "support/AssemblerTestSupport.h"
#include "support/PrinterTestSupport.h"

namespace quorvel {
namespace {

using test::builtCharacterSet;
using test::lineTextOf;
using test::numberedEntries;

// A printer that records what the job does to it, as text: "begin", "draw x,y wxh",
// "page", "end", "abort".
class RecordingPrinter : public RollPrinterDevice {
  public:
    RecordingPrinter(int dpi, int width, int height) : dpi_(dpi), width_(width), height_(height) {}

    bool beginDocument() override {
        calls.push_back("begin");
        return beginWorks;
    }
    int pageWidth() const override { return width_; }
    int pageHeight() const override { return height_; }
    int resolution() const override { return dpi_; }
    void drawBitmap(int x, int y, const Bitmap& bitmap) override {
        calls.push_back("draw " + std::to_string(x) + "," + std::to_string(y) + " " +
                        std::to_string(bitmap.width()) + "x" + std::to_string(bitmap.height()));
        lastDrawn = bitmap;
    }
    bool newPage() override {
        calls.push_back("page");
        return newPageWorks;
    }
    bool endDocument() override {
        calls.push_back("end");
        return true;
    }
    void abortDocument() override { calls.push_back("abort"); }

    int count(const std::string& prefix) const {
        int n = 0;
        for (const auto& call : calls) n += call.rfind(prefix, 0) == 0;
        return n;
    }

    std::vector<std::string> calls;
    Bitmap lastDrawn;
    bool beginWorks = true;
    bool newPageWorks = true;

  private:
    int dpi_, width_, height_;
};

std::string draw(int x, int y, int w, int h) {
    return "draw " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(w) + "x" +
           std::to_string(h);
}

TEST(PageGeometry, FollowsTheResolutionWithHalvesRoundedToEven) {
    struct Case {
        int dpi, pageWidth;
        PageGeometry expected;
    } cases[] = {
        {300, 2480, {300, 626, 450, 33, 50}},   // pitch 49.5
        {600, 4960, {600, 1253, 900, 65, 98}},  // pitch 97.5
        {1200, 9920, {1200, 2506, 1800, 131, 196}},
        {301, 2480, {301, 626, 452, 33, 50}},  // width 451.5
        {72, 595, {72, 150, 108, 8, 12}},
    };
    for (const Case& c : cases) {
        const PageGeometry g = pageGeometry(c.dpi, c.pageWidth);
        EXPECT_EQ(g.margin, c.expected.margin) << c.dpi;
        EXPECT_EQ(g.columnWidth, c.expected.columnWidth) << c.dpi;
        EXPECT_EQ(g.lineWidth, c.expected.lineWidth) << c.dpi;
        EXPECT_EQ(g.lineHeight, c.expected.lineHeight) << c.dpi;
        EXPECT_EQ(g.linePitch, c.expected.linePitch) << c.dpi;
    }
    EXPECT_EQ(pageGeometry(600, 4960).columnX(2), 2 * 1253 + 600);
    for (auto [value, rounded] :
         {std::pair{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2.5001, 3}}) {
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
    }
}

TEST(RollPrintJob, FillsThreeColumnsAPageTopToBottom) {
    // 600 ppi on A4: 60 lines a column, 180 a page, so the full roll takes two pages.
    RecordingPrinter printer(600, 4960, 7016);
    test::RecordingMessages messages;
    ASSERT_TRUE(printRollOnPrinter(numberedEntries(200), builtCharacterSet(), printer, messages));
    EXPECT_TRUE(messages.errors.empty());
    ASSERT_EQ(printer.calls.size(), 200u + 3u);
    EXPECT_EQ(printer.calls.front(), "begin");
    EXPECT_EQ(printer.calls.back(), "end");
    EXPECT_EQ(printer.calls[1], draw(600, 600, 900, 65));
    EXPECT_EQ(printer.calls[1 + 59], draw(600, 600 + 59 * 98, 900, 65));
    EXPECT_EQ(printer.calls[1 + 60], draw(1853, 600, 900, 65));
    EXPECT_EQ(printer.calls[1 + 120], draw(3106, 600, 900, 65));
    EXPECT_EQ(printer.calls[1 + 179], draw(3106, 600 + 59 * 98, 900, 65));
    EXPECT_EQ(printer.calls[1 + 180], "page");
    EXPECT_EQ(printer.calls[2 + 180], draw(600, 600, 900, 65));
    EXPECT_EQ(printer.count("page"), 1);

    // The printed line is drawn in ink on white.
    const Bitmap& line = printer.lastDrawn;
    bool ink = false;
    for (int y = 0; y < line.height() && !ink; ++y) {
        for (int x = 0; x < line.width(); ++x) {
            const Rgb p = line.pixel(x, y);
            if (p.blue > 150 && p.red < 110 && p.green < 60) ink = true;
        }
    }
    EXPECT_TRUE(ink);
    EXPECT_EQ(line.pixel(0, 0), white);
    EXPECT_EQ(line.pixel(line.width() - 1, line.height() - 1), white);
}

TEST(RollPrintJob, PageEndsAndBlankGaps) {
    struct Case {
        const char* name;
        std::vector<std::string> entries;
        int draws, pages;
    } cases[] = {
        {"empty roll: an empty job", {}, 0, 0},
        {"exactly one page: no empty sheet after it", numberedEntries(180), 180, 0},
        {"one past a page", numberedEntries(181), 181, 1},
        {"only Blank entries", std::vector<std::string>(200, blankRollLine), 0, 1},
    };
    for (const Case& c : cases) {
        RecordingPrinter printer(600, 4960, 7016);
        test::RecordingMessages messages;
        EXPECT_TRUE(printRollOnPrinter(c.entries, builtCharacterSet(), printer, messages))
            << c.name;
        EXPECT_EQ(printer.count("draw"), c.draws) << c.name;
        EXPECT_EQ(printer.count("page"), c.pages) << c.name;
        EXPECT_EQ(printer.calls.front(), "begin") << c.name;
        EXPECT_EQ(printer.calls.back(), "end") << c.name;
    }

    // 300 ppi on a Letter page: a Blank entry leaves one pitch free.
    RecordingPrinter printer(300, 2550, 3300);
    test::RecordingMessages messages;
    const std::string line = lineTextOf(test::codesOf("12"));
    ASSERT_TRUE(printRollOnPrinter({line, blankRollLine, blankRollLine, line}, builtCharacterSet(),
                                   printer, messages));
    EXPECT_EQ(printer.calls, (std::vector<std::string>{"begin", draw(300, 300, 450, 33),
                                                       draw(300, 450, 450, 33), "end"}));
}

TEST(RollPrintJob, ADamagedEntryPrintsNothingAndSaysWhichLine) {
    RecordingPrinter printer(600, 4960, 7016);
    test::RecordingMessages messages;
    std::vector<std::string> entries = numberedEntries(5);
    entries.insert(entries.begin() + 3, "3~7~x~");
    EXPECT_FALSE(printRollOnPrinter(entries, builtCharacterSet(), printer, messages));
    EXPECT_TRUE(printer.calls.empty()) << "the printer is never asked";
    EXPECT_EQ(messages.only(),
              "The roll cannot be printed: line 4 of 6, column 3, is not made of print codes.");
}

TEST(RollPrintJob, APrinterThatFailsGetsTheJobAbortedAndAnErrorBox) {
    struct Case {
        const char* name;
        int dpi;
        bool beginWorks, newPageWorks;
        int draws;
        const char* lastCall;
    } cases[] = {
        {"refuses the second page", 600, true, false, 180, "abort"},
        {"refuses the document", 600, false, true, 0, "begin"},
        {"reports no resolution", 0, true, true, 0, "abort"},
    };
    for (const Case& c : cases) {
        RecordingPrinter printer(c.dpi, 4960, 7016);
        printer.beginWorks = c.beginWorks;
        printer.newPageWorks = c.newPageWorks;
        test::RecordingMessages messages;
        EXPECT_FALSE(
            printRollOnPrinter(numberedEntries(200), builtCharacterSet(), printer, messages))
            << c.name;
        EXPECT_EQ(printer.calls.back(), c.lastCall) << c.name;
        EXPECT_EQ(printer.count("draw"), c.draws) << c.name;
        EXPECT_EQ(printer.count("end"), 0) << c.name;
        EXPECT_EQ(messages.only(), messagePrinterFailed) << c.name;
    }
}

}  // namespace
}  // namespace quorvel
