#include "panel/StateFile.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>
#include <system_error>

#include "io/ScrambledFile.h"

namespace quorvel {

namespace {

constexpr const char* formatLine = "Quorvel machine state 1";
constexpr int64_t int32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t int32Max = std::numeric_limits<int32_t>::max();

class Fnv64 {
  public:
    void add(int64_t value) {
        for (int i = 0; i < 8; ++i) {
            hash_ ^= static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
            hash_ *= 0x100000001b3ULL;
        }
    }
    void add(const std::string& text) {
        for (unsigned char c : text) {
            hash_ ^= c;
            hash_ *= 0x100000001b3ULL;
        }
        add(static_cast<int64_t>(text.size()));
    }
    uint64_t value() const { return hash_; }

  private:
    uint64_t hash_ = 0xcbf29ce484222325ULL;
};

std::string hex16(uint64_t value) {
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// One line of the file: a name, then the values. `read` gives the values of a machine;
// `write` puts checked values back. Every value must lie in [low, high].
struct Field {
    std::string name;
    int64_t low;
    int64_t high;
    std::function<std::vector<int64_t>(const MachineState&)> read;
    std::function<void(MachineState&, const std::vector<int64_t>&)> write;
    // The number of values the machine expects; fixed by its sizes.
    std::function<size_t(const MachineState&)> count;
};

template <typename Container>
Field listField(std::string name, int64_t low, int64_t high, Container MachineState::*member) {
    return {std::move(name),
            low,
            high,
            [member](const MachineState& m) {
                return std::vector<int64_t>((m.*member).begin(), (m.*member).end());
            },
            [member](MachineState& m, const std::vector<int64_t>& values) {
                auto& target = m.*member;
                for (size_t i = 0; i < values.size(); ++i) {
                    target[i] = static_cast<typename Container::value_type>(values[i]);
                }
            },
            [member](const MachineState& m) { return (m.*member).size(); }};
}

template <typename Value>
Field valueField(std::string name, int64_t low, int64_t high, Value MachineState::*member) {
    return {std::move(name),
            low,
            high,
            [member](const MachineState& m) {
                return std::vector<int64_t>{static_cast<int64_t>(m.*member)};
            },
            [member](MachineState& m, const std::vector<int64_t>& values) {
                m.*member = static_cast<Value>(values[0]);
            },
            [](const MachineState&) { return size_t{1}; }};
}

Field ramField(size_t index) {
    return {"R" + std::to_string(index),
            int32Min,
            int32Max,
            [index](const MachineState& m) {
                return std::vector<int64_t>(m.ram[index].begin(), m.ram[index].end());
            },
            [index](MachineState& m, const std::vector<int64_t>& values) {
                for (size_t i = 0; i < values.size(); ++i) {
                    m.ram[index][i] = static_cast<int32_t>(values[i]);
                }
            },
            [](const MachineState&) { return size_t{registerDigits}; }};
}

// Every stored line in file order. Digits are kept whatever their value, since nothing
// clamps them in the machine either; the rest is held to the values the machine uses.
std::vector<Field> stateFields(const MachineState& machine) {
    using M = MachineState;
    const int64_t romEnd = std::max<int64_t>(0, machine.romSize() - 1);
    std::vector<Field> fields = {
        listField("A", int32Min, int32Max, &M::regA),
        listField("B", int32Min, int32Max, &M::regB),
        listField("C", int32Min, int32Max, &M::regC),
        listField("S1", int32Min, int32Max, &M::stack1),
        listField("S2", int32Min, int32Max, &M::stack2),
        listField("S3", int32Min, int32Max, &M::stack3),
        listField("M1", int32Min, int32Max, &M::regM1),
        listField("M2", int32Min, int32Max, &M::regM2),
        valueField("digit", int32Min, int32Max, &M::digitReg),
        valueField("P", 0, machine.highestP, &M::pRegister),
        valueField("carry", 0, 1, &M::carry),
        valueField("if", 0, 1, &M::ifPending),
        valueField("base", 10, 16, &M::numberBase),
        valueField("pc", 0, romEnd, &M::programCounter),
        valueField("current", 0, romEnd, &M::currentAddress),
        listField("returns", -1, romEnd, &M::returnStack),
        valueField("pageselect", -1, 15 * 256, &M::delayedPageSelect),
        valueField("bankselect", -1, 4096, &M::delayedBankSelect),
        valueField("captured", 0, 63, &M::capturedAddress),
        valueField("goto", int32Min, int32Max, &M::gotoOffset),
        listField("phistory", -1, 1, &M::pChangeHistory),
        listField("status", 0, 1, &M::statusBits),
        listField("flags", 0, 1, &M::flagBits),
        listField("conditions", 0, 1, &M::conditionFlags),
        valueField("keybit", 0, std::max<int64_t>(0, machine.statusBitCount() - 1),
                   &M::keyStatusBit),
        valueField("dataaddress", int32Min, int32Max, &M::dataAddress),
        valueField("key", -1, int32Max, &M::keyCode),
        listField("queue", 0, int32Max, &M::keyQueue),
        valueField("overflow", 0, 1, &M::keyQueueOverflow),
        valueField("display", 0, 1, &M::displayOn),
        listField("print", 0, 63, &M::printLineBuffer),
    };
    for (size_t i = 0; i < machine.ram.size(); ++i) fields.push_back(ramField(i));
    return fields;
}

std::string fieldLine(const Field& field, const MachineState& machine) {
    std::string line = field.name;
    for (int64_t value : field.read(machine)) line += " " + std::to_string(value);
    return line;
}

// "name v1 v2 ..." with exactly `count` values in range.
bool parseFieldLine(const std::string& line, const Field& field, size_t count,
                    std::vector<int64_t>& values) {
    if (line.compare(0, field.name.size(), field.name) != 0) return false;
    values.clear();
    const char* p = line.data() + field.name.size();
    const char* end = line.data() + line.size();
    while (p < end) {
        if (*p != ' ') return false;
        ++p;
        int64_t value = 0;
        const auto [next, error] = std::from_chars(p, end, value);
        if (error != std::errc() || next == p) return false;
        if (value < field.low || value > field.high) return false;
        values.push_back(value);
        p = next;
    }
    return values.size() == count;
}

std::string checkLine(const std::vector<std::string>& lines, size_t count) {
    Fnv64 hash;
    for (size_t i = 0; i < count; ++i) hash.add(lines[i]);
    return "check " + hex16(hash.value());
}

}  // namespace

uint64_t machineFingerprint(const MachineState& machine) {
    Fnv64 hash;
    hash.add(machine.ramSize());
    hash.add(machine.romSize());
    hash.add(machine.statusBitCount());
    hash.add(static_cast<int64_t>(machine.returnStack.size()));
    hash.add(machine.highestP);
    for (const RomWord& word : machine.romImage) {
        hash.add(word.word);
        hash.add(word.addressWord);
    }
    return hash.value();
}

std::vector<std::string> stateFileLines(const MachineState& machine) {
    std::vector<std::string> lines = {formatLine,
                                      "fingerprint " + hex16(machineFingerprint(machine))};
    for (const Field& field : stateFields(machine)) lines.push_back(fieldLine(field, machine));
    lines.push_back(checkLine(lines, lines.size()));
    return lines;
}

StateFileResult readStateLines(const std::vector<std::string>& lines, MachineState& machine) {
    // The check comes first: a file altered or cut short anywhere is damaged, whatever it
    // says about the ROM it belongs to.
    if (lines.size() < 3 || lines.back() != checkLine(lines, lines.size() - 1)) {
        return StateFileResult::damaged;
    }
    if (lines[0] != formatLine) return StateFileResult::mismatched;
    if (lines[1] != "fingerprint " + hex16(machineFingerprint(machine))) {
        return StateFileResult::mismatched;
    }
    const std::vector<Field> fields = stateFields(machine);
    if (lines.size() != fields.size() + 3) return StateFileResult::damaged;
    // Everything is parsed before anything is written, so a bad line leaves the machine
    // as it was.
    std::vector<std::vector<int64_t>> values(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
        if (!parseFieldLine(lines[i + 2], fields[i], fields[i].count(machine), values[i])) {
            return StateFileResult::damaged;
        }
    }
    for (size_t i = 0; i < fields.size(); ++i) fields[i].write(machine, values[i]);
    // No key is down in a window that has just started.
    machine.keyReleased = 1;
    machine.errorText.clear();
    machine.displayChanged = true;
    return StateFileResult::restored;
}

bool saveStateFile(const std::string& path, const MachineState& machine) {
    return saveScrambledList(path, stateFileLines(machine));
}

StateFileResult loadStateFile(const std::string& path, MachineState& machine) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return StateFileResult::missing;
    std::vector<std::string> lines;
    if (!loadScrambledList(path, lines)) return StateFileResult::damaged;
    return readStateLines(lines, machine);
}

void resumePrinterAfterRestore(PrintMechanism& printer, const MachineState& machine) {
    printer.resetPrintHead();
    for (int code : machine.printLineBuffer) {
        if (code != blankPrintCode) {
            printer.renderPrintLine();
            printer.printerBusy = true;
            return;
        }
    }
}

std::string stateFileNote(StateFileResult result) {
    switch (result) {
        case StateFileResult::damaged:
            return "The saved calculator state was damaged and has been set aside; the "
                   "calculator starts afresh.";
        case StateFileResult::mismatched:
            return "The saved calculator state belongs to another microcode and has been set "
                   "aside; the calculator starts afresh.";
        case StateFileResult::restored:
        case StateFileResult::missing: break;
    }
    return {};
}

}  // namespace quorvel
