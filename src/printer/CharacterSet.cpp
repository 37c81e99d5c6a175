#include "printer/CharacterSet.h"

#include "io/ScrambledFile.h"
#include "io/TextUtils.h"
#include "printer/RollStore.h"
#include "processor/MachineState.h"

namespace quorvel {

namespace {

// The code of field 1, or why it has none.
enum class CodeField { value, notHex, unreadable };

CodeField readCode(const std::string& field, int32_t& code) {
    if (field.empty()) {
        code = unnamedGlyphCode;
        return CodeField::value;
    }
    // Both characters are needed; one alone is a field that cannot be converted.
    if (field.size() < 2) return CodeField::unreadable;
    const int high = hexDigitValue(field[0]);
    const int low = hexDigitValue(field[1]);
    if (high < 0 || low < 0) return CodeField::notHex;
    code = 16 * high + low;
    return CodeField::value;
}

}  // namespace

std::string CharacterSet::characterFileName(int calculatorType) {
    switch (calculatorType) {
        case 91: return "chdtfl91.dat";
        case 97: return "chdtfl97.dat";
        case 73: return "chdtfl73.dat";
        default: return "chdtfl.dat";
    }
}

bool CharacterSet::loadCharacterSet(int calculatorType, const std::string& folder,
                                    MessageBoxes& messages) {
    if (loadedType_ == calculatorType) return true;
    const std::string path = folder + "/" + characterFileName(calculatorType);
    std::vector<std::string> lines;
    const ListFile result = readScrambledList(path, lines);
    if (result != ListFile::loaded) {
        // A missing file is the caller's to report; a damaged one is said here.
        if (result == ListFile::empty) {
            messages.showError(characterFileName(calculatorType) + " holds no characters");
        } else if (result != ListFile::missing) {
            messages.showError(scrambledFileProblem(path));
        }
        return false;
    }
    return loadCharacterLines(calculatorType, lines, messages);
}

bool CharacterSet::loadCharacterLines(int calculatorType, const std::vector<std::string>& lines,
                                      MessageBoxes& messages) {
    if (loadedType_ == calculatorType) return true;
    glyphTable_.assign(lines.size(), GlyphRecord{});
    glyphText_.assign(lines.size(), std::string());
    for (size_t record = 0; record < lines.size(); ++record) {
        const std::string& line = lines[record];
        GlyphRecord& glyph = glyphTable_[record];
        const std::string codeText = tildeField(line, 1);
        switch (readCode(codeText, glyph[0])) {
            case CodeField::value: break;
            case CodeField::notHex:
                // Once this silently ended the table and the tape printed the fallback glyph.
                glyph[0] = 0;
                messages.showError(characterFileName(calculatorType) + ", line " +
                                   std::to_string(record + 1) + ": the code '" + codeText +
                                   "' is not hexadecimal: " + line);
                loadedType_ = -1;
                return false;
            case CodeField::unreadable:
                glyph[0] = 0;
                messages.showError(codeText + " " + line);
                loadedType_ = -1;
                return false;
        }
        for (int row = 1; row <= glyphRows; ++row) {
            const std::string rowText = tildeField(line, row + 1);
            if (!parseDecimal(rowText, glyph[static_cast<size_t>(row)])) {
                messages.showError(rowText + " " + line);
                loadedType_ = -1;
                return false;
            }
        }
        glyphText_[record] = tildeField(line, 0);
    }
    loadedType_ = calculatorType;
    return true;
}

int CharacterSet::glyphIndexOf(int code) const {
    if (code == unnamedGlyphCode) return fallbackGlyphRecord;
    for (size_t record = 0; record < glyphTable_.size(); ++record) {
        if (glyphTable_[record][0] == code) return static_cast<int>(record);
    }
    return fallbackGlyphRecord;
}

void CharacterSet::drawGlyph(LineImage& lineImage, int recordNumber, int column) const {
    if (recordNumber < 0 || recordNumber >= static_cast<int>(glyphTable_.size())) return;
    const GlyphRecord& glyph = glyphTable_[static_cast<size_t>(recordNumber)];
    for (int r = 0; r < glyphRows; ++r) {
        const int32_t dots = glyph[static_cast<size_t>(r + 1)];
        for (int c = 0; c < glyphColumns; ++c) {
            if (((dots >> (4 - c)) & 1) == 0) continue;
            // Each row stands one pixel left of the row above: the characters lean right.
            const int left = lineColumnWidth * column + 6 + 7 * c - r;
            const int top = 9 * r;
            lineImage.bitmap.drawRectangle(left, top, left + 5, top + 8, lineImage.fillColour,
                                           lineImage.outlineColour);
        }
    }
}

std::string CharacterSet::lineCharacters(const std::string& lineText) const {
    std::string text;
    const RollEntryCodes entry = readRollEntry(lineText);
    for (const int code : entry.codes) {
        if (code == blankPrintCode) {
            text += ' ';
            continue;
        }
        const int record = glyphIndexOf(code);
        const bool named = record < static_cast<int>(glyphText_.size()) &&
                           !glyphText_[static_cast<size_t>(record)].empty();
        text += named ? glyphText_[static_cast<size_t>(record)] : std::string("?");
    }
    return text;
}

void clearLineImage(LineImage& lineImage, Rgb penColour) {
    lineImage.bitmap.fill(white);
    lineImage.fillColour = inkColour;
    lineImage.outlineColour = penColour;
}

}  // namespace quorvel
