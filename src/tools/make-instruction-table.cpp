// Writes the source of the instruction table: one row per instruction the processor
// executes, "code~description~text~word~availability~", with the word in hexadecimal.
//   make-instruction-table OUT.txt

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Row {
    int word;
    std::string description;
    std::string text;
};

std::string hex3(int word) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03X", word & 0xFFF);
    return digits;
}

std::string hex2(int value) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%02X", value & 0xFF);
    return digits;
}

// Replaces the "{}" of a pattern with the argument ("#" is taken: it means "differs").
std::string fill(std::string pattern, const std::string& argument) {
    size_t at = pattern.find("{}");
    if (at != std::string::npos) pattern.replace(at, 2, argument);
    return pattern;
}

// Class 3 in operation order; "{}" is the field.
const char* const arithmeticOperations[32] = {
    "if b[{}] = 0",      "0 -> b[{}]",       "if a >= c[{}]",     "if c[{}] # 0",
    "b -> c[{}]",        "0 - c -> c[{}]",   "0 -> c[{}]",        "0 - c - 1 -> c[{}]",
    "shift left a[{}]",  "a -> b[{}]",       "a - c -> c[{}]",    "c - 1 -> c[{}]",
    "c -> a[{}]",        "if c[{}] = 0",     "a + c -> c[{}]",    "c + 1 -> c[{}]",
    "if a >= b[{}]",     "b exchange c[{}]", "shift right c[{}]", "if a[{}] # 0",
    "shift right b[{}]", "c + c -> c[{}]",   "shift right a[{}]", "0 -> a[{}]",
    "a - b -> a[{}]",    "a exchange b[{}]", "a - c -> a[{}]",    "a - 1 -> a[{}]",
    "a + b -> a[{}]",    "a exchange c[{}]", "a + c -> a[{}]",    "a + 1 -> a[{}]",
};
const char* const fieldNames[8] = {"p", "m", "x", "w", "wp", "ms", "xs", "s"};

std::vector<Row> instructionRows() {
    std::vector<Row> rows;
    auto add = [&](int word, std::string description, std::string text) {
        rows.push_back({word, std::move(description), std::move(text)});
    };
    auto numbered = [&](int first, int step, int count, const std::string& description,
                        const std::string& pattern) {
        for (int n = 0; n < count; ++n)
            add(first + n * step, description, fill(pattern, std::to_string(n)));
    };

    add(0x000, "nothing", "no operation");
    add(0x001, "return from subroutine", "return");
    for (int target = 0; target < 256; ++target)
        add(0x100 + target, "subroutine call in page", "jsb $" + hex2(target));
    for (int target = 0; target < 256; ++target)
        add(0x200 + target, "go to in page when no carry", "go to $" + hex2(target));

    for (int operation = 0; operation < 32; ++operation)
        for (int field = 0; field < 8; ++field)
            add(0x300 + operation * 8 + field, "register arithmetic",
                fill(arithmeticOperations[operation], fieldNames[field]));

    numbered(0x400, 1, 16, "clear status bit", "0 -> s{}");
    numbered(0x410, 1, 16, "set status bit", "1 -> s{}");
    numbered(0x420, 1, 16, "test status bit clear", "if s{} = 0");
    add(0x430, "clear status bits", "clear status");
    numbered(0x440, 1, 16, "set pointer", "{} -> p");
    numbered(0x450, 1, 16, "test pointer differs", "if p # {}");
    add(0x460, "increment pointer", "p + 1 -> p");
    add(0x470, "decrement pointer", "p - 1 -> p");
    numbered(0x480, 1, 8, "clear flag", "0 -> f{}");
    numbered(0x488, 1, 8, "set flag", "1 -> f{}");
    numbered(0x490, 1, 16, "test status bit set", "if s{} = 1");
    numbered(0x4A0, 1, 16, "test pointer equals", "if p = {}");

    numbered(0x500, 1, 16, "load constant at pointer", "load constant {}");

    const char* const machineControl[8] = {
        "display toggle",       "display off", "display on",  "clear registers",
        "clear data registers", "decimal",     "hexadecimal", "bank switch",
    };
    for (int i = 0; i < 8; ++i) add(0x600 + i, "machine control", machineControl[i]);

    add(0x800, "save register", "c exchange m1");
    add(0x802, "save register", "c exchange m2");
    add(0x803, "save register", "m1 -> c");
    add(0x805, "save register", "m2 -> c");

    add(0x900, "stack push", "c -> stack");
    add(0x901, "stack pop", "stack -> a");
    add(0x902, "stack rotate", "down rotate");
    add(0x903, "digit rotate", "rotate left a");

    numbered(0xA00, 16, 16, "select page now", "select rom {}");
    numbered(0xA01, 16, 16, "select page at next jump", "delayed select rom {}");
    add(0xA02, "select bank at next jump", "delayed select bank 0");
    add(0xA12, "select bank at next jump", "delayed select bank 1");

    const char* const transfers[15] = {
        "keys -> rom address",
        "offset -> captured",
        "captured -> offset",
        "print mode -> a",
        "y -> a",
        "a -> rom address",
        "digit exchange a",
        "digit -> a",
        "printer ready -> s3",
        "one -> s3",
        "key ready -> s3",
        "print c packed",
        "print c digits",
        nullptr,
        "print c packed eol",
    };
    for (int i = 0; i < 15; ++i)
        if (transfers[i]) add(0xB00 + i, "transfer and printer", transfers[i]);

    add(0xC00, "data storage", "c -> data address");
    add(0xC01, "data storage", "c -> data");
    add(0xC02, "data storage", "data -> c");
    numbered(0xC03, 16, 16, "data storage register", "c -> data register {}");
    numbered(0xC04, 16, 16, "data storage register", "data register {} -> c");

    numbered(0xE12, 1, 4, "condition test", "condition {} -> s3");
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-instruction-table OUT.txt\n");
        return 1;
    }
    std::string text =
        "// Instruction table of the Quorvel simulator, written by make-instruction-table.\n"
        "// code~description~instruction text~word (hex)~availability~\n"
        "// Only the tests of classes 3 and 4 begin with \"if \": the assembler makes the\n"
        "// \"then go to\" after such a row its address word.\n";
    for (const Row& row : instructionRows())
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
