#pragma once

#include <array>
#include <string>

#include "processor/MachineState.h"

namespace quorvel {

// What one of the 15 display cells shows. Digit values 0..14 are their own glyphs
// (10 r, 11 C, 12 o, 13 d, 14 E).
enum DisplayGlyph : int {
    glyphR = 10,
    glyphC = 11,
    glyphO = 12,
    glyphD = 13,
    glyphE = 14,
    glyphBlank = 15,
    glyphMinus = 16,
    glyphPoint = 17,
    glyphInvalid = 18,  // a digit value outside 0..15; draws nothing
};

constexpr int displayCellCount = 15;
using DisplayCells = std::array<int, displayCellCount>;  // index 0 is cell 1 (leftmost)

// The cells as the display shows them from A, B and M1 while the display is on.
DisplayCells computeDisplayCells(const MachineState& machine);

// All cells blank, as shown while the display is off.
DisplayCells blankDisplayCells();

// One character a cell: 0-9, r C o d E, blank, '-', '.', and '?' for an invalid digit.
std::string displayCellText(const DisplayCells& cells);

// The lit segments of a glyph, bit 0 = a .. bit 6 = g.
int segmentsOfGlyph(int glyph);

}  // namespace quorvel
