#include <gtest/gtest.h>

#include "assembler/Encoding.h"
#include "assembler/SourceSyntax.h"
#include "support/AssemblerTables.h"

namespace quorvel {
namespace {

const InstructionTable& table() {
    static const InstructionTable t = test::assemblerTestTable();
    return t;
}

TEST(ParseNumberLiteral, PrefixSelectsTheBase) {
    struct Case {
        const char* text;
        bool keepLowByte;
        int value;
    } cases[] = {
        {"@17", false, 15},
        {"$1F", false, 31},
        {"$1f", false, 31},
        {".31", false, 31},
        {"$", false, 0},
        {"@", false, 0},
        {".", false, 0},
        {"$1G", false, -2},
        {"@8", false, -2},
        {".1a", false, -2},
        {"$+3", false, -2},
        {"$ 1", false, -2},
        {"", false, -2},
        {"loop", false, -1},
        {"1", false, -1},
        {"-1", false, -1},
        {"$1FF", false, 511},
        {"$1FF", true, 255},
        {".300", true, 44},
        {"$7FFFFFFF", false, 0x7FFFFFFF},
        {"$80000000", false, -2},
        {"$FFFFFFFFFF", true, -2},
        {"$0000000000001", false, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseNumberLiteral(c.text, c.keepLowByte), c.value) << c.text;
}

TEST(LabelDefinition, NameOfOneToSixLettersOrDigits) {
    for (const char* good : {"loop:", "loop12:", "a:", "123456:", "0:"})
        EXPECT_TRUE(isValidLabelDefinition(good)) << good;
    for (const char* bad : {"loop123:", ":", "lo_op:", "x:y", "loop", "LOOP:", "l\xe9:", "a::"})
        EXPECT_FALSE(isValidLabelDefinition(bad)) << bad;
}

TEST(RomLineParts, NumberAndTextAroundTheFirstTilde) {
    EXPECT_EQ(romLineTextPart("12~a~b"), "a~b");
    EXPECT_EQ(romLineNumber("12~a~b"), "12");
    EXPECT_EQ(romLineTextPart("no operation"), "no operation");
    EXPECT_EQ(romLineNumber("no operation"), "");
}

// ROM lines of a 2-bank ROM, all filler, with labels placed at chosen addresses.
std::vector<std::string> romWith(std::initializer_list<std::pair<int, const char*>> labels,
                                 int size = 8192) {
    std::vector<std::string> lines(size, "no operation");
    for (auto [address, line] : labels) lines[address] = "1~" + std::string(line);
    return lines;
}

TEST(FindLabel, SearchWindows) {
    const auto lines = romWith({{0x000, "zero: return"},
                                {0x105, "loop: return"},
                                {0x1F0, "LOOP: return"},
                                {0x3FF, "edge: return"},
                                {0x480, "loop: return"},
                                {0x305, "loop: return"},
                                {0xFFF, "last: return"},
                                {0x1000, "bank1: return"},
                                {0x1001, "later: return"},
                                {0x1FFF, "top: return"}});
    struct Case {
        const char* name;
        const char* label;
        int address;
        bool gotox;
        bool followsIf;
        int page;
        int found;
    } cases[] = {
        {"own page", "loop", 0x110, false, false, -1, 0x105},
        {"first of two in increasing order", "loop", 0x1FF, false, false, -1, 0x105},
        {"other page", "loop", 0x210, false, false, -1, -1},
        {"after if: block from 0", "loop", 0x210, false, true, -1, 0x105},
        {"after page select", "edge", 0x800, false, false, 3, 0x3FF},
        {"wide window ends at 4095", "last", 0x0, false, true, -1, 0xFFF},
        {"wide window excludes 4096 below 4095", "bank1", 0xFFE, false, true, -1, -1},
        {"at 4095 the window is still bank 0", "zero", 0xFFF, false, true, -1, 0x000},
        {"bank 0 never reaches bank 1", "bank1", 0xFFF, false, true, -1, -1},
        {"bank 1 searches its own bank", "later", 0x1100, false, true, -1, 0x1001},
        {"bank 1 near the top", "bank1", 8190, false, true, -1, 0x1000},
        {"bank 1 never reaches bank 0", "zero", 0x1100, false, true, -1, -1},
        {"after if: the branch's own block first", "loop", 0x510, false, true, -1, 0x480},
        {"after page select: the selected page first", "loop", 0x010, false, false, 3, 0x305},
        {"gotox searches the remembered page", "edge", 0x100, true, false, 3, 0x3FF},
        {"gotox page excludes others", "zero", 0x100, true, true, 3, -1},
        {"gotox without a page uses own page", "loop", 0x100, true, false, -1, 0x105},
        {"last ROM word", "top", 0x1F00, false, false, -1, 0x1FFF},
        {"missing", "nothere", 0x100, false, true, -1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findLabel(c.label, c.address, c.gotox, c.followsIf, c.page, lines), c.found)
            << c.name;
}

TEST(FindLabel, OnlyAtTheVeryStartOfTheLineAndInsideTheRom) {
    const auto lines = romWith({{0x10, "\ttab: return"},
                                {0x11, "blank : return"},
                                {0x12, " lead: return"},
                                {0x13, "Mixed: return"}},
                               300);
    EXPECT_EQ(findLabel("tab", 0x10, false, false, -1, lines), -1);
    EXPECT_EQ(findLabel("blank", 0x10, false, false, -1, lines), -1);
    EXPECT_EQ(findLabel("lead", 0x10, false, false, -1, lines), -1);
    EXPECT_EQ(findLabel("mixed", 0x10, false, false, -1, lines), 0x13);
    // A window that runs past the last ROM word is cut there.
    EXPECT_EQ(findLabel("mixed", 0x120, false, true, -1, lines), 0x13);
    EXPECT_EQ(findLabel("mixed", 0x1F0, false, false, 31, lines), 0x13);
    EXPECT_EQ(findLabel("x", 0x120, true, false, 5, lines), -1);
    EXPECT_EQ(findLabel("x", 0, false, false, -1, {}), -1);
}

TEST(Availability, TypeCodesAreComparedTwoDigitsAtATime) {
    EXPECT_TRUE(availableForType("AM", 91));
    EXPECT_TRUE(availableForType("9197", 91));
    EXPECT_TRUE(availableForType("9197", 97));
    EXPECT_FALSE(availableForType("9773", 91));
    EXPECT_FALSE(availableForType("1973", 97));  // "97" straddles two codes
    EXPECT_TRUE(availableForType("0173", 1));
    EXPECT_FALSE(availableForType("1073", 1));
    EXPECT_FALSE(availableForType("", 91));
}

struct Expected {
    enum { text, addressWord, failed } kind;
    std::string value;  // matched row text, address, or diagnostic
};

struct EncodeCase {
    const char* name;
    int address;
    const char* line;
    bool followsIf;
    int page;
    Expected expected;
    bool followsIfAfter;
    int pageAfter;
    int type = 91;
};

TEST(EncodeLine, RewritingLookupAndDiagnostics) {
    const auto lines = romWith({{0x2A5, "loop: return"}, {0x105, "near: return"}});
    const std::string notFor91 = "This instruction is not available for calculator type: 91";
    // clang-format off
    const EncodeCase cases[] = {
        {"plain", 0, "a + 1 -> a[w]", false, -1, {Expected::text, "a + 1 -> a[w]"}, false, -1},
        {"case and blanks", 0, "\tA  +  1 -> A[W] // x", false, -1, {Expected::text, "a + 1 -> a[w]"}, false, -1},
        {"label removed", 0, "x1: return", false, -1, {Expected::text, "return"}, false, -1},
        {"label only", 0, "loop:", false, -1, {Expected::failed, diagExpectingCode}, false, -1},
        {"label and blanks", 0, "loop:   \t", false, -1, {Expected::failed, diagExpectingCode}, false, -1},
        {"label and comment", 0, "loop: // why", false, -1, {Expected::failed, diagExpectingCode}, false, -1},
        {"unknown", 0, "a + 2 -> a[w]", false, -1, {Expected::failed, diagUnrecognised}, false, -1},
        {"if sets the flag", 0, "if c[w] = 0", false, -1, {Expected::text, "if c[w] = 0"}, true, -1},
        {"jsb label", 0x2A0, "jsb loop", false, -1, {Expected::text, "jsb $A5"}, false, -1},
        {"jsb number keeps low byte", 0, "jsb $1FF", false, -1, {Expected::text, "jsb $FF"}, false, -1},
        {"jsb relative is malformed", 0, "jsb $+3", false, -1, {Expected::failed, diagInvalidJsb}, false, -1},
        {"jsb alone", 0, "jsb", false, -1, {Expected::failed, diagInvalidJsb}, false, -1},
        {"jsb missing label", 0x300, "jsb loop", false, -1, {Expected::failed, diagLabelNotFound}, false, -1},
        {"only then go to after if", 0x300, "jsb loop", true, -1, {Expected::failed, diagThenGoToExpected}, false, -1},
        {"go to hex lower", 0, "GO TO $1f", false, -1, {Expected::text, "go to $1F"}, false, -1},
        {"go to octal", 0, "go to @17", false, -1, {Expected::text, "go to $0F"}, false, -1},
        {"go to decimal", 0, "go to .31", false, -1, {Expected::text, "go to $1F"}, false, -1},
        {"go to bare prefix", 0, "go to $", false, -1, {Expected::text, "go to $00"}, false, -1},
        {"go to malformed", 0, "go to $1G", false, -1, {Expected::failed, diagInvalidGoTo}, false, -1},
        {"go to alone", 0, "go to", false, -1, {Expected::failed, diagInvalidGoTo}, false, -1},
        {"go to too big", 0, "go to $123456789", false, -1, {Expected::failed, diagInvalidGoTo}, false, -1},
        {"go to label", 0x2FF, "go to LOOP", false, -1, {Expected::text, "go to $A5"}, false, -1},
        {"go to label other page", 0x300, "go to loop", false, -1, {Expected::failed, diagLabelNotFound}, false, -1},
        {"relative plus", 0x105, "if no carry go to $+2", false, -1, {Expected::text, "go to $07"}, false, -1},
        {"relative zero is own address", 0x1AB, "go to $+0", false, -1, {Expected::text, "go to $AB"}, false, -1},
        {"relative to page end", 0x100, "go to $+255", false, -1, {Expected::text, "go to $FF"}, false, -1},
        {"relative past page end", 0x100, "go to $+256", false, -1, {Expected::failed, diagRelativeOutOfPage}, false, -1},
        {"relative before page", 0x100, "go to $-1", false, -1, {Expected::failed, diagRelativeOutOfPage}, false, -1},
        {"relative at address 0", 0, "go to $-1", false, -1, {Expected::failed, diagRelativeOutOfPage}, false, -1},
        {"relative huge", 0x100, "go to $+99999999999", false, -1, {Expected::failed, diagInvalidGoTo}, false, -1},
        {"relative negative count", 0x100, "go to $+-1", false, -1, {Expected::failed, diagInvalidGoTo}, false, -1},
        {"relative too short", 0x100, "go to $+", false, -1, {Expected::failed, diagInvalidGoTo}, false, -1},
        {"if no carry never sets the flag", 0, "if no carry go to $10", false, -1, {Expected::text, "go to $10"}, false, -1},
        {"then go to after if", 0, "then go to .123", true, -1, {Expected::addressWord, "123"}, false, -1},
        {"then go to keeps 10 bits", 0, "then go to $FFF", true, -1, {Expected::addressWord, "1023"}, false, -1},
        {"then go to label after if", 0x300, "then go to loop", true, -1, {Expected::addressWord, "677"}, false, -1},
        {"then go to relative after if", 0x305, "then go to $-5", true, -1, {Expected::addressWord, "768"}, false, -1},
        {"then go to elsewhere", 0, "then go to .123", false, -1, {Expected::text, "go to $7B"}, false, -1},
        {"address word keeps the page", 0, "then go to .1", true, 3, {Expected::addressWord, "1"}, false, 3},
        {"gotox refused for 91", 0, "gotox $10", false, -1, {Expected::failed, diagUnrecognised}, false, -1},
        {"gotox for type 1", 0, "gotox $10", false, -1, {Expected::text, "go to $10"}, false, -1, 1},
        {"page select", 0, "delayed select rom 3", false, -1, {Expected::text, "delayed select rom 3"}, false, 3},
        {"page select last page", 0, "delayed select rom 31", false, -1, {Expected::failed, diagUnrecognised}, false, -1},
        {"page select past the ROM", 0, "delayed select rom 32", false, -1, {Expected::failed, diagInvalidDelayedSelect}, false, -1},
        {"page select negative", 0, "delayed select rom -1", false, -1, {Expected::failed, diagInvalidDelayedSelect}, false, -1},
        {"page select not a number", 0, "delayed select rom x", false, -1, {Expected::failed, diagInvalidDelayedSelect}, false, -1},
        {"page select without a number", 0, "delayed select rom", false, -1, {Expected::failed, diagUnrecognised}, false, -1},
        {"other word clears the page", 0, "return", false, 3, {Expected::text, "return"}, false, -1},
        {"page steers the next label", 0x800, "go to near", false, 1, {Expected::text, "go to $05"}, false, -1},
        {"available for 91", 0, "for 91 and 97", false, -1, {Expected::text, "for 91 and 97"}, false, -1},
        {"not available for 91", 0, "for 97 and 73", false, -1, {Expected::failed, notFor91}, false, -1},
        {"type 1 compares 01", 0, "for type 1", false, -1, {Expected::text, "for type 1"}, false, -1, 1},
        {"only the first row of a text counts", 0, "twice", false, -1, {Expected::failed, notFor91}, false, -1},
    };
    // clang-format on
    for (const EncodeCase& c : cases) {
        EncodingContext context{&table(), c.type, 8192, &lines};
        EncodingState state{c.followsIf, c.page};
        LineEncoding result = encodeLine(context, c.address, c.line, state);
        switch (c.expected.kind) {
            case Expected::text:
                ASSERT_EQ(result.kind, LineEncoding::Kind::instruction)
                    << c.name << ": " << result.diagnostic;
                EXPECT_EQ(table().rows()[result.row].text, c.expected.value) << c.name;
                break;
            case Expected::addressWord:
                ASSERT_EQ(result.kind, LineEncoding::Kind::addressWord) << c.name;
                EXPECT_EQ(std::to_string(result.address), c.expected.value) << c.name;
                break;
            case Expected::failed:
                ASSERT_EQ(result.kind, LineEncoding::Kind::failed) << c.name;
                EXPECT_EQ(result.diagnostic, c.expected.value) << c.name;
                continue;
        }
        EXPECT_EQ(state.followsIf, c.followsIfAfter) << c.name;
        EXPECT_EQ(state.rememberedPage, c.pageAfter) << c.name;
    }
}

TEST(EncodeLine, GotoxOfTypeOneIsAnOrdinaryGoTo) {
    InstructionTable forTypeOne = test::assemblerTestTable();
    const auto lines = romWith({{0x310, "there: return"}});
    EncodingContext context{&forTypeOne, 1, 8192, &lines};
    EncodingState state{false, 3};
    LineEncoding result = encodeLine(context, 0x100, "gotox there", state);
    ASSERT_EQ(result.kind, LineEncoding::Kind::instruction) << result.diagnostic;
    EXPECT_EQ(forTypeOne.rows()[result.row].text, "go to $10");
}

}  // namespace
}  // namespace quorvel
