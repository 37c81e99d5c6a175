#include <gtest/gtest.h>

#include "panel/DisplayCells.h"

namespace quorvel {
namespace {

// Register from digits written most significant first; 'F' is 15.
Register reg(const char* digits) {
    Register r{};
    for (int i = 0; i < registerDigits; ++i) {
        const char c = digits[i];
        r[topDigit - i] = (c >= '0' && c <= '9') ? c - '0' : c - 'A' + 10;
    }
    return r;
}

MachineState shown(const char* a, const char* b) {
    MachineState m;
    m.regA = reg(a);
    m.regB = reg(b);
    return m;
}

TEST(DisplayCells, DigitsSignsPointsAndMasks) {
    struct Case {
        const char* name;
        const char* a;
        const char* b;
        int m1Sign;
        const char* cells;
    } cases[] = {
        {"digits 13 to 3, blank exponent sign, exponent", "12345678900000", "00000000000000", 0,
         " 12345678900 00"},
        {"point mask hides the digit", "12345678900000", "00000000300000", 0, " 12345678.00 00"},
        {"mask 4 shows digit 1 only", "00000000000012", "00000000000044", 0, " 00000000000 1 "},
        {"digit value 15 is blank", "FFFFFFFFFFF000", "00000000000000", 0, "             00"},
        {"exponent minus", "00000000000205", "00000000000000", 0, " 00000000000-05"},
        {"mantissa minus from M1", "00000000000000", "00000000000000", 9, "-00000000000 00"},
        {"letters", "0ABCDE00000000", "00000099999999", 0, " 0rCodE        "},
    };
    for (const Case& c : cases) {
        MachineState m = shown(c.a, c.b);
        m.regM1[13] = c.m1Sign;
        EXPECT_EQ(displayCellText(computeDisplayCells(m)), c.cells) << c.name;
    }
}

TEST(DisplayCells, ValuesOutsideTheDigitRangeShowAsInvalid) {
    MachineState m = shown("00000000000000", "00000000000000");
    m.regA[12] = 16;
    m.regA[0] = -1;
    const std::string text = displayCellText(computeDisplayCells(m));
    EXPECT_EQ(text[2], '?');
    EXPECT_EQ(text[14], '?');
}

TEST(DisplayCells, SegmentsOfTheGlyphs) {
    enum { a = 1, b = 2, c = 4, d = 8, e = 16, f = 32, g = 64 };
    EXPECT_EQ(segmentsOfGlyph(0), a | b | c | d | e | f);
    EXPECT_EQ(segmentsOfGlyph(7), a | b | c);
    EXPECT_EQ(segmentsOfGlyph(glyphR), e | g);
    EXPECT_EQ(segmentsOfGlyph(glyphO), c | d | e | g);
    EXPECT_EQ(segmentsOfGlyph(glyphMinus), g);
    EXPECT_EQ(segmentsOfGlyph(glyphBlank), 0);
    EXPECT_EQ(segmentsOfGlyph(glyphPoint), 0);
}

}  // namespace
}  // namespace quorvel
