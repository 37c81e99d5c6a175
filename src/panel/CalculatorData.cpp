#include "panel/CalculatorData.h"

#include "io/ScrambledFile.h"
#include "io/TextUtils.h"

namespace quorvel {

std::string calculatorDataFileName(int calculatorType) {
    switch (calculatorType) {
        case 46: return "dsplbfs.dat";
        case 97: return "dsplbns.dat";
        case 91: return "dsplbno.dat";
        default: return "dsplab.dat";
    }
}

namespace {

// Characters `from`..`to` (1-based, inclusive) of a text, fewer where the text ends.
std::string columns(const std::string& text, size_t from, size_t to) {
    if (from > text.size()) return {};
    return text.substr(from - 1, to - from + 1);
}

// A decimal number for a fixed-width column; an empty or malformed column is no number.
bool columnNumber(const std::string& text, int32_t& value) {
    int v = 0;
    if (!parseDecimal(text, v)) return false;
    value = v;
    return true;
}

bool readRecord(const std::string& line, CalculatorRecord& record) {
    int32_t code = -1;
    if (!columnNumber(columns(line, 1, 2), code)) code = -1;
    record.code = code;
    if (code < 0) return true;
    if (!columnNumber(columns(line, 4, 5), record.number)) return false;
    if (!columnNumber(columns(line, 7, 7), record.digit)) return false;
    record.flag = columns(line, 9, 9) == "Y";
    record.text = line.size() >= 11 ? line.substr(10) : std::string();
    return true;
}

}  // namespace

bool loadCalculatorData(const std::string& path, int calculatorType, CalculatorData& data) {
    data = CalculatorData{};
    std::vector<std::string> lines;
    if (!loadScrambledList(path, lines)) return false;
    stripDataComments(lines);

    const std::string marker = "<" + std::to_string(calculatorType) + ">";
    size_t i = 0;
    while (i < lines.size() && lines[i] != marker) ++i;
    if (i == lines.size()) return false;

    for (++i; i < lines.size(); ++i) {
        if (lines[i] == marker) return true;
        std::string rest = lines[i];
        const int kind = takeThreeDigitPrefix(rest, true);
        switch (kind) {
            case 0: data.parameterLine = rest; break;
            case 1: {
                CalculatorRecord record;
                if (!readRecord(rest, record)) return false;
                data.records.push_back(record);
                break;
            }
            case 2: {
                int value = 0;
                if (!parseDecimal(rest, value) || value < 0) return false;
                if (static_cast<int>(data.kind2Numbers.size()) >= kind2Limit) return false;
                data.kind2Numbers.push_back(value);
                break;
            }
            case 3: {
                int value = 0;
                if (!parseDecimal(rest, value) || value < -1) return false;
                if (static_cast<int>(data.kind3Numbers.size()) >= kind3Limit) return false;
                data.kind3Numbers.push_back(value);
                break;
            }
            case 4:
                if (static_cast<int>(data.kind4Texts.size()) >= kind4Limit) return false;
                data.kind4Texts.push_back(rest);
                break;
            default: break;
        }
    }
    return false;  // the section was never closed
}

namespace {

constexpr int romWordsPerPage = 256;

bool decimalField(const std::string& line, int field, int32_t& value, std::string& message) {
    const std::string text = tildeField(line, field);
    int v = 0;
    if (!parseDecimal(text, v)) {
        message = "'" + text + "' is not a valid integer value";
        return false;
    }
    value = v;
    return true;
}

bool readMachineParameters(const std::string& line, MachineParameters& parameters,
                           std::string& message) {
    // Fields in the order the loader applies them; 3, 4, 12, 15 to 18 are checked but unused.
    int32_t unused = 0;
    MachineParameters p;
    if (!decimalField(line, 2, p.ramSize, message)) return false;
    if (!decimalField(line, 3, unused, message)) return false;
    if (!decimalField(line, 4, unused, message)) return false;
    // A ROM size that is not hexadecimal used to read as 0 words and surfaced only as
    // microcode that does not fit.
    const std::string romText = tildeField(line, 5);
    p.romSize = romText.size() <= 7 ? hexToInt(romText, -1) : -1;
    if (romText.empty() || p.romSize < 0) {
        message = "ERROR: the ROM size '" + romText + "' is not a hexadecimal number";
        return false;
    }
    if (p.romSize < romWordsPerPage) {
        message = "ERROR: the ROM size '" + romText + "' is less than one page of " +
                  std::to_string(romWordsPerPage) + " words";
        return false;
    }
    if (!decimalField(line, 14, p.returnStackDepth, message)) return false;
    if (!decimalField(line, 15, unused, message)) return false;
    if (!decimalField(line, 16, unused, message)) return false;
    int32_t auxiliarySize = 0;
    if (!decimalField(line, 12, auxiliarySize, message)) return false;
    if (!decimalField(line, 17, unused, message)) return false;
    if (!decimalField(line, 18, unused, message)) return false;
    if (!decimalField(line, 19, p.highestP, message)) return false;
    if (!decimalField(line, 13, p.statusBitCount, message)) return false;

    // The processor relies on fixed status bits up to 15 and on two return addresses, and
    // the P register must stay a digit index the instructions can name.
    if (p.ramSize < 0 || auxiliarySize < 0 || p.statusBitCount < 0 || p.returnStackDepth < 0) {
        message = "Range check error: a size in the machine parameters is negative";
        return false;
    }
    if (p.statusBitCount < 16 || p.returnStackDepth < 2 || p.highestP < 0 || p.highestP > 15) {
        message =
            "Range check error: the machine needs at least 16 status bits, a return "
            "stack of 2 and a highest P of 0 to 15";
        return false;
    }
    if (p.ramSize > 4096 || p.romSize < 0 || p.romSize > 65536 || p.statusBitCount > 256 ||
        p.returnStackDepth > 256 || auxiliarySize > 65536) {
        message = "Range check error: a size in the machine parameters is too large";
        return false;
    }
    parameters = p;
    return true;
}

}  // namespace

bool parseMachineParameters(const std::string& line, MachineParameters& parameters,
                            std::string& message, const std::string& fileName) {
    if (!readMachineParameters(line, parameters, message)) {
        message += " (machine parameters in " + fileName + ")";
        return false;
    }
    return true;
}

}  // namespace quorvel
