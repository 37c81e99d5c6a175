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

// The pixels a reading lights, from the segment table: cell p at x = 6 + 16 (p - 1); each
// segment six pixels, its end point not drawn; the point a 2 x 2 square.
Points expectedPixels(const std::string& cells) {
    static const std::pair<char, const char*> segments[] = {
        {'0', "abcdef"},  {'1', "bc"},     {'2', "abdeg"},  {'3', "abcdg"},
        {'4', "bcfg"},    {'5', "acdfg"},  {'6', "acdefg"}, {'7', "abc"},
        {'8', "abcdefg"}, {'9', "abcdfg"}, {'r', "eg"},     {'C', "adef"},
        {'o', "cdeg"},    {'d', "bcdeg"},  {'E', "adefg"},  {'-', "g"}};
    Points points;
    for (size_t index = 0; index < cells.size(); ++index) {
        const int x = 6 + 16 * static_cast<int>(index);
        if (cells[index] == '.') {
            points.insert({{x + 3, 9}, {x + 4, 9}, {x + 3, 10}, {x + 4, 10}});
        }
        for (const auto& [shown, lit] : segments) {
            if (shown != cells[index]) continue;
            for (const char* s = lit; *s; ++s) {
                for (int i = 0; i < 6; ++i) {
                    switch (*s) {
                        case 'a': points.insert({x + 1 + i, 0}); break;
                        case 'b': points.insert({x + 7, 1 + i}); break;
                        case 'c': points.insert({x + 7, 8 + i}); break;
                        case 'd': points.insert({x + 1 + i, 14}); break;
                        case 'e': points.insert({x, 8 + i}); break;
                        case 'f': points.insert({x, 1 + i}); break;
                        case 'g': points.insert({x + 1 + i, 7}); break;
                    }
                }
            }
        }
    }
    return points;
}

TEST(DisplayRenderer, DrawsTheExampleReadingsPixelForPixel) {
    struct Case {
        const char* a;
        const char* b;
        int m1Top;
        const char* cells;
    } cases[] = {
        {"12345678900000", "00000000000000", 0, " 12345678900 00"},
        {"12345678900000", "00000000300000", 0, " 12345678.00 00"},  // point in cell 10
        {"00000000000012", "00000000000044", 0, " 00000000000 1 "},  // mask 4: digit 1 only
        {"FFFFFFFFFFF000", "00000000000000", 0, "             00"},  // 15 is blank
        {"FFFFFFFFFFFFFF", "FFFFFFFFFFFFFF", 9, "-              "},  // the M1 minus
        {"0ABCDE00000205", "00000000000000", 0, " 0rCodE00000-05"},
    };
    for (const Case& c : cases) {
        MachineState m;
        m.regA = reg(c.a);
        m.regB = reg(c.b);
        m.regM1[13] = c.m1Top;
        m.displayOn = true;
        m.displayChanged = true;
        DisplayRenderer renderer;
        ASSERT_TRUE(renderer.redraw(m));
        EXPECT_FALSE(m.displayChanged);
        EXPECT_EQ(displayCellText(renderer.cells()), c.cells);
        const Points lit = expectedPixels(c.cells);
        for (int y = 0; y < displayImageHeight; ++y) {
            for (int x = 0; x < displayImageWidth; ++x) {
                ASSERT_EQ(renderer.image().pixel(x, y),
                          lit.count({x, y}) ? displayPenColour : displayMaskColour)
                    << c.cells << " at " << x << "," << y;
            }
        }
    }
}

TEST(DisplayRenderer, DrawsOnceUntilTheDisplayChangesAgain) {
    MachineState m;
    m.regA = reg("12345678900000");
    m.displayOn = true;
    m.displayChanged = true;
    DisplayRenderer renderer;
    ASSERT_TRUE(renderer.redraw(m));
    const Bitmap first = renderer.image();
    renderer.maskImage.fill(Rgb{0, 40, 0});  // would show if anything were drawn
    m.regA = reg("99999999999999");
    EXPECT_FALSE(renderer.redraw(m));
    EXPECT_EQ(renderer.image(), first);
    EXPECT_EQ(renderer.redrawCount(), 1);
    m.displayChanged = true;
    EXPECT_TRUE(renderer.redraw(m));
    EXPECT_EQ(renderer.image().pixel(0, 0), (Rgb{0, 40, 0}));
}

TEST(DisplayRenderer, AnOffDisplayIsExactlyTheBlankPicture) {
    MachineState m;
    m.regA = reg("88888888888888");
    m.regM1[13] = 9;
    m.displayChanged = true;
    DisplayRenderer renderer;
    for (int x = 0; x < displayImageWidth; ++x) renderer.maskImage.setPixel(x, x % 18, white);
    ASSERT_TRUE(renderer.redraw(m));
    EXPECT_EQ(renderer.image(), renderer.maskImage);
    EXPECT_EQ(displayCellText(renderer.cells()), std::string(15, ' '));
}

}  // namespace
}  // namespace quorvel
