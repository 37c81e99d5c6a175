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

// The code a field that is no number reads as: "?".
constexpr int unreadableFieldCode = 59;

// The print codes of a stored roll entry, column 0 first; "Blank" reads as blanks. The one
// reader of stored lines: the paper, the tape text and the printed roll all use it.
struct RollEntryCodes {
    std::array<int, printColumns> codes{};
    // False for a column whose field is not a decimal number (a roll file damaged outside
    // the program, or an entry with fewer than 20 fields); its code is unreadableFieldCode.
    std::array<bool, printColumns> readable{};
    // The first column that is not readable, -1 when all are.
    int firstUnreadable = -1;
};

RollEntryCodes readRollEntry(const std::string& entry);

// Draws a stored roll entry into a line image that has just been cleared. A "Blank" entry
// draws nothing.
void drawRollEntry(const CharacterSet& characters, LineImage& lineImage, const std::string& entry);
void drawRollEntry(const CharacterSet& characters, LineImage& lineImage,
                   const RollEntryCodes& entry);

}  // namespace quorvel
