#pragma once

// Numbers between the calculator and other programs: X as the text a spreadsheet parses,
// and pasted text as the keys a user would type for it.

#include <string>
#include <vector>

#include "processor/MachineState.h"

namespace quorvel {

// Where the microcode keeps what Copy reads: X in RAM register 1 in packed form (digit 13
// the sign, 0 or 9; digits 12..3 the mantissa; digits 2..0 the exponent in tens
// complement), and the status bits of an open number entry and of a shown Error.
constexpr int xRamRegister = 1;
constexpr int entryStatusBit = 2;
constexpr int errorStatusBit = 7;
constexpr int shiftStatusBit = 13;

// The calculator's ten significant digits and the range it holds.
constexpr int significantDigits = 10;
constexpr int largestExponent = 99;

// A number as decimal digits: value = 0.d1d2d3... x 10^(exponent + 1), i.e. the first digit
// stands at 10^exponent. No leading or trailing zeros; zero has no digits.
struct DecimalNumber {
    bool negative = false;
    std::string digits;
    int exponent = 0;
    bool isZero() const { return digits.empty(); }
};

// The number of a packed register; false for digits that are not a packed number.
bool unpackNumber(const Register& packed, DecimalNumber& number);

// Plain notation from 1E-4 up to below 1E10, else the mantissa and "E" with the exponent;
// every digit kept, no trailing zeros: "0.3333333333", "-1.5E-12", "1500", "1E10", "0".
std::string numberText(const DecimalNumber& number);

struct ClipboardText {
    bool ok = false;
    std::string text;     // the number, when ok
    std::string message;  // why there is none, when not ok
};

// X of a running calculator for Copy: the number as it is being keyed in while an entry
// is open, else X itself, with all its digits rather than the display's rounding.
ClipboardText copyNumberText(const MachineState& machine);

struct PastedKeys {
    bool ok = false;
    std::vector<std::string> keys;  // key names as the headless runner takes them
    std::string message;            // why the text was refused, when not ok
};

// The keys that type the pasted text: digits, ".", "H" (CHS) and "E" (EEX). Blanks around
// it are dropped; an optional sign, digits with one decimal point, an optional exponent
// ("1e5", "1E+05", "-0.5"). The point is "." and also `decimalSeparator` when that is ",".
// More than ten significant digits are rounded to ten, half away from zero, as the
// calculator rounds its own results: a spreadsheet's 0.1+0.2 pastes as 0.3. A number the
// calculator cannot hold (beyond 9.999999999E99, or nonzero below 1E-99) and any other text
// are refused with a short message and no keys.
PastedKeys keysForPastedText(const std::string& text, char decimalSeparator = '.');

// The number of a text by the same rules, without the keys.
bool parseNumberText(const std::string& text, char decimalSeparator, DecimalNumber& number,
                     std::string& message);

// Paste refusals.
inline constexpr const char* messageNothingToPaste = "Nothing to paste";
inline constexpr const char* messageNotANumber = "Not a number: ";
inline constexpr const char* messageOutOfRange = "Out of the calculator's range: ";
// Copy refusals.
inline constexpr const char* messageCopyError = "Nothing to copy: the display shows Error";
inline constexpr const char* messageCopyNoNumber = "Nothing to copy: X holds no number";

}  // namespace quorvel
