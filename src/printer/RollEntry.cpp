#include "printer/RollEntry.h"

#include "io/TextUtils.h"
#include "printer/RollStore.h"

namespace quorvel {

RollEntryCodes readRollEntry(const std::string& entry) {
    RollEntryCodes read;
    if (entry == blankRollLine) {
        read.codes.fill(blankPrintCode);
        read.readable.fill(true);
        return read;
    }
    for (int column = 0; column < printColumns; ++column) {
        const auto c = static_cast<size_t>(column);
        read.readable[c] = parseDecimal(tildeField(entry, column), read.codes[c]);
        if (read.readable[c]) continue;
        read.codes[c] = unreadableFieldCode;
        if (read.firstUnreadable < 0) read.firstUnreadable = column;
    }
    return read;
}

void drawRollEntry(const CharacterSet& characters, LineImage& lineImage,
                   const RollEntryCodes& entry) {
    for (int column = 0; column < printColumns; ++column) {
        const auto c = static_cast<size_t>(column);
        characters.drawGlyph(lineImage, characters.glyphIndexOf(entry.codes[c]), column);
    }
}

void drawRollEntry(const CharacterSet& characters, LineImage& lineImage, const std::string& entry) {
    if (entry == blankRollLine) return;
    drawRollEntry(characters, lineImage, readRollEntry(entry));
}

}  // namespace quorvel
