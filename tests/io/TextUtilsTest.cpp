#include <gtest/gtest.h>

#include "io/TextUtils.h"

namespace quorvel {
namespace {

TEST(TildeField, CountsOnlyFieldsClosedByATilde) {
    struct Case {
        const char* line;
        int n;
        const char* field;
    } cases[] = {
        {"a~b~c~", 2, "c"}, {"a~b~c", 2, ""}, {"~x~", 0, ""}, {"~x~", 1, "x"},
        {"a~b~c~", 3, ""},  {"", 0, ""},      {"a~", -1, ""}, {"a~~c~", 1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tildeField(c.line, c.n), c.field) << c.line << " field " << c.n;
}

TEST(WordAt, WordsAreRunsOfPrintableCodes) {
    EXPECT_EQ(wordAt("  org $100", 1), "$100");
    EXPECT_EQ(wordAt("  org $100", 0), "org");
    EXPECT_EQ(wordAt("  org $100", 2), "");
    EXPECT_EQ(wordAt("a\tb\x01"
                     "c",
                     2),
              "c");
    // Codes above 127 belong to words.
    EXPECT_EQ(wordAt("x \xe9t\xe9 y", 1), "\xe9t\xe9");
    EXPECT_EQ(wordAt("", 0), "");
}

TEST(FilterControlChars, TabsBecomeBlanksAndOtherControlsGo) {
    EXPECT_EQ(filterControlChars("a\tb"), "a b");
    EXPECT_EQ(filterControlChars("a\x01\x1f\x7f\xff"
                                 "b"),
              "ab");
    EXPECT_EQ(filterControlChars(" \t \r\n"), "");
    EXPECT_EQ(filterControlChars(" x "), " x ");
}

TEST(NormaliseLine, TrimsCollapsesAndLowers) {
    EXPECT_EQ(normaliseLine("\tIF  C[M] = 0  "), "if c[m] = 0");
    EXPECT_EQ(normaliseLine("A\t\tB"), "a b");
    EXPECT_EQ(normaliseLine("\t \x02 "), "");
    EXPECT_EQ(normaliseLine("Caf\xc3\xa9"), "caf");
}

TEST(TrimLeadingBlanks, RemovesCodesUpToBlank) {
    EXPECT_EQ(trimLeadingBlanks("\t \x01x y "), "x y ");
    EXPECT_EQ(trimLeadingBlanks("   "), "");
}

TEST(NumberTexts, ConvertOrGiveTheirDefault) {
    EXPECT_EQ(hexDigitValue('0'), 0);
    EXPECT_EQ(hexDigitValue('f'), 15);
    EXPECT_EQ(hexDigitValue('F'), 15);
    EXPECT_EQ(hexDigitValue('g'), -1);
    EXPECT_EQ(hexDigitValue('\xc1'), -1);

    struct Case {
        const char* text;
        int hex;
        int octal;
    } cases[] = {
        {"", 0, 0},
        {"1g", -7, -7},
        {"7FF", 2047, -7},
        {"777", 1911, 511},
        {"18", 24, -7},
        {"-1", -7, -7},
        {" 1", -7, -7},
        {"7fffffff", 0x7fffffff, -7},
        {"80000000", -7, -7},
        {"000000000001", 1, 1},
        {"17777777777", -7, 0x7fffffff},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hexToInt(c.text, -7), c.hex) << c.text;
        EXPECT_EQ(octalToInt(c.text, -7), c.octal) << c.text;
    }
}

TEST(BinaryTexts, DotCountsAsZero) {
    EXPECT_EQ(binaryTextToInt("1.1"), 5);
    EXPECT_EQ(binaryTextToInt("12"), -1);
    EXPECT_EQ(binaryTextToInt(""), 0);
    EXPECT_EQ(binaryTextToInt("..1.."), 4);
    EXPECT_EQ(binaryTextToInt(std::string(40, '1')), -1);

    EXPECT_EQ(intToBinaryText(5, 8), "00000101");
    EXPECT_EQ(intToBinaryText(0, 0), "0");
    EXPECT_EQ(intToBinaryText(6, 2), "110");
    EXPECT_EQ(intToBinaryText(-1, 0), std::string(32, '1'));
}

TEST(ThreeDigitTexts, KeyPrefixRoundTrip) {
    std::string line = "00212";
    EXPECT_EQ(takeThreeDigitPrefix(line, false), 2);
    EXPECT_EQ(line, "00212");
    EXPECT_EQ(takeThreeDigitPrefix(line, true), 2);
    EXPECT_EQ(line, "12");

    for (const char* bad : {"x01rest", "1 2", "12", ""}) {
        std::string text = bad;
        EXPECT_EQ(takeThreeDigitPrefix(text, false), -1) << bad;
    }
    std::string shortText = "12";
    EXPECT_EQ(takeThreeDigitPrefix(shortText, true), -1);
    EXPECT_EQ(shortText, "");

    EXPECT_EQ(threeDigitText(7), "007");
    EXPECT_EQ(threeDigitText(42), "042");
    EXPECT_EQ(threeDigitText(999), "999");
    EXPECT_EQ(countChar(':', "a:b::"), 3);
    EXPECT_EQ(countChar(':', ""), 0);
}

TEST(StripDataComments, CutsCommentsAndDropsEmptyLines) {
    std::vector<std::string> lines = {"// header", "  a~b~ // note", "\tx\t~",       "   ",
                                      "",          "c~//d~",         "keep  ~  lead"};
    stripDataComments(lines);
    std::vector<std::string> expected = {"  a~b~", " x ~", "c~", "keep  ~  lead"};
    EXPECT_EQ(lines, expected);
}

TEST(StripSourceComment, SlashSlashComesBeforeTheBlockMarks) {
    struct Case {
        const char* line;
        const char* code;
    } cases[] = {
        {"a exchange b[w] /b", "a exchange b[w] "},
        {"a exchange b[w] // /b", "a exchange b[w] "},
        {"x /b y // z", "x /b y "},
        {"x /B y", "x "},
        {"x /B y /b", "x /B y "},
        {"/b anything", ""},
        {"plain", "plain"},
    };
    for (const Case& c : cases) EXPECT_EQ(stripSourceComment(c.line), c.code) << c.line;
}

TEST(ParseDecimal, StrictSignAndDigits) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"0", true, 0},
        {"-12", true, -12},
        {"+7", true, 7},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"99999999999999999999", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"1e3", false, 0},
        {"$10", false, 0},
    };
    for (const Case& c : cases) {
        int value = 12345;
        EXPECT_EQ(parseDecimal(c.text, value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 12345) << c.text;
    }
}

}  // namespace
}  // namespace quorvel
