#pragma once

#include <string>

#include "printer/CharacterSet.h"
#include "printer/RollStore.h"

namespace quorvel {

// The roll as UTF-8 text for other programs: one tape line a line, oldest first, each
// column as the character its glyph shows (the character set's own names), blanks at the
// end of a line dropped, a fed blank line as an empty line. Every line ends in "\n".
std::string rollText(const RollStore& roll, const CharacterSet& characters);

}  // namespace quorvel
