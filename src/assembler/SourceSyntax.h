#pragma once

// How a microcode source line is read: comment marks, labels, number operands, and the
// two parts of a ROM line ("n~source line", or a filler text alone).

#include <string>

namespace quorvel {

// The code part of a source line as every pass sees it: comment removed, normalised.
std::string reduceSourceLine(const std::string& line);

// A number operand: "@" octal, "$" hexadecimal, "." decimal, a bare prefix meaning 0.
// -1 when the text does not start with a prefix (it names a label), -2 when it is empty
// or has a character that is not a digit of its base, or does not fit in 31 bits.
// keepLowByte keeps only the low 8 bits (subroutine calls).
int parseNumberLiteral(const std::string& text, bool keepLowByte);

// A label definition word, normalised: 1 to 6 letters a-z or digits, then the colon.
bool isValidLabelDefinition(const std::string& word);

// The text part of a ROM line: after its first "~", or the whole line when it has none.
std::string romLineTextPart(const std::string& romLine);
// The source line number in front of the "~"; empty for a filler word.
std::string romLineNumber(const std::string& romLine);

}  // namespace quorvel
