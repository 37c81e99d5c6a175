#include "KeyMapSource.h"

#include <fstream>

#include "io/TextUtils.h"
#include "panel/KeyTable.h"

namespace quorvel {

bool readKeyMap(const std::string& path, std::vector<KeyMapEntry>& entries, std::string& problem) {
    entries.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problem = "cannot read " + path;
        return false;
    }
    std::vector<bool> seen(keyCount, false);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.rfind("//", 0) == 0) continue;
        KeyMapEntry entry;
        if (!parseDecimal(tildeField(line, 0), entry.index) || entry.index < 0 ||
            entry.index >= keyCount || seen[entry.index] || countChar('~', line) < 8) {
            problem = path + ":" + std::to_string(lineNumber) + ": not a key line";
            return false;
        }
        seen[entry.index] = true;
        entry.pcKey = tildeField(line, 1);
        entry.legend = tildeField(line, 2);
        entry.shiftedLegend = tildeField(line, 3);
        entry.function = tildeField(line, 4);
        entry.shiftedFunction = tildeField(line, 5);
        entry.mnemonic = tildeField(line, 6);
        entry.shiftedMnemonic = tildeField(line, 7);
        entries.push_back(entry);
    }
    for (int i = 0; i < keyCount; ++i) {
        if (!seen[i]) {
            problem = path + ": key " + std::to_string(i) + " is missing";
            return false;
        }
    }
    return true;
}

}  // namespace quorvel
