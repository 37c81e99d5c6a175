// Drives a powered-on calculator without a window and prints what a user would see.

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "ExecutableFolder.h"
#include "assembler/SourceSyntax.h"
#include "io/ScrambledFile.h"
#include "io/TextUtils.h"
#include "panel/HeadlessCalculator.h"
#include "processor/InstructionSet.h"

using namespace quorvel;

namespace {

constexpr int exitOk = 0;
constexpr int exitUsage = 1;
constexpr int exitRunError = 2;
constexpr int exitStartup = 3;
constexpr int exitTimeout = 4;

const char* usageText =
    "usage: quorvel-run [--data DIR] [--source FILE] [--mode man|all|norm] [--angle deg|grd|rad]\n"
    "                   [--trace] [--trace-words] [--break LABEL] [--dump-ram] [--max-words N]\n"
    "                   [--max-seconds S] KEY...\n"
    "KEY is the legend of a calculator key: SHIFT ENTER 0-9 . + - / X (or *) BS P F M ...\n";

namespace fs = std::filesystem;

// A data folder that reads as DIR but holds another microcode source: links to every
// file of DIR, and the source packed as the calculator reads it. Removed at the end.
class SourceFolder {
  public:
    ~SourceFolder() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }

    bool create(const std::string& dataFolder, const std::string& sourcePath,
                std::string& problem) {
        std::vector<std::string> lines;
        if (!loadListOrText(sourcePath, lines)) {
            problem = "cannot read " + sourcePath;
            return false;
        }
        std::string pattern = (fs::temp_directory_path() / "quorvel-run-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            problem = "cannot create a temporary folder";
            return false;
        }
        path_ = pattern;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(dataFolder, error)) {
            if (entry.path().filename() == "cal73.pfl") continue;
            fs::create_symlink(fs::absolute(entry.path()), path_ / entry.path().filename(), error);
        }
        // An empty file stays empty, so that it fails to load as it would in the window.
        if (lines.empty()) {
            std::ofstream(path_ / "cal73.pfl", std::ios::binary);
        } else if (!saveScrambledList((path_ / "cal73.pfl").string(), lines)) {
            problem = "cannot write the packed source";
            return false;
        }
        return true;
    }

    std::string path() const { return path_.string(); }

  private:
    fs::path path_;
};

std::string registerText(const Register& r) {
    std::string text;
    for (int i = topDigit; i >= 0; --i)
        text += r[i] >= 0 && r[i] <= 15 ? "0123456789ABCDEF"[r[i]] : '?';
    return text;
}

std::string hex4(int32_t value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(value));
    return digits;
}

// Labels a jump can find, by address, as written (lower case).
std::map<int32_t, std::string> labelsByAddress(const AssemblyJob& job) {
    std::map<int32_t, std::string> labels;
    for (size_t address = 0; address < job.romLines.size(); ++address) {
        if (romLineNumber(job.romLines[address]).empty()) continue;
        const std::string text = romLineTextPart(job.romLines[address]);
        const size_t colon = text.find(':');
        if (colon == 0 || colon == std::string::npos) continue;
        const std::string name = normaliseLine(text.substr(0, colon));
        if (name.find(' ') != std::string::npos || name.size() != colon) continue;
        labels[static_cast<int32_t>(address)] = name;
    }
    return labels;
}

void dumpRegisters(const MachineState& m, std::ostream& out) {
    out << "P " << m.pRegister << " carry " << m.carry << "\n";
    const std::pair<const char*, const Register*> registers[] = {
        {"A", &m.regA},   {"B", &m.regB},   {"C", &m.regC},   {"Y", &m.stack1},
        {"Z", &m.stack2}, {"T", &m.stack3}, {"M1", &m.regM1}, {"M2", &m.regM2},
    };
    for (const auto& [name, r] : registers) out << name << " " << registerText(*r) << "\n";
    out << "status ";
    for (uint8_t bit : m.statusBits) out << static_cast<int>(bit);
    out << "\nreturn";
    for (int32_t address : m.returnStack) out << " " << (address < 0 ? "-" : hex4(address));
    out << "\n";
}

void dumpRam(const MachineState& m, std::ostream& out) {
    for (int32_t r = 0; r < m.ramSize(); ++r) {
        char number[16];
        std::snprintf(number, sizeof number, "%02X", static_cast<unsigned>(r));
        out << "ram " << number << " " << registerText(m.ram[static_cast<size_t>(r)]) << "\n";
    }
}

int usage(const std::string& problem) {
    std::cerr << "quorvel-run: " << problem << "\n" << usageText;
    return exitUsage;
}

// Messages from the calculator use a carriage return as line break.
std::string forTerminal(std::string text) {
    for (char& c : text) {
        if (c == '\r') c = '\n';
    }
    return text;
}

void printMessages(const HeadlessCalculator& calculator) {
    for (const std::string& message : calculator.messages()) {
        std::cerr << forTerminal(message) << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataFolder = executableFolder();
    PrintModePosition mode = PrintModePosition::man;
    AnglePosition angle = AnglePosition::deg;
    bool trace = false;
    bool traceWords = false;
    bool dumpRamAtEnd = false;
    std::string breakLabel;
    std::string sourcePath;
    uint64_t maxWords = HeadlessCalculator::defaultWordLimit;
    int timeLimitSeconds = static_cast<int>(
        std::chrono::duration_cast<std::chrono::seconds>(CalculatorSession::defaultRunTimeLimit)
            .count());
    std::vector<std::string> keys;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--data") {
            if (!value(dataFolder)) return usage("--data needs a folder");
        } else if (arg == "--mode") {
            if (!value(v)) return usage("--mode needs man, all or norm");
            if (v == "man")
                mode = PrintModePosition::man;
            else if (v == "all")
                mode = PrintModePosition::all;
            else if (v == "norm")
                mode = PrintModePosition::norm;
            else
                return usage("unknown print mode '" + v + "'");
        } else if (arg == "--angle") {
            if (!value(v)) return usage("--angle needs deg, grd or rad");
            if (v == "deg")
                angle = AnglePosition::deg;
            else if (v == "grd")
                angle = AnglePosition::grd;
            else if (v == "rad")
                angle = AnglePosition::rad;
            else
                return usage("unknown angle mode '" + v + "'");
        } else if (arg == "--trace") {
            trace = true;
        } else if (arg == "--trace-words") {
            traceWords = true;
        } else if (arg == "--dump-ram") {
            dumpRamAtEnd = true;
        } else if (arg == "--break") {
            if (!value(breakLabel)) return usage("--break needs a label");
            breakLabel = normaliseLine(breakLabel);
            if (!breakLabel.empty() && breakLabel.back() == ':') breakLabel.pop_back();
        } else if (arg == "--source") {
            if (!value(sourcePath)) return usage("--source needs a file");
        } else if (arg == "--max-words") {
            int n = 0;
            if (!value(v) || !parseDecimal(v, n) || n <= 0) {
                return usage("--max-words needs a positive number");
            }
            maxWords = static_cast<uint64_t>(n);
        } else if (arg == "--max-seconds") {
            if (!value(v) || !parseDecimal(v, timeLimitSeconds) || timeLimitSeconds <= 0) {
                return usage("--max-seconds needs a positive number");
            }
        } else if (arg == "--help" || arg == "-h") {
            std::cout << usageText;
            return exitOk;
        } else if (arg.size() > 2 && arg.rfind("--", 0) == 0) {
            return usage("unknown option '" + arg + "'");
        } else {
            if (keyIndexForName(arg) < 0) return usage("unknown key '" + arg + "'");
            keys.push_back(arg);
        }
    }

    SourceFolder sourceFolder;
    if (!sourcePath.empty()) {
        std::string problem;
        if (!sourceFolder.create(dataFolder, sourcePath, problem)) {
            std::cerr << "quorvel-run: " << problem << "\n";
            return exitStartup;
        }
        dataFolder = sourceFolder.path();
    }

    HeadlessCalculator calculator(dataFolder);
    calculator.session().runTimeLimit = std::chrono::seconds(timeLimitSeconds);
    switch (calculator.start(mode, angle, maxWords)) {
        case HeadlessCalculator::Result::ok: break;
        case HeadlessCalculator::Result::startupFailed:
            printMessages(calculator);
            return exitStartup;
        case HeadlessCalculator::Result::runError: printMessages(calculator); return exitRunError;
        case HeadlessCalculator::Result::timeout:
            std::cerr << "quorvel-run: the calculator did not wait for a key within " << maxWords
                      << " words or " << timeLimitSeconds << " seconds after power on\n";
            return exitTimeout;
    }

    MachineState& machine = calculator.session().machine();
    const std::map<int32_t, std::string> labels = labelsByAddress(calculator.session().assembly());
    int32_t breakAddress = -1;
    if (!breakLabel.empty()) {
        for (const auto& [address, name] : labels)
            if (name == breakLabel && breakAddress < 0) breakAddress = address;
        if (breakAddress < 0) return usage("no label '" + breakLabel + "' in the microcode");
    }
    bool breakReached = false;
    if (traceWords || breakAddress >= 0) {
        machine.wordObserver = [&](const MachineState& m) {
            if (traceWords) {
                const auto label = labels.find(m.currentAddress);
                std::cout << hex4(m.currentAddress) << " "
                          << (label == labels.end() ? "" : label->second + ": ")
                          << disassemble(m.romImage[static_cast<size_t>(m.currentAddress)])
                          << "  P " << m.pRegister << " carry " << m.carry << " A "
                          << registerText(m.regA) << " B " << registerText(m.regB) << " C "
                          << registerText(m.regC) << " S ";
                for (uint8_t bit : m.statusBits) std::cout << static_cast<int>(bit);
                std::cout << "\n";
            }
            if (m.programCounter == breakAddress) breakReached = true;
            return breakReached;
        };
    }

    for (const std::string& key : keys) {
        uint64_t used = 0;
        const auto result = calculator.pressKey(keyIndexForName(key), maxWords, &used);
        if (breakReached) {
            std::cout << "break at $" << hex4(breakAddress) << " " << breakLabel << " after key "
                      << key << "\n";
            dumpRegisters(machine, std::cout);
            dumpRam(machine, std::cout);
            return exitOk;
        }
        if (result == HeadlessCalculator::Result::runError) {
            printMessages(calculator);
            return exitRunError;
        }
        if (result == HeadlessCalculator::Result::timeout) {
            std::cerr << "quorvel-run: the calculator did not wait for a key within " << maxWords
                      << " words or " << timeLimitSeconds << " seconds after key " << key << "\n";
            return exitTimeout;
        }
        if (trace) {
            std::cout << "key " << key << " words " << used << " display \""
                      << calculator.displayText() << "\"\n";
        }
    }

    std::cout << "display \"" << calculator.displayText() << "\"\n";
    for (const std::string& line : calculator.printedLines()) {
        std::cout << "tape \"" << calculator.tapeText(line) << "\"\n";
    }
    std::cout << "words " << calculator.wordsExecuted() << "\n";
    if (dumpRamAtEnd) dumpRam(machine, std::cout);
    return exitOk;
}
