#include "assembler/SourceSyntax.h"

#include <cstdint>

#include "io/TextUtils.h"

namespace quorvel {

std::string reduceSourceLine(const std::string& line) {
    return normaliseLine(stripSourceComment(line));
}

int parseNumberLiteral(const std::string& text, bool keepLowByte) {
    if (text.empty()) return -2;
    int base = 0;
    switch (text[0]) {
        case '@': base = 8; break;
        case '$': base = 16; break;
        case '.': base = 10; break;
        default: return -1;
    }
    int64_t sum = 0;
    for (size_t i = 1; i < text.size(); ++i) {
        int digit = hexDigitValue(text[i]);
        if (digit < 0 || digit >= base) return -2;
        sum = sum * base + digit;
        // Beyond this the value would collide with the sentinels or overflow.
        if (sum > INT32_MAX) return -2;
    }
    int value = static_cast<int>(sum);
    return keepLowByte ? (value & 255) : value;
}

bool isValidLabelDefinition(const std::string& word) {
    if (word.size() < 2 || word.size() > 7 || word.back() != ':') return false;
    for (size_t i = 0; i + 1 < word.size(); ++i) {
        char c = word[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))) return false;
    }
    return true;
}

std::string romLineTextPart(const std::string& romLine) {
    size_t tilde = romLine.find('~');
    return tilde == std::string::npos ? romLine : romLine.substr(tilde + 1);
}

std::string romLineNumber(const std::string& romLine) {
    size_t tilde = romLine.find('~');
    return tilde == std::string::npos ? std::string() : romLine.substr(0, tilde);
}

}  // namespace quorvel
