#include "panel/DisplayCells.h"

namespace quorvel {

namespace {

int glyphOfDigit(int32_t value) {
    if (value >= 0 && value <= 15) return value;
    return glyphInvalid;
}

}  // namespace

DisplayCells blankDisplayCells() {
    DisplayCells cells;
    cells.fill(glyphBlank);
    return cells;
}

DisplayCells computeDisplayCells(const MachineState& m) {
    DisplayCells cells = blankDisplayCells();
    // cell p lives at index p - 1
    if (m.regM1[13] == 9) cells[0] = glyphMinus;
    if (m.regA[2] == 2) cells[12] = glyphMinus;
    if (m.regB[0] == 0) cells[14] = glyphOfDigit(m.regA[0]);
    if (m.regB[1] == 0 || m.regB[1] == 4) cells[13] = glyphOfDigit(m.regA[1]);
    for (int d = 3; d <= 13; ++d) {
        int& cell = cells[15 - d - 1];
        if (m.regB[d] == 0) {
            cell = glyphOfDigit(m.regA[d]);
        } else if (m.regB[d] == 3) {
            cell = glyphPoint;
        }
    }
    return cells;
}

std::string displayCellText(const DisplayCells& cells) {
    static const char digits[] = "0123456789rCodE ";
    std::string text;
    for (int glyph : cells) {
        if (glyph >= 0 && glyph <= 15) {
            text += digits[glyph];
        } else if (glyph == glyphMinus) {
            text += '-';
        } else if (glyph == glyphPoint) {
            text += '.';
        } else {
            text += '?';
        }
    }
    return text;
}

int segmentsOfGlyph(int glyph) {
    enum { a = 1, b = 2, c = 4, d = 8, e = 16, f = 32, g = 64 };
    static constexpr int digitSegments[16] = {
        a | b | c | d | e | f,      // 0
        b | c,                      // 1
        a | b | d | e | g,          // 2
        a | b | c | d | g,          // 3
        b | c | f | g,              // 4
        a | c | d | f | g,          // 5
        a | c | d | e | f | g,      // 6
        a | b | c,                  // 7
        a | b | c | d | e | f | g,  // 8
        a | b | c | d | f | g,      // 9
        e | g,                      // r
        a | d | e | f,              // C
        c | d | e | g,              // o
        b | c | d | e | g,          // d
        a | d | e | f | g,          // E
        0,                          // blank
    };
    if (glyph >= 0 && glyph <= 15) return digitSegments[glyph];
    if (glyph == glyphMinus) return g;
    return 0;
}

}  // namespace quorvel
