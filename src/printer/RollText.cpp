#include "printer/RollText.h"

namespace quorvel {

std::string rollText(const RollStore& roll, const CharacterSet& characters) {
    std::string text;
    for (const std::string& line : roll.rollLines()) {
        std::string shown = characters.lineCharacters(line);
        shown.erase(shown.find_last_not_of(' ') + 1);
        text += shown;
        text += '\n';
    }
    return text;
}

}  // namespace quorvel
