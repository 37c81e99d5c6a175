#pragma once

// Roll entries as the printer stores them, for the listing and printing tests.

#include <string>
#include <vector>

#include "processor/MachineState.h"
#include "support/PrinterTestSupport.h"

namespace quorvel::test {

// The line text of a printed line: the codes from column 0, the rest empty.
inline std::string lineTextOf(const std::vector<int>& codes) {
    std::string text;
    for (int column = 0; column < printColumns; ++column) {
        const size_t c = static_cast<size_t>(column);
        text += std::to_string(c < codes.size() ? codes[c] : blankPrintCode) + "~";
    }
    return text;
}

// `count` entries, each a line of its number's digits.
inline std::vector<std::string> numberedEntries(int count) {
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i) entries.push_back(lineTextOf(codesOf(std::to_string(i))));
    return entries;
}

}  // namespace quorvel::test
