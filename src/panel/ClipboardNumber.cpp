#include "panel/ClipboardNumber.h"

#include <algorithm>
#include <cctype>

#include "panel/DisplayCells.h"

namespace quorvel {

namespace {

// A refused text is quoted in the message, shortened to stay one short line.
std::string quoted(const std::string& text) {
    constexpr size_t longest = 24;
    if (text.size() <= longest) return text;
    size_t cut = longest;
    // never cut inside a UTF-8 character
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "...";
}

std::string trimmed(const std::string& text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Rounds to ten digits, half away from zero, and drops trailing zeros.
void roundToSignificant(DecimalNumber& number) {
    std::string& digits = number.digits;
    if (digits.size() > static_cast<size_t>(significantDigits)) {
        const bool up = digits[significantDigits] >= '5';
        digits.resize(significantDigits);
        if (up) {
            int i = significantDigits - 1;
            while (i >= 0 && digits[static_cast<size_t>(i)] == '9') {
                digits[static_cast<size_t>(i)] = '0';
                --i;
            }
            if (i < 0) {
                digits.insert(digits.begin(), '1');
                digits.pop_back();
                ++number.exponent;
            } else {
                ++digits[static_cast<size_t>(i)];
            }
        }
    }
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    if (digits.empty()) number = DecimalNumber{};
}

}  // namespace

bool unpackNumber(const Register& packed, DecimalNumber& number) {
    for (int32_t digit : packed) {
        if (digit < 0 || digit > 9) return false;
    }
    const int32_t sign = packed[13];
    const int32_t exponentHigh = packed[2];
    if ((sign != 0 && sign != 9) || (exponentHigh != 0 && exponentHigh != 9)) return false;
    DecimalNumber result;
    for (int d = 12; d >= 3; --d) result.digits += static_cast<char>('0' + packed[d]);
    if (result.digits.find_first_not_of('0') == std::string::npos) {
        number = DecimalNumber{};
        return true;
    }
    // A nonzero mantissa always begins with a nonzero digit.
    if (result.digits[0] == '0') return false;
    int exponent = exponentHigh * 100 + packed[1] * 10 + packed[0];
    if (exponentHigh == 9) exponent -= 1000;
    if (exponent < -largestExponent) return false;
    result.exponent = exponent;
    result.negative = sign == 9;
    while (result.digits.back() == '0') result.digits.pop_back();
    number = result;
    return true;
}

std::string numberText(const DecimalNumber& number) {
    if (number.isZero()) return "0";
    std::string text = number.negative ? "-" : "";
    const std::string& digits = number.digits;
    const int count = static_cast<int>(digits.size());
    const int e = number.exponent;
    if (e < -4 || e >= significantDigits) {
        text += digits[0];
        if (count > 1) text += "." + digits.substr(1);
        return text + "E" + std::to_string(e);
    }
    if (e < 0) return text + "0." + std::string(static_cast<size_t>(-e - 1), '0') + digits;
    if (count <= e + 1) return text + digits + std::string(static_cast<size_t>(e + 1 - count), '0');
    return text + digits.substr(0, static_cast<size_t>(e + 1)) + "." +
           digits.substr(static_cast<size_t>(e + 1));
}

bool parseNumberText(const std::string& text, char decimalSeparator, DecimalNumber& number,
                     std::string& message) {
    const std::string s = trimmed(text);
    if (s.empty()) {
        message = messageNothingToPaste;
        return false;
    }
    const auto refuse = [&](const char* why) {
        message = why + quoted(s);
        return false;
    };
    const auto isPoint = [&](char c) { return c == '.' || (decimalSeparator == ',' && c == ','); };

    size_t i = 0;
    DecimalNumber result;
    if (s[i] == '+' || s[i] == '-') result.negative = s[i++] == '-';
    std::string digits;
    long long pointAt = -1;  // digits in front of the point
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            digits += s[i];
        } else if (isPoint(s[i]) && pointAt < 0) {
            pointAt = static_cast<long long>(digits.size());
        } else {
            break;
        }
    }
    if (digits.empty()) return refuse(messageNotANumber);
    if (pointAt < 0) pointAt = static_cast<long long>(digits.size());

    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negativeExponent = s[i++] == '-';
        const size_t start = i;
        for (; i < s.size() && isDigit(s[i]); ++i) {
            // far beyond any range the calculator holds; stop counting there
            exponent = std::min(exponent * 10 + (s[i] - '0'), 1'000'000'000LL);
        }
        if (i == start) return refuse(messageNotANumber);
        if (negativeExponent) exponent = -exponent;
    }
    if (i != s.size()) return refuse(messageNotANumber);

    const size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        number = DecimalNumber{};
        return true;
    }
    const size_t last = digits.find_last_not_of('0');
    result.digits = digits.substr(first, last - first + 1);
    const long long e = pointAt - 1 - static_cast<long long>(first) + exponent;
    if (e > largestExponent + 1 || e < -largestExponent - 1) return refuse(messageOutOfRange);
    result.exponent = static_cast<int>(e);
    roundToSignificant(result);
    if (result.exponent > largestExponent || result.exponent < -largestExponent) {
        return refuse(messageOutOfRange);
    }
    number = result;
    return true;
}

PastedKeys keysForPastedText(const std::string& text, char decimalSeparator) {
    PastedKeys pasted;
    DecimalNumber number;
    if (!parseNumberText(text, decimalSeparator, number, pasted.message)) return pasted;
    pasted.ok = true;
    std::vector<std::string>& keys = pasted.keys;
    const auto type = [&keys](const std::string& digits) {
        for (char c : digits) keys.emplace_back(1, c);
    };
    if (number.isZero()) {
        keys = {"0"};
        return pasted;
    }
    const std::string& digits = number.digits;
    const int count = static_cast<int>(digits.size());
    const int e = number.exponent;
    // Plain when the entry's ten digit cells hold it (a leading "0." counts one cell),
    // else a mantissa with one digit before the point and EEX.
    int exponentTyped = 0;
    if (e >= 0 && std::max(count, e + 1) <= significantDigits) {
        type(digits.substr(0, std::min<size_t>(digits.size(), static_cast<size_t>(e + 1))));
        if (count < e + 1) type(std::string(static_cast<size_t>(e + 1 - count), '0'));
        if (count > e + 1) {
            keys.emplace_back(".");
            type(digits.substr(static_cast<size_t>(e + 1)));
        }
    } else if (e < 0 && count - e <= significantDigits) {
        keys.emplace_back("0");
        keys.emplace_back(".");
        type(std::string(static_cast<size_t>(-e - 1), '0'));
        type(digits);
    } else {
        type(digits.substr(0, 1));
        if (count > 1) {
            keys.emplace_back(".");
            type(digits.substr(1));
        }
        exponentTyped = e;
    }
    // CHS before EEX changes the mantissa's sign, after it the exponent's.
    if (number.negative) keys.emplace_back("H");
    if (exponentTyped != 0) {
        keys.emplace_back("E");
        type(std::to_string(std::abs(exponentTyped)));
        if (exponentTyped < 0) keys.emplace_back("H");
    }
    return pasted;
}

ClipboardText copyNumberText(const MachineState& machine) {
    ClipboardText copied;
    const auto status = [&machine](int bit) {
        return bit < machine.statusBitCount() && machine.statusBits[static_cast<size_t>(bit)];
    };
    if (status(errorStatusBit)) {
        copied.message = messageCopyError;
        return copied;
    }
    DecimalNumber number;
    if (status(entryStatusBit)) {
        // The typed number is only on the display until a key ends the entry: the sign and
        // the mantissa in cells 1 to 12, the exponent after EEX in cells 13 to 15.
        const std::string cells = displayCellText(computeDisplayCells(machine));
        std::string mantissa, exponent;
        for (size_t i = 0; i < cells.size(); ++i) {
            if (cells[i] == ' ') continue;
            (i < 12 ? mantissa : exponent) += cells[i];
        }
        std::string ignored;
        if (!parseNumberText(exponent.empty() ? mantissa : mantissa + "E" + exponent, '.', number,
                             ignored)) {
            copied.message = messageCopyNoNumber;
            return copied;
        }
    } else if (machine.ramSize() <= xRamRegister ||
               !unpackNumber(machine.ram[static_cast<size_t>(xRamRegister)], number)) {
        copied.message = messageCopyNoNumber;
        return copied;
    }
    copied.ok = true;
    copied.text = numberText(number);
    return copied;
}

}  // namespace quorvel
