#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Platform.h"

namespace quorvel {

// Geometry of the working picture of one printed line.
constexpr int lineImageWidth = 960;
constexpr int lineImageHeight = 62;
constexpr int lineColumnWidth = 45;
constexpr int glyphRows = 7;
constexpr int glyphColumns = 5;
constexpr int fallbackGlyphRecord = 54;
// The code of a record whose code field is empty; it always means the fallback glyph.
constexpr int unnamedGlyphCode = 99;
constexpr Rgb inkColour{70, 5, 177};

// One glyph record: the code, then the seven dot rows, top first (bit 16 the left dot).
using GlyphRecord = std::array<int32_t, 1 + glyphRows>;

// The line picture with the colours its glyph dots are drawn in.
struct LineImage {
    Bitmap bitmap{lineImageWidth, lineImageHeight};
    Rgb fillColour = inkColour;
    Rgb outlineColour = black;
};

// The printer's character shapes, loaded from the character file of a calculator type.
class CharacterSet {
  public:
    // "chdtfl91.dat", "chdtfl97.dat", "chdtfl73.dat", else "chdtfl.dat".
    static std::string characterFileName(int calculatorType);

    // Loads the set of the type from the folder unless it is already loaded. False when the
    // file cannot be read or a field is not a number (shown in a message box).
    bool loadCharacterSet(int calculatorType, const std::string& folder, MessageBoxes& messages);
    // The same from lines already read.
    bool loadCharacterLines(int calculatorType, const std::vector<std::string>& lines,
                            MessageBoxes& messages);

    // The lowest record carrying the code; the fallback record for code 99 and for codes
    // no record carries.
    int glyphIndexOf(int code) const;
    // Draws the glyph of a record into a column (0..19) of the line image. A record the
    // table does not hold (a set shorter than the fallback record) draws nothing.
    void drawGlyph(LineImage& lineImage, int recordNumber, int column) const;

    const std::vector<GlyphRecord>& glyphTable() const { return glyphTable_; }
    int loadedType() const { return loadedType_; }

    // What a stored line shows as text: the first field of each column's record, the blank
    // code as a blank, "?" for a column whose record names no character. A fed blank line
    // shows as 20 blanks.
    std::string lineCharacters(const std::string& lineText) const;

  private:
    std::vector<GlyphRecord> glyphTable_;
    std::vector<std::string> glyphText_;
    int loadedType_ = -1;  // none
};

// Fills the line image with white and sets its colours: ink inside, `penColour` around.
void clearLineImage(LineImage& lineImage, Rgb penColour);

}  // namespace quorvel
