#pragma once

#include <array>
#include <string>

#include "printer/CharacterSet.h"
#include "processor/MachineState.h"

namespace quorvel {

inline constexpr const char* blankRollLine = "Blank";

// Where the print mechanism puts each line it finishes: the roll store.
class RollLineSink {
  public:
    virtual ~RollLineSink() = default;
    virtual void appendRollLine(const std::string& text) = 0;
};

// The print codes of a stored roll entry (not "Blank"), column 0 first.
struct RollEntryCodes {
    std::array<int, printColumns> codes{};
    // False for a column whose field is not a decimal number (a roll file damaged outside
    // the program, or an entry with fewer than 20 fields).
    std::array<bool, printColumns> readable{};
    // The first column that is not readable, -1 when all are.
    int firstUnreadable = -1;
};

RollEntryCodes readRollEntry(const std::string& entry);

// Draws a stored roll entry into a line image that has just been cleared; an unreadable
// column shows the fallback glyph. A "Blank" entry draws nothing.
void drawRollEntry(const CharacterSet& characters, LineImage& lineImage, const std::string& entry);
void drawRollEntry(const CharacterSet& characters, LineImage& lineImage,
                   const RollEntryCodes& entry);

}  // namespace quorvel
