#pragma once

#include <cstdio>
#include <string>

#include "assembler/InstructionTable.h"

namespace quorvel::test {

// A small instruction table for assembler tests: the rows the rewriting needs, a few
// instructions, and rows limited to other calculator types. Words are the processor's.
inline InstructionTable assemblerTestTable() {
    InstructionTable table;
    auto add = [&](int word, const std::string& text, const std::string& availability = "AM") {
        char code[8];
        std::snprintf(code, sizeof code, "%03X", word);
        table.add({code, "", text, word, availability});
    };
    add(0x000, "no operation");
    add(0x001, "return");
    char digits[4];
    for (int i = 0; i < 256; ++i) {
        std::snprintf(digits, sizeof digits, "%02X", i);
        add(0x100 + i, std::string("jsb $") + digits);
        add(0x200 + i, std::string("go to $") + digits);
    }
    add(0x36B, "if c[w] = 0");
    add(0x3FB, "a + 1 -> a[w]");
    add(0x3CB, "a exchange b[w]");
    for (int n = 0; n < 16; ++n) add(0xA01 + n * 16, "delayed select rom " + std::to_string(n));
    add(0x600, "for 91 and 97", "9197");
    add(0x601, "for 97 and 73", "9773");
    add(0x602, "for type 1", "0173");
    add(0x603, "twice", "97");
    add(0x604, "twice", "AM");
    return table;
}

}  // namespace quorvel::test
