#include "io/TextUtils.h"

#include <climits>
#include <cstdint>

namespace quorvel {

namespace {

unsigned char code(char c) {
    return static_cast<unsigned char>(c);
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Reads the whole text in the given base with digitValue; false on a bad digit or a value
// beyond int. Reading from the front gives the same sum as the back-to-front weights and
// never lets a weight overflow on leading zeros.
template <typename DigitValue>
bool readInBase(const std::string& text, int base, DigitValue digitValue, int& value) {
    int64_t sum = 0;
    for (char c : text) {
        int digit = digitValue(c);
        if (digit < 0 || digit >= base) return false;
        sum = sum * base + digit;
        if (sum > INT_MAX) return false;
    }
    value = static_cast<int>(sum);
    return true;
}

}  // namespace

std::string tildeField(const std::string& line, int n) {
    if (n < 0) return {};
    int field = 0;
    size_t start = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '~') continue;
        if (field == n) return line.substr(start, i - start);
        ++field;
        start = i + 1;
    }
    return {};
}

std::string wordAt(const std::string& text, int n) {
    if (n < 0) return {};
    int word = 0;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && code(text[i]) < 33) ++i;
        if (i >= text.size()) break;
        size_t start = i;
        while (i < text.size() && code(text[i]) >= 33) ++i;
        if (word == n) return text.substr(start, i - start);
        ++word;
    }
    return {};
}

std::string filterControlChars(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    bool onlyBlanks = true;
    for (char c : text) {
        unsigned char u = code(c);
        if (u == 9) {
            out += ' ';
        } else if (u >= 32 && u < 127) {
            out += c;
            if (u != 32) onlyBlanks = false;
        }
    }
    if (onlyBlanks) return {};
    return out;
}

std::string normaliseLine(const std::string& text) {
    std::string filtered = filterControlChars(text);
    size_t begin = 0;
    size_t end = filtered.size();
    while (begin < end && code(filtered[begin]) <= 32) ++begin;
    while (end > begin && code(filtered[end - 1]) <= 32) --end;
    std::string out;
    out.reserve(end - begin);
    for (size_t i = begin; i < end; ++i) {
        char c = filtered[i];
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out += lowerAscii(c);
    }
    return out;
}

std::string trimLeadingBlanks(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && code(text[i]) <= 32) ++i;
    return text.substr(i);
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int hexToInt(const std::string& text, int defaultValue) {
    int value = 0;
    return readInBase(text, 16, hexDigitValue, value) ? value : defaultValue;
}

int octalToInt(const std::string& text, int defaultValue) {
    int value = 0;
    auto octalDigit = [](char c) { return (c >= '0' && c <= '7') ? c - '0' : -1; };
    return readInBase(text, 8, octalDigit, value) ? value : defaultValue;
}

int binaryTextToInt(const std::string& text) {
    int value = 0;
    auto binaryDigit = [](char c) { return c == '1' ? 1 : (c == '0' || c == '.') ? 0 : -1; };
    return readInBase(text, 2, binaryDigit, value) ? value : -1;
}

std::string intToBinaryText(int value, int minimumWidth) {
    // Negative values show their 32-bit pattern.
    uint32_t bits = static_cast<uint32_t>(value);
    std::string digits;
    do {
        digits.insert(digits.begin(), (bits & 1) ? '1' : '0');
        bits >>= 1;
    } while (bits != 0);
    if (minimumWidth > static_cast<int>(digits.size()))
        digits.insert(0, static_cast<size_t>(minimumWidth) - digits.size(), '0');
    return digits;
}

int countChar(char c, const std::string& text) {
    int count = 0;
    for (char t : text)
        if (t == c) ++count;
    return count;
}

int takeThreeDigitPrefix(std::string& text, bool remove) {
    int value = -1;
    if (text.size() < 3 || !parseDecimal(text.substr(0, 3), value)) value = -1;
    if (remove) text.erase(0, 3);
    return value;
}

std::string threeDigitText(int value) {
    std::string digits = std::to_string(value);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return digits;
}

void stripDataComments(std::vector<std::string>& lines) {
    std::vector<std::string> kept;
    kept.reserve(lines.size());
    for (std::string line : lines) {
        size_t comment = line.find("//");
        if (comment != std::string::npos) line.erase(comment);
        for (char& c : line)
            if (c == '\t') c = ' ';
        while (!line.empty() && line.back() == ' ') line.pop_back();
        if (!line.empty()) kept.push_back(std::move(line));
    }
    lines = std::move(kept);
}

std::string stripSourceComment(const std::string& line) {
    for (const char* mark : {"//", "/b", "/B"}) {
        size_t at = line.find(mark);
        if (at != std::string::npos) return line.substr(0, at);
    }
    return line;
}

bool parseDecimal(const std::string& text, int& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size()) return false;
    int64_t sum = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        sum = sum * 10 + (text[i] - '0');
        if (sum > static_cast<int64_t>(INT_MAX) + 1) return false;
    }
    if (negative) sum = -sum;
    if (sum > INT_MAX || sum < INT_MIN) return false;
    value = static_cast<int>(sum);
    return true;
}

std::string lowerCase(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = lowerAscii(c);
    return out;
}

bool sameTextIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

}  // namespace quorvel
