#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <set>

#include "assembler/InstructionTable.h"
#include "io/ScrambledFile.h"
#include "processor/InstructionSet.h"
#include "processor/ProcessorHarness.h"
#include "support/AssemblerTestSupport.h"

namespace quorvel {
namespace {

using test::ScratchFolder;

bool loadRows(const std::vector<std::string>& lines, InstructionTable& table) {
    ScratchFolder folder;
    EXPECT_TRUE(saveScrambledList(folder.path("t.dat"), lines));
    return loadInstructionTable(folder.path("t.dat"), table);
}

TEST(InstructionTableFile, NameDependsOnTheType) {
    EXPECT_EQ(instructionTableFileName(91), "OCMno.dat");
    EXPECT_EQ(instructionTableFileName(97), "OCM.dat");
    EXPECT_EQ(instructionTableFileName(1), "OCM.dat");
}

TEST(InstructionTableFile, ReadsFiveFieldsAfterStrippingComments) {
    InstructionTable table;
    ASSERT_TRUE(loadRows(
        {"// comment", "2F4~add~a + 1 -> a[w]~3FF~AM~ // trailing", "",
         "\t000~nop~no operation~0~9197~", "x~~~zz~~", "1~first~dup~1~AM~", "2~second~dup~2~AM~"},
        table));
    ASSERT_EQ(table.rows().size(), 5u);
    const InstructionRow& add = table.rows()[0];
    EXPECT_EQ(add.listingCode, "2F4");
    EXPECT_EQ(add.description, "add");
    EXPECT_EQ(add.text, "a + 1 -> a[w]");
    EXPECT_EQ(add.word, 0x3FF);
    EXPECT_EQ(add.availability, "AM");
    EXPECT_EQ(table.rows()[1].listingCode, " 000");
    EXPECT_EQ(table.rows()[1].availability, "9197");
    EXPECT_EQ(table.find("no operation"), 1);
    // A row without a text is kept, passes unchecked and never matches.
    EXPECT_EQ(table.rows()[2].word, -1);
    EXPECT_EQ(table.find(""), -1);
    // Only the first row of a text is ever found.
    EXPECT_EQ(table.find("dup"), 3);
    EXPECT_EQ(table.find("missing"), -1);
}

TEST(InstructionTableFile, ARowFailingItsCheckRejectsTheWholeTable) {
    const std::string good = "000~~no operation~000~AM~";
    struct Case {
        const char* name;
        std::string row;
        bool loads;
    } cases[] = {
        {"word not hexadecimal", "001~~return~0g1~AM~", false},
        {"odd availability", "001~~return~001~919~", false},
        {"availability missing", "001~~return~001~~", false},
        {"only four fields", "001~~return~001~AM", false},
        {"empty word reads as 0", "001~~return~~AM~", true},
        {"several types", "001~~return~001~919773~", true},
    };
    for (const Case& c : cases) {
        InstructionTable table;
        EXPECT_EQ(loadRows({good, c.row}, table), c.loads) << c.name;
        EXPECT_EQ(table.empty(), !c.loads) << c.name;
    }
}

TEST(InstructionTableFile, MissingOrBrokenFileFails) {
    ScratchFolder folder;
    InstructionTable table;
    EXPECT_FALSE(loadInstructionTable(folder.path("none.dat"), table));
    folder.write("bad.dat", "plain text, not scrambled");
    EXPECT_FALSE(loadInstructionTable(folder.path("bad.dat"), table));
    EXPECT_TRUE(table.empty());
}

// The generated table: every row loads, texts are unique, and for a sample of families
// each row's word does what its text names when the executor runs it.

const InstructionTable& generatedTable() {
    static InstructionTable table;
    static bool loaded = loadInstructionTable(std::string(QUORVEL_DATA_DIR) + "/OCMno.dat", table);
    EXPECT_TRUE(loaded);
    return table;
}

TEST(GeneratedTable, IsTheProcessorsInstructionSet) {
    const InstructionTable& table = generatedTable();
    const std::vector<InstructionText> texts = instructionTexts();
    ASSERT_EQ(table.rows().size(), texts.size());
    std::set<std::string> uniqueTexts;
    std::set<int> words;
    char code[8];
    for (size_t i = 0; i < texts.size(); ++i) {
        const InstructionRow& row = table.rows()[i];
        EXPECT_EQ(row.text, texts[i].text);
        EXPECT_EQ(row.word, texts[i].word) << row.text;
        EXPECT_EQ(row.description, texts[i].description) << row.text;
        EXPECT_TRUE(uniqueTexts.insert(row.text).second) << "duplicate text " << row.text;
        EXPECT_TRUE(words.insert(row.word).second) << "duplicate word " << row.word;
        std::snprintf(code, sizeof code, "%03X", row.word);
        EXPECT_EQ(row.listingCode, code) << row.text;
        EXPECT_EQ(row.availability, "AM");
        EXPECT_EQ(instructionText(row.word), row.text) << "the disassembler disagrees";
        // The assembler makes the word after an "if " text an address word.
        EXPECT_EQ(familyOf(row.word)->tests, row.text.starts_with("if ")) << row.text;
    }
    // The rows the assembler's rewriting relies on.
    EXPECT_GE(table.find("no operation"), 0);
    for (int target = 0; target < 256; ++target) {
        std::snprintf(code, sizeof code, "%02X", target);
        EXPECT_GE(table.find(std::string("go to $") + code), 0) << code;
        EXPECT_GE(table.find(std::string("jsb $") + code), 0) << code;
    }
    // Words without a text of their own are shown so that they never assemble.
    EXPECT_EQ(disassemble({0x801, 0}), "word $801");
    EXPECT_EQ(disassemble({0x3A5, 1}), "then go to $3A5");
}

// The groups a text pattern captured, numbered from 1.
struct Captures {
    std::vector<std::string> groups;
    const std::string& operator[](int group) const { return groups.at(group - 1); }
};

// Matches the whole text against a pattern of literal characters, "%d" (a decimal number),
// "%x" (two upper-case hexadecimal digits) and "(one|two)" (alternatives); each of those
// is captured.
bool matchFrom(const std::string& pattern, size_t p, const std::string& text, size_t t,
               Captures& captures) {
    if (p == pattern.size()) return t == text.size();
    auto tryRest = [&](size_t nextPattern, size_t length) {
        captures.groups.push_back(text.substr(t, length));
        if (matchFrom(pattern, nextPattern, text, t + length, captures)) return true;
        captures.groups.pop_back();
        return false;
    };
    if (pattern.compare(p, 2, "%d") == 0) {
        size_t digits = 0;
        while (t + digits < text.size() &&
               std::isdigit(static_cast<unsigned char>(text[t + digits])))
            ++digits;
        for (size_t length = digits; length > 0; --length)
            if (tryRest(p + 2, length)) return true;
        return false;
    }
    if (pattern.compare(p, 2, "%x") == 0) {
        if (t + 2 > text.size()) return false;
        for (size_t i = 0; i < 2; ++i)
            if (!std::isxdigit(static_cast<unsigned char>(text[t + i])) ||
                std::islower(text[t + i]))
                return false;
        return tryRest(p + 2, 2);
    }
    if (pattern[p] == '(') {
        size_t close = pattern.find(')', p);
        std::string alternatives = pattern.substr(p + 1, close - p - 1);
        size_t start = 0;
        for (;;) {
            size_t bar = alternatives.find('|', start);
            std::string choice = alternatives.substr(start, bar - start);
            if (text.compare(t, choice.size(), choice) == 0 && tryRest(close + 1, choice.size()))
                return true;
            if (bar == std::string::npos) return false;
            start = bar + 1;
        }
    }
    return t < text.size() && text[t] == pattern[p] &&
           matchFrom(pattern, p + 1, text, t + 1, captures);
}

std::function<bool(const std::string&, Captures&)> like(std::string pattern) {
    return [pattern](const std::string& text, Captures& captures) {
        captures.groups.clear();
        return matchFrom(pattern, 0, text, 0, captures);
    };
}

// "<operation> <register>[<field>]<rest>": captures the operation, the register and the field.
bool arithmeticText(const std::string& text, Captures& captures) {
    size_t open = text.find('[');
    size_t close = text.find(']');
    if (open == std::string::npos || open < 1 || close == std::string::npos || close < open)
        return false;
    std::string operation = text.substr(0, open - 1);
    while (!operation.empty() && operation.back() == ' ') operation.pop_back();
    captures.groups = {operation, text.substr(open - 1, 1),
                       text.substr(open + 1, close - open - 1)};
    return true;
}

// Digits of a field with P at 5, as the executor decodes it.
std::pair<int, int> fieldRange(const std::string& field) {
    int index = 0;
    while (index < 7 && field != fieldNames[index]) ++index;
    const DecodedWord d = decodeWord(0x300 + index);
    if (d.first == fieldAtP) return {5, 5};
    if (d.first == fieldUpToP) return {0, 5};
    return {d.first, d.last};
}

Register filled(int digit) {
    Register r{};
    r.fill(digit);
    return r;
}

Register& registerNamed(MachineState& m, const std::string& name) {
    return name == "a" ? m.regA : name == "b" ? m.regB : m.regC;
}

struct Executed {
    MachineState before;
    MachineState after;
    test::FakePeripherals io;
};

// Runs the word at 0x0340 on a machine with A all 5, B all 3, C all 2, P = 5.
Executed execute(int32_t word, const std::function<void(MachineState&)>& prepare = {}) {
    Executed run;
    run.before = test::makeMachine();
    run.before.regA = filled(5);
    run.before.regB = filled(3);
    run.before.regC = filled(2);
    run.before.pRegister = 5;
    if (prepare) prepare(run.before);
    run.after = run.before;
    test::step(run.after, run.io, word, 0x0340);
    return run;
}

// The register after a field operation: `inside` digits in the field (lowest digit of the
// field may differ), the old digits elsewhere.
Register expectField(const Register& old, const std::string& field, int inside, int lowest) {
    auto [lo, hi] = fieldRange(field);
    Register r = old;
    for (int i = lo; i <= hi; ++i) r[i] = i == lo ? lowest : inside;
    return r;
}

void checkArithmetic(const InstructionRow& row, const Captures& match) {
    const std::string op = match[1];
    const std::string dest = match[2];
    const std::string field = match[3];
    Executed run = execute(row.word);
    MachineState b = run.before;
    MachineState& a = run.after;
    auto [lo, hi] = fieldRange(field);
    if (row.text.starts_with("if ")) return;  // tests: covered by the if-pending check
    struct Effect {
        const char* op;
        int inside;
        int lowest;
    };
    static const Effect effects[] = {
        {"0 ->", 0, 0},     {"a ->", 5, 5},     {"b ->", 3, 3},         {"c ->", 2, 2},
        {"a + c ->", 7, 7}, {"a - c ->", 3, 3}, {"a - b ->", 2, 2},     {"a + b ->", 8, 8},
        {"c + c ->", 4, 4}, {"c + 1 ->", 2, 3}, {"c - 1 ->", 2, 1},     {"a + 1 ->", 5, 6},
        {"a - 1 ->", 5, 4}, {"0 - c ->", 7, 8}, {"0 - c - 1 ->", 7, 7},
    };
    for (const Effect& e : effects) {
        if (op != e.op) continue;
        EXPECT_EQ(registerNamed(a, dest),
                  expectField(registerNamed(b, dest), field, e.inside, e.lowest))
            << row.text;
        return;
    }
    if (op.size() == 10 && op.ends_with(" exchange")) {
        const std::string other = op.substr(0, 1);
        MachineState copy = b;
        Register& x = registerNamed(copy, other);
        Register& y = registerNamed(copy, dest);
        for (int i = lo; i <= hi; ++i) std::swap(x[i], y[i]);
        EXPECT_EQ(registerNamed(a, other), x) << row.text;
        EXPECT_EQ(registerNamed(a, dest), y) << row.text;
        return;
    }
    if (op == "shift left" || op == "shift right") {
        Executed shifted = execute(row.word, [&](MachineState& m) {
            for (int i = 0; i <= topDigit; ++i) registerNamed(m, dest)[i] = i % 9 + 1;
        });
        Register expected = registerNamed(shifted.before, dest);
        const Register old = expected;
        for (int i = lo; i <= hi; ++i) {
            if (op == "shift right")
                expected[i] = i == hi ? 0 : old[i + 1];
            else
                expected[i] = i == lo ? 0 : old[i - 1];
        }
        EXPECT_EQ(registerNamed(shifted.after, dest), expected) << row.text;
        return;
    }
    ADD_FAILURE() << "no check for " << row.text;
}

int number(const Captures& match, int group = 1) {
    return std::stoi(match[group]);
}

struct Family {
    std::function<bool(const std::string&, Captures&)> match;
    std::function<void(const InstructionRow&, const Captures&)> check;
};

std::vector<Family> families() {
    return {
        {like("return"),
         [](const InstructionRow& row, const Captures&) {
             Executed r = execute(row.word, [](MachineState& m) { m.returnStack[0] = 0x123; });
             EXPECT_EQ(r.after.programCounter, 0x123);
         }},
        {like("jsb $%x"),
         [](const InstructionRow& row, const Captures& m) {
             Executed r = execute(row.word);
             EXPECT_EQ(r.after.programCounter, 0x300 + std::stoi(m[1], nullptr, 16)) << row.text;
             EXPECT_EQ(r.after.returnStack[0], 0x341);
         }},
        {like("go to $%x"),
         [](const InstructionRow& row, const Captures& m) {
             Executed r = execute(row.word);
             EXPECT_EQ(r.after.programCounter, 0x300 + std::stoi(m[1], nullptr, 16)) << row.text;
         }},
        {arithmeticText, checkArithmetic},
        {like("(0|1) -> s%d"),
         [](const InstructionRow& row, const Captures& m) {
             int bit = number(m, 2);
             Executed r =
                 execute(row.word, [&](MachineState& s) { s.statusBits[bit] = 1 - number(m); });
             EXPECT_EQ(r.after.statusBits[bit], number(m)) << row.text;
         }},
        {like("if s%d = (0|1)"),
         [](const InstructionRow& row, const Captures& m) {
             int bit = number(m);
             for (int value : {0, 1}) {
                 // Bit 0 is loaded from the RAD switch flag before the test.
                 Executed r = execute(row.word, [&](MachineState& s) {
                     s.statusBits[bit] = value;
                     s.radFlag = value == 1;
                 });
                 EXPECT_EQ(r.after.carry, value == number(m, 2) ? 0 : 1) << row.text;
             }
         }},
        {like("%d -> p"),
         [](const InstructionRow& row, const Captures& m) {
             // Beyond the highest P (13) the word fails and leaves P alone.
             Executed r = execute(row.word);
             EXPECT_EQ(r.after.pRegister, number(m) <= 13 ? number(m) : 5) << row.text;
             EXPECT_EQ(r.after.errorText.empty(), number(m) <= 13) << row.text;
         }},
        {like("if p (#|=) %d"),
         [](const InstructionRow& row, const Captures& m) {
             int n = number(m, 2);
             Executed r = execute(row.word, [&](MachineState& s) { s.pRegister = n; });
             EXPECT_EQ(r.after.carry, m[1] == "=" ? 0 : 1) << row.text;
         }},
        {like("(0|1) -> f%d"),
         [](const InstructionRow& row, const Captures& m) {
             int flag = number(m, 2);
             Executed r =
                 execute(row.word, [&](MachineState& s) { s.flagBits[flag] = 1 - number(m); });
             EXPECT_EQ(r.after.flagBits[flag], number(m)) << row.text;
         }},
        {like("load constant %d"),
         [](const InstructionRow& row, const Captures& m) {
             Executed r = execute(row.word);
             EXPECT_EQ(r.after.regC[5], number(m)) << row.text;
             EXPECT_EQ(r.after.pRegister, 4);
         }},
        {like("select rom %d"),
         [](const InstructionRow& row, const Captures& m) {
             EXPECT_EQ(execute(row.word).after.programCounter, number(m) * 256 + 0x41) << row.text;
         }},
        {like("delayed select rom %d"),
         [](const InstructionRow& row, const Captures& m) {
             EXPECT_EQ(execute(row.word).after.delayedPageSelect, number(m) * 256) << row.text;
         }},
        {like("delayed select bank (0|1)"),
         [](const InstructionRow& row, const Captures& m) {
             EXPECT_EQ(execute(row.word).after.delayedBankSelect, number(m) * 4096) << row.text;
         }},
        {like(
             "(printer ready|one|key ready|condition 0|condition 1|condition 2|condition 3) -> s3"),
         [](const InstructionRow& row, const Captures& m) {
             Executed r = execute(row.word, [](MachineState& s) { s.statusBits[3] = 1; });
             // Head at rest and "one" give 1; no key waiting and the condition flags give 0.
             bool one = m[1] == "printer ready" || m[1] == "one";
             EXPECT_EQ(r.after.statusBits[3], one ? 1 : 0) << row.text;
             Executed cleared = execute(row.word, [](MachineState& s) { s.statusBits[3] = 0; });
             EXPECT_EQ(cleared.after.statusBits[3], one ? 1 : 0) << row.text;
         }},
        {like("print c (packed|digits|packed eol)"),
         [](const InstructionRow& row, const Captures& m) {
             Executed r = execute(row.word);
             EXPECT_EQ(r.io.printStarts, 1) << row.text;
             // C = 2 in every digit: digits print as 4 x 2 + 3; packed groups are not 11.
             EXPECT_EQ(r.after.printLineBuffer[19] == 11, m[1] == "digits") << row.text;
         }},
        {like("c -> data register %d"),
         [](const InstructionRow& row, const Captures& m) {
             Executed r = execute(row.word, [](MachineState& s) { s.dataAddress = 32; });
             EXPECT_EQ(r.after.ram[32 + number(m)], filled(2)) << row.text;
         }},
        {like("data register %d -> c"),
         [](const InstructionRow& row, const Captures& m) {
             Executed r = execute(row.word, [&](MachineState& s) {
                 s.dataAddress = 32;
                 s.ram[32 + number(m)] = filled(6);
             });
             EXPECT_EQ(r.after.regC, filled(6)) << row.text;
         }},
    };
}

TEST(GeneratedTable, WordsDoWhatTheirTextsName) {
    const InstructionTable& table = generatedTable();
    const std::vector<Family> all = families();
    for (const InstructionRow& row : table.rows()) {
        int matched = 0;
        for (const Family& family : all) {
            Captures match;
            if (!family.match(row.text, match)) continue;
            ++matched;
            family.check(row, match);
        }
        EXPECT_LE(matched, 1) << row.text;
        // The assembler makes the word after an "if " text an address word; the processor
        // must treat it so too.
        Executed run = execute(row.word);
        EXPECT_EQ(run.after.ifPending, row.text.starts_with("if ")) << row.text;
        // A return needs a return address, and P above 13 is refused.
        if (row.text != "return" && row.text != "14 -> p" && row.text != "15 -> p") {
            EXPECT_TRUE(run.after.errorText.empty()) << row.text << ": " << run.after.errorText;
        }
    }
}

}  // namespace
}  // namespace quorvel
