#pragma once

// Field, word, number and comment utilities shared by every data-file reader and the
// assembler. Texts are byte strings: one character is one byte, codes 0 to 255.

#include <string>
#include <vector>

namespace quorvel {

// Field n of a "~"-terminated record; empty when fewer than n+1 "~" follow.
std::string tildeField(const std::string& line, int n);
// The n-th run of characters with codes 33 and above; empty when there is none.
std::string wordAt(const std::string& text, int n);
// Tabs become blanks, other codes below 32 and codes 127 and above disappear; empty when
// nothing but blanks remains.
std::string filterControlChars(const std::string& text);
// filterControlChars, trim codes 0..32 at both ends, collapse blank runs, lower case.
std::string normaliseLine(const std::string& text);
std::string trimLeadingBlanks(const std::string& text);
// A..Z become a..z; every other byte stays. The one case folding of names, keys and words.
std::string lowerCase(const std::string& text);
bool sameTextIgnoringCase(const std::string& a, const std::string& b);
// 0..15 for a hexadecimal digit, -1 otherwise.
int hexDigitValue(char c);
// Whole text as hexadecimal (octal); the default on a bad character; 0 for empty text.
int hexToInt(const std::string& text, int defaultValue);
int octalToInt(const std::string& text, int defaultValue);
// "1" counts one, "0" and "." count zero; -1 on any other character.
int binaryTextToInt(const std::string& text);
// Binary digits, most significant first, left-padded with "0" to the minimum width.
std::string intToBinaryText(int value, int minimumWidth);
int countChar(char c, const std::string& text);
// The first three characters as a decimal integer, -1 if they are not one; removed from
// the text when `remove` is set.
int takeThreeDigitPrefix(std::string& text, bool remove);
// 0..999 as exactly three decimal digits.
std::string threeDigitText(int value);
// Cuts every line at "//", tabs to blanks, trailing blanks off; drops lines left empty.
void stripDataComments(std::vector<std::string>& lines);
// The part of a source line in front of its "//" comment, or its "/b" or "/B" mark.
std::string stripSourceComment(const std::string& line);

// A decimal integer in the platform's strict sense: optional sign, digits, nothing else.
// False (and `value` untouched) for anything else, including an out-of-range number.
bool parseDecimal(const std::string& text, int& value);

}  // namespace quorvel
