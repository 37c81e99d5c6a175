#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "panel/DisplayRenderer.h"

namespace quorvel {
namespace {

using Points = std::set<std::pair<int, int>>;

Register reg(const char* digits) {
    Register r{};
    for (int i = 0; i < registerDigits; ++i) {
        const char c = digits[i];
        r[topDigit - i] = (c >= '0' && c <= '9') ? c - '0' : c - 'A' + 10;
    }
    return r;
}

// The lit pixels of a cell whose origin is x, written out from the segment table:
// a top, b upper right, c lower right, d bottom, e lower left, f upper left, g middle.
Points segmentPixels(int x, const std::string& segments) {
    Points points;
    for (char s : segments) {
        for (int i = 0; i < 6; ++i) {
            switch (s) {
                case 'a':
                    points.insert({x + 1 + i, 0});
                    break;
                case 'b':
                    points.insert({x + 7, 1 + i});
                    break;
                case 'c':
                    points.insert({x + 7, 8 + i});
                    break;
                case 'd':
                    points.insert({x + 1 + i, 14});
                    break;
                case 'e':
                    points.insert({x, 8 + i});
                    break;
                case 'f':
                    points.insert({x, 1 + i});
                    break;
                case 'g':
                    points.insert({x + 1 + i, 7});
                    break;
            }
        }
    }
    return points;
}

Points penPixels(const Bitmap& image, int fromX = 0, int toX = displayImageWidth) {
    Points points;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = fromX; x < toX; ++x) {
            if (image.pixel(x, y) == displayPenColour) points.insert({x, y});
        }
    }
    return points;
}

const char* segmentsOf(char shown) {
    switch (shown) {
        case '0':
            return "abcdef";
        case '1':
            return "bc";
        case '2':
            return "abdeg";
        case '3':
            return "abcdg";
        case '4':
            return "bcfg";
        case '5':
            return "acdfg";
        case '6':
            return "acdefg";
        case '7':
            return "abc";
        case '8':
            return "abcdefg";
        case '9':
            return "abcdfg";
        case 'r':
            return "eg";
        case 'C':
            return "adef";
        case 'o':
            return "cdeg";
        case 'd':
            return "bcdeg";
        case 'E':
            return "adefg";
        case '-':
            return "g";
        default:
            return "";
    }
}

// What a display reading should light, cell by cell (cell p at x = 6 + 16 (p - 1)).
Points expectedPixels(const std::string& cells) {
    Points points;
    for (size_t index = 0; index < cells.size(); ++index) {
        const int x = 6 + 16 * static_cast<int>(index);
        if (cells[index] == '.') {
            for (auto p : {std::pair{x + 3, 9}, {x + 4, 9}, {x + 3, 10}, {x + 4, 10}}) {
                points.insert(p);
            }
            continue;
        }
        const Points lit = segmentPixels(x, segmentsOf(cells[index]));
        points.insert(lit.begin(), lit.end());
    }
    return points;
}

TEST(DisplayRenderer, DrawsTheExampleReadingsPixelForPixel) {
    struct Case {
        const char* name;
        const char* a;
        const char* b;
        int m1Top;
        const char* cells;
    } cases[] = {
        {"digits with a blank exponent sign", "12345678900000", "00000000000000", 0,
         " 12345678900 00"},
        {"B digit 5 = 3 puts a point in cell 10", "12345678900000", "00000000300000", 0,
         " 12345678.00 00"},
        {"B digit 1 = 4 shows A digit 1, B digit 0 = 4 blanks cell 15", "00000000000012",
         "00000000000044", 0, " 00000000000 1 "},
        {"digit value 15 is blank", "FFFFFFFFFFF000", "00000000000000", 0, "             00"},
        {"mantissa minus whatever A and B hold", "FFFFFFFFFFFFFF", "FFFFFFFFFFFFFF", 9,
         "-              "},
        {"exponent minus and the letters", "0ABCDE00000205", "00000000000000", 0,
         " 0rCodE00000-05"},
    };
    for (const Case& c : cases) {
        MachineState m;
        m.regA = reg(c.a);
        m.regB = reg(c.b);
        m.regM1[13] = c.m1Top;
        m.displayOn = true;
        m.displayChanged = true;
        DisplayRenderer renderer;
        ASSERT_TRUE(renderer.redraw(m)) << c.name;
        EXPECT_FALSE(m.displayChanged);
        EXPECT_EQ(displayCellText(renderer.cells()), c.cells) << c.name;
        EXPECT_EQ(penPixels(renderer.image()), expectedPixels(c.cells)) << c.name;
        // Everything else is the blank picture.
        for (int y = 0; y < displayImageHeight; ++y) {
            for (int x = 0; x < displayImageWidth; ++x) {
                if (!expectedPixels(c.cells).count({x, y})) {
                    ASSERT_EQ(renderer.image().pixel(x, y), displayMaskColour) << x << "," << y;
                }
            }
        }
    }
}

TEST(DisplayRenderer, EveryGlyphLightsItsSegments) {
    const std::string shown = "0123456789rCodE-.";
    for (size_t glyph = 0; glyph < shown.size(); ++glyph) {
        Bitmap image = blankDisplayPicture();
        DisplayCells cells = blankDisplayCells();
        cells[4] = glyph < 15 ? static_cast<int>(glyph) : glyph == 15 ? glyphMinus : glyphPoint;
        drawDisplayCells(image, cells);
        EXPECT_EQ(penPixels(image), expectedPixels("    " + shown.substr(glyph, 1)))
            << shown[glyph];
    }
    Bitmap image = blankDisplayPicture();
    DisplayCells invalid = blankDisplayCells();
    invalid[0] = glyphInvalid;
    drawDisplayCells(image, invalid);
    EXPECT_EQ(image, blankDisplayPicture());
}

TEST(DisplayRenderer, DrawsOnceUntilTheDisplayChangesAgain) {
    MachineState m;
    m.regA = reg("12345678900000");
    m.displayOn = true;
    m.displayChanged = true;
    DisplayRenderer renderer;
    ASSERT_TRUE(renderer.redraw(m));
    const Bitmap first = renderer.image();
    // A changed blank picture shows only at the next change: nothing is drawn meanwhile.
    renderer.maskImage.fill(Rgb{0, 40, 0});
    m.regA = reg("99999999999999");
    EXPECT_FALSE(renderer.redraw(m));
    EXPECT_EQ(renderer.image(), first);
    EXPECT_EQ(renderer.redrawCount(), 1);
    m.displayChanged = true;
    EXPECT_TRUE(renderer.redraw(m));
    EXPECT_EQ(renderer.redrawCount(), 2);
    EXPECT_EQ(renderer.image().pixel(0, 0), (Rgb{0, 40, 0}));
}

TEST(DisplayRenderer, AnOffDisplayIsExactlyTheBlankPicture) {
    MachineState m;
    m.regA = reg("88888888888888");
    m.regM1[13] = 9;  // the minus shows only while the display is on
    m.displayOn = false;
    m.displayChanged = true;
    DisplayRenderer renderer;
    for (int x = 0; x < displayImageWidth; ++x) renderer.maskImage.setPixel(x, x % 18, white);
    ASSERT_TRUE(renderer.redraw(m));
    EXPECT_EQ(renderer.image(), renderer.maskImage);
    EXPECT_EQ(displayCellText(renderer.cells()), std::string(15, ' '));
}

}  // namespace
}  // namespace quorvel
