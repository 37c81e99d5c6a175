// Writes the source of the instruction table from the processor's instruction set: one row
// per instruction text, "code~description~text~word~availability~", the word in hexadecimal.
//   make-instruction-table OUT.txt

#include <cstdio>
#include <string>

#include "processor/InstructionSet.h"

namespace {

std::string hex3(int word) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03X", word & 0xFFF);
    return digits;
}

}  // namespace

int main(int argc, char** argv) {
    // An option is no file name: "--help" must not become a file called "--help".
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: make-instruction-table OUT.txt\n");
        return 1;
    }
    std::string text =
        "// Instruction table of the Quorvel simulator, written by make-instruction-table.\n"
        "// code~description~instruction text~word (hex)~availability~\n"
        "// Only the tests of classes 3 and 4 begin with \"if \": the assembler makes the\n"
        "// \"then go to\" after such a row its address word.\n";
    for (const quorvel::InstructionText& row : quorvel::instructionTexts())
        text += hex3(row.word) + "~" + row.description + "~" + row.text + "~" + hex3(row.word) +
                "~AM~\n";

    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::fprintf(stderr, "make-instruction-table: cannot write %s\n", argv[1]);
        return 2;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "make-instruction-table: cannot write %s\n", argv[1]);
        std::remove(argv[1]);
        return 2;
    }
    return 0;
}
