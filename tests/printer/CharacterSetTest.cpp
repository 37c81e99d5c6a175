#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "assembler/ScrambledFile.h"
#include "printer/CharacterSet.h"
#include "support/AssemblerTestSupport.h"
#include "support/PrinterTestSupport.h"

namespace quorvel {
namespace {

using test::RecordingMessages;

const std::string glyphA = "A~41~4~10~17~17~31~17~17~";

// 55 records with codes 0x10 upwards and a single dot each, so the fallback exists.
std::vector<std::string> plainSet() {
    std::vector<std::string> lines;
    const char* hex = "0123456789ABCDEF";
    for (int i = 0; i < 55; ++i) {
        const int code = 16 + i;
        lines.push_back(std::string("c~") + hex[code / 16] + hex[code % 16] + "~1~0~0~0~0~0~0~");
    }
    return lines;
}

TEST(CharacterSetLoading, ReadsCodesAndRowsByTheRecordRules) {
    std::vector<std::string> lines = plainSet();
    lines[0] = glyphA;
    lines[1] = "?~~1~1~1~1~1~1~1~";      // empty code: 99
    lines[2] = "a~41~31~0~0~0~0~0~0~";   // the same code again
    lines[3] = "x~7fz~-1~0~0~0~0~0~0~";  // only two characters count
    lines[4] = "long" + std::string(5000, '#') + "~50~2~2~2~2~2~2~2~9~9~9~";
    CharacterSet set;
    RecordingMessages messages;
    ASSERT_TRUE(set.loadCharacterLines(73, lines, messages));
    EXPECT_EQ(messages.count(), 0u);
    ASSERT_EQ(set.glyphTable().size(), 55u);
    EXPECT_EQ(set.glyphTable()[0], (GlyphRecord{65, 4, 10, 17, 17, 31, 17, 17}));
    EXPECT_EQ(set.glyphTable()[1][0], 99);
    EXPECT_EQ(set.glyphTable()[3][0], 0x7F);
    EXPECT_EQ(set.glyphTable()[3][1], -1);
    EXPECT_EQ(set.glyphTable()[4], (GlyphRecord{0x50, 2, 2, 2, 2, 2, 2, 2}));

    struct Lookup {
        int code;
        int record;
    } lookups[] = {
        {65, 0},                    // lower record wins over record 2
        {99, fallbackGlyphRecord},  // never searched, though record 1 carries it
        {0x7F, 3},
        {0x50, 4},
        {0x15, 5},
        {12345, fallbackGlyphRecord},
        {-1, fallbackGlyphRecord},
    };
    for (const Lookup& l : lookups) EXPECT_EQ(set.glyphIndexOf(l.code), l.record) << l.code;
    EXPECT_EQ(set.loadedType(), 73);
}

TEST(CharacterSetLoading, BadFieldsTakeTheirDocumentedPaths) {
    struct Case {
        const char* name;
        std::string line;
        bool loads;
        const char* message;  // the field text the box starts with; null for none
        bool typeRemembered;
    } cases[] = {
        {"code not hexadecimal ends the table early", "g~4G~1~1~1~1~1~1~1~", true, nullptr, false},
        {"row not a number", "r~41~4~x~17~17~31~17~17~", false, "x ", false},
        {"row too large for 32 bits", "r~41~4~99999999999~0~0~0~0~0~", false, "99999999999 ",
         false},
        {"code of one character", "o~4~4~10~17~17~31~17~17~", false, "4 ", false},
        {"code of one character that is not hex", "o~z~4~10~17~17~31~17~17~", false, "z ", false},
        {"missing rows", "m~41~4~10~", false, " ", false},
        {"no fields at all", "just text", false, " ", false},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = plainSet();
        lines[10] = c.line;
        CharacterSet set;
        RecordingMessages messages;
        EXPECT_EQ(set.loadCharacterLines(73, lines, messages), c.loads) << c.name;
        EXPECT_EQ(set.loadedType() == 73, c.typeRemembered) << c.name;
        if (c.message) {
            ASSERT_EQ(messages.errors.size(), 1u) << c.name;
            EXPECT_EQ(messages.errors[0], c.message + c.line) << c.name;
        } else {
            EXPECT_EQ(messages.count(), 0u) << c.name;
        }
        ASSERT_EQ(set.glyphTable().size(), 55u) << c.name;
        EXPECT_EQ(set.glyphTable()[9][0], 16 + 9) << c.name;  // records before it load
    }

    // After an early stop every later record is zero: code 0, no dots.
    std::vector<std::string> lines = plainSet();
    lines[10] = "g~4G~1~1~1~1~1~1~1~";
    CharacterSet set;
    RecordingMessages messages;
    ASSERT_TRUE(set.loadCharacterLines(73, lines, messages));
    for (size_t r = 10; r < 55; ++r) EXPECT_EQ(set.glyphTable()[r], GlyphRecord{}) << r;
    EXPECT_EQ(set.glyphIndexOf(0), 10);
    // Not remembered, so the next call loads again.
    lines[10] = glyphA;
    ASSERT_TRUE(set.loadCharacterLines(73, lines, messages));
    EXPECT_EQ(set.glyphIndexOf(65), 10);
}

TEST(CharacterSetLoading, FilesAreReadOncePerTypeAndMissingOnesFailSilently) {
    test::ScratchFolder folder;
    RecordingMessages messages;
    CharacterSet set;
    EXPECT_FALSE(set.loadCharacterSet(73, folder.path("none"), messages));
    EXPECT_TRUE(set.glyphTable().empty());
    EXPECT_EQ(messages.count(), 0u);

    std::vector<std::string> lines = plainSet();
    lines[0] = glyphA;
    ASSERT_TRUE(saveScrambledList(folder.path("chdtfl73.dat"), lines));
    const std::string base = folder.path("");
    ASSERT_TRUE(set.loadCharacterSet(73, base, messages));
    EXPECT_EQ(set.glyphIndexOf(65), 0);

    // The second call does not read the file: a damaged one changes nothing.
    folder.write("chdtfl73.dat", "garbage");
    EXPECT_TRUE(set.loadCharacterSet(73, base, messages));
    EXPECT_EQ(set.glyphIndexOf(65), 0);
    // Another type reads its own file; a failure leaves the table as it was.
    EXPECT_FALSE(set.loadCharacterSet(91, base, messages));
    EXPECT_EQ(set.glyphIndexOf(65), 0);

    EXPECT_EQ(CharacterSet::characterFileName(91), "chdtfl91.dat");
    EXPECT_EQ(CharacterSet::characterFileName(97), "chdtfl97.dat");
    EXPECT_EQ(CharacterSet::characterFileName(73), "chdtfl73.dat");
    EXPECT_EQ(CharacterSet::characterFileName(46), "chdtfl.dat");
}

// The pixels a set of dots should cover: 5 x 8 rectangles with ink inside.
void expectGlyphPixels(const LineImage& image, int column, const GlyphRecord& glyph) {
    Bitmap expected(lineImageWidth, lineImageHeight);
    for (int r = 0; r < 7; ++r) {
        for (int c = 0; c < 5; ++c) {
            if (glyph[static_cast<size_t>(r + 1)] & (16 >> c)) {
                const int left = 45 * column + 6 + 7 * c - r;
                expected.drawRectangle(left, 9 * r, left + 5, 9 * r + 8, inkColour,
                                       image.outlineColour);
            }
        }
    }
    EXPECT_EQ(image.bitmap, expected);
}

TEST(CharacterSetDrawing, TheAGlyphLeansRightWithOutlinedDots) {
    std::vector<std::string> lines = plainSet();
    lines[0] = glyphA;
    CharacterSet set;
    RecordingMessages messages;
    ASSERT_TRUE(set.loadCharacterLines(73, lines, messages));

    LineImage image;
    clearLineImage(image, black);
    set.drawGlyph(image, 0, 2);
    expectGlyphPixels(image, 2, set.glyphTable()[0]);
    // The top row's one dot is the middle one: x = 90 + 6 + 14 = 110.
    EXPECT_EQ(image.bitmap.pixel(110, 0), black);
    EXPECT_EQ(image.bitmap.pixel(111, 1), inkColour);
    EXPECT_EQ(image.bitmap.pixel(109, 0), white);
    EXPECT_EQ(image.bitmap.pixel(103, 1), white);
    // The fifth row has all five dots, 4 pixels left of where an upright one would be.
    for (int c = 0; c < 5; ++c) EXPECT_EQ(image.bitmap.pixel(92 + 7 * c, 36), black) << c;
    // The bottom row stands 6 pixels left of the top row.
    EXPECT_EQ(image.bitmap.pixel(90, 54), black);
    EXPECT_EQ(image.bitmap.pixel(89, 54), white);
}

TEST(CharacterSetDrawing, PenColourAndColumnLimits) {
    std::vector<std::string> lines = plainSet();
    lines[0] = "B~42~31~31~31~31~31~31~31~";
    CharacterSet set;
    RecordingMessages messages;
    ASSERT_TRUE(set.loadCharacterLines(73, lines, messages));

    LineImage image;
    clearLineImage(image, inkColour);  // a system printer outlines in ink
    set.drawGlyph(image, 0, 19);
    expectGlyphPixels(image, 19, set.glyphTable()[0]);
    EXPECT_EQ(image.bitmap.pixel(893, 0), inkColour);  // the rightmost pixel a glyph reaches
    EXPECT_EQ(image.bitmap.pixel(894, 0), white);

    // Records outside the table and columns outside the line draw nothing or clip.
    LineImage untouched;
    clearLineImage(untouched, black);
    set.drawGlyph(untouched, 55, 3);
    set.drawGlyph(untouched, -1, 3);
    set.drawGlyph(untouched, 0, 40);
    EXPECT_EQ(untouched.bitmap, Bitmap(lineImageWidth, lineImageHeight));
    set.drawGlyph(untouched, 0, -1);  // wholly left of the picture
    EXPECT_EQ(untouched.bitmap, Bitmap(lineImageWidth, lineImageHeight));
}

TEST(CharacterSetDrawing, ASetWithoutTheFallbackRecordPrintsUnknownCodesBlank) {
    const std::vector<std::string> lines = {glyphA, "B~42~1~1~1~1~1~1~1~"};
    CharacterSet set;
    RecordingMessages messages;
    ASSERT_TRUE(set.loadCharacterLines(73, lines, messages));
    EXPECT_EQ(set.glyphIndexOf(7), fallbackGlyphRecord);
    LineImage image;
    clearLineImage(image, black);
    set.drawGlyph(image, set.glyphIndexOf(7), 0);
    EXPECT_EQ(image.bitmap, Bitmap(lineImageWidth, lineImageHeight));
    EXPECT_EQ(set.lineCharacters("7~65~"), "?A" + std::string(18, '?'));
}

// --- the character set of the build -----------------------------------------------

TEST(BuiltCharacterSet, HoldsTheFixedCodeTable) {
    const CharacterSet& set = test::builtCharacterSet();
    ASSERT_EQ(set.glyphTable().size(), 64u);
    for (int record = 0; record < 64; ++record) {
        EXPECT_EQ(set.glyphTable()[static_cast<size_t>(record)][0], record);
    }
    struct Fixed {
        int code;
        const char* text;
    } fixed[] = {{3, "0"},  {7, "1"},  {11, "2"}, {15, "3"}, {19, "4"}, {23, "5"},
                 {27, "6"}, {31, "7"}, {35, "8"}, {39, "9"}, {43, "."}, {47, "-"},
                 {51, "E"}, {55, "*"}, {59, "?"}, {54, "■"}, {0, "A"},  {33, "Z"}};
    for (const Fixed& f : fixed) {
        std::string line;
        for (int column = 0; column < 20; ++column) {
            line += std::to_string(column == 0 ? f.code : 63) + "~";
        }
        EXPECT_EQ(set.lineCharacters(line), f.text + std::string(19, ' ')) << f.code;
    }
}

TEST(BuiltCharacterSet, EveryGlyphIsItsOwnExceptTheTwoEs) {
    const CharacterSet& set = test::builtCharacterSet();
    std::set<std::vector<int32_t>> designs;
    for (int record = 0; record < 64; ++record) {
        const GlyphRecord& glyph = set.glyphTable()[static_cast<size_t>(record)];
        const std::vector<int32_t> rows(glyph.begin() + 1, glyph.end());
        int dots = 0;
        for (int32_t row : rows) {
            EXPECT_EQ(row & ~31, 0) << "record " << record << " uses bits beyond five dots";
            dots += __builtin_popcount(static_cast<unsigned>(row));
        }
        if (record == 63) {
            EXPECT_EQ(dots, 0) << "the empty column";
        } else {
            EXPECT_GT(dots, 0) << "record " << record;
        }
        if (record == fallbackGlyphRecord) {
            EXPECT_EQ(dots, 35) << "the fallback is a filled box";
        }
        if (record == 51) {
            EXPECT_EQ(glyph, (GlyphRecord{51, 31, 16, 16, 30, 16, 16, 31}));
            continue;  // the exponent E shares the letter's design
        }
        EXPECT_TRUE(designs.insert(rows).second) << "record " << record << " repeats a design";
    }
}

TEST(BuiltCharacterSet, SourcePicturesMatchTheRecords) {
    // Each record of the source follows a comment "// <hex code> <char> <7 rows of . and #>".
    std::ifstream in(std::string(QUORVEL_SOURCE_DIR) + "/data/chdtfl73.txt");
    ASSERT_TRUE(in);
    std::string line, picture;
    int records = 0;
    while (std::getline(in, line)) {
        if (line.rfind("//", 0) == 0) {
            picture = line;
            continue;
        }
        if (line.empty()) continue;
        std::istringstream words(picture.substr(3));
        std::vector<std::string> tokens;
        for (std::string w; words >> w;) tokens.push_back(w);
        ASSERT_GE(tokens.size(), 8u) << "no picture before " << line;
        std::string expected = line.substr(0, line.find('~')) + "~" + tokens[0] + "~";
        for (size_t r = tokens.size() - 7; r < tokens.size(); ++r) {
            int value = 0;
            for (char dot : tokens[r]) value = value * 2 + (dot == '#' ? 1 : 0);
            expected += std::to_string(value) + "~";
        }
        EXPECT_EQ(line, expected);
        ++records;
        picture.clear();
    }
    EXPECT_EQ(records, 64);
}

}  // namespace
}  // namespace quorvel
