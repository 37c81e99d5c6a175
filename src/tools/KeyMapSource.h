#pragma once

// Reads data/keymap.txt, the one description of the keyboard that the face picture and
// the help document are made from.

#include <string>
#include <vector>

namespace quorvel {

struct KeyMapEntry {
    int index = -1;
    std::string pcKey;
    std::string legend;         // on the key
    std::string shiftedLegend;  // above the key
    std::string function;
    std::string shiftedFunction;
    std::string mnemonic;
    std::string shiftedMnemonic;
};

// The entries in file order; false (with a reason) when a line is malformed, an index is
// out of range or given twice, or a key of the key table is missing.
bool readKeyMap(const std::string& path, std::vector<KeyMapEntry>& entries, std::string& problem);

}  // namespace quorvel
