// Assembles a microcode source with the program's own assembler and reports every error
// and warning as FILE:LINE: message.
//   quorvel-asm SOURCE [--data DIR] [--listing FILE] [--symbols FILE]

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "ExecutableFolder.h"
#include "assembler/Assembler.h"
#include "assembler/InstructionTable.h"
#include "assembler/SourceSyntax.h"
#include "io/ScrambledFile.h"
#include "io/TextUtils.h"
#include "panel/CalculatorData.h"

using namespace quorvel;

namespace {

constexpr int exitOk = 0;
constexpr int exitErrors = 1;
constexpr int exitUsage = 2;

const char* usageText =
    "usage: quorvel-asm SOURCE [--data DIR] [--listing FILE] [--symbols FILE]\n"
    "SOURCE is a microcode source, plain text or packed. DIR holds the instruction table and\n"
    "the calculator data (default: the program's folder).\n"
    "Exit status: 0 assembled (warnings allowed), 1 errors in the source, 2 usage or files.\n";

bool writeLines(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << '\n';
    out.close();
    return static_cast<bool>(out);
}

// Every label a jump can find (written at the very start of its line), by address.
std::vector<std::string> symbolLines(const AssemblyJob& job) {
    std::vector<std::string> symbols;
    for (size_t address = 0; address < job.romLines.size(); ++address) {
        const std::string text = romLineTextPart(job.romLines[address]);
        const size_t colon = text.find(':');
        if (romLineNumber(job.romLines[address]).empty() || colon == std::string::npos) continue;
        const std::string name = text.substr(0, colon);
        if (name.empty() || name.find_first_of(" \t") != std::string::npos) continue;
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(address));
        symbols.push_back(std::string("$") + digits + " " + lowerCase(name));
    }
    return symbols;
}

class CollectedMessages : public MessageBoxes {
  public:
    void showError(const std::string&) override {}
    void showInformation(const std::string& text) override { information.push_back(text); }
    bool confirm(const std::string&) override { return false; }
    std::vector<std::string> information;
};

}  // namespace

int main(int argc, char** argv) {
    std::string source;
    std::string dataFolder = executableFolder();
    std::string listingPath;
    std::string symbolsPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        bool ok = true;
        if (arg == "--data") {
            ok = value(dataFolder);
        } else if (arg == "--listing") {
            ok = value(listingPath);
        } else if (arg == "--symbols") {
            ok = value(symbolsPath);
        } else if (arg == "--help" || arg == "-h") {
            std::cout << usageText;
            return exitOk;
        } else if (arg.starts_with("--") || !source.empty()) {
            ok = false;
        } else {
            source = arg;
        }
        if (!ok) {
            std::cerr << "quorvel-asm: bad argument '" << arg << "'\n" << usageText;
            return exitUsage;
        }
    }
    if (source.empty()) {
        std::cerr << usageText;
        return exitUsage;
    }

    InstructionTable table;
    const std::string tablePath = dataFolder + "/" + instructionTableFileName(calculatorType);
    if (!loadInstructionTable(tablePath, table)) {
        std::cerr << "quorvel-asm: cannot read the instruction table " << tablePath << "\n";
        return exitUsage;
    }
    CalculatorData data;
    MachineParameters parameters;
    std::string problem;
    const std::string dataPath = dataFolder + "/" + calculatorDataFileName(calculatorType);
    if (!loadCalculatorData(dataPath, calculatorType, data) ||
        !parseMachineParameters(data.parameterLine, parameters, problem)) {
        std::cerr << "quorvel-asm: cannot read the ROM size from " << dataPath
                  << (problem.empty() ? "" : ": " + problem) << "\n";
        return exitUsage;
    }

    AssemblyJob job;
    RomImage rom(static_cast<size_t>(std::max(0, parameters.romSize)));
    job.table = &table;
    job.calculatorType = calculatorType;
    job.romImage = &rom;
    if (!loadListOrText(source, job.sourceLines) || job.sourceLines.empty()) {
        std::cerr << source << ": cannot read the source\n";
        return exitErrors;
    }
    CollectedMessages messages;
    const bool ok = assembleSource(job, messages);

    int errors = 0;
    for (const AssemblyDiagnostic& d : job.diagnostics) {
        std::cerr << source << ":";
        if (d.line > 0) std::cerr << d.line << ":";
        std::cerr << " " << (d.warning ? "warning: " : "") << d.text << "\n";
        if (!d.warning) ++errors;
    }
    for (const std::string& text : messages.information)
        std::cerr << source << ": " << text << "\n";
    if (!ok) {
        if (errors > 0) std::cerr << errors << (errors == 1 ? " error\n" : " errors\n");
        return exitErrors;
    }
    if (!listingPath.empty() && !writeLines(listingPath, job.listing)) {
        std::cerr << "quorvel-asm: cannot write " << listingPath << "\n";
        return exitUsage;
    }
    if (!symbolsPath.empty() && !writeLines(symbolsPath, symbolLines(job))) {
        std::cerr << "quorvel-asm: cannot write " << symbolsPath << "\n";
        return exitUsage;
    }
    return exitOk;
}
