#include <gtest/gtest.h>

#include <set>

#include "io/ScrambledFile.h"
#include "printer/CharacterSet.h"
#include "support/AssemblerTestSupport.h"
#include "support/PrinterTestSupport.h"

namespace quorvel {
namespace {

using test::RecordingMessages;

const std::string glyphA = "A~41~4~10~17~17~31~17~17~";

// 55 records with codes 0x10 upwards and one dot each, so the fallback record exists.
std::vector<std::string> plainSet() {
    std::vector<std::string> lines;
    for (int code = 16; code < 16 + 55; ++code) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", code);
        lines.push_back(std::string("c~") + hex + "~1~0~0~0~0~0~0~");
    }
    return lines;
}

TEST(CharacterSetLoading, CodesRowsAndLookups) {
    std::vector<std::string> lines = plainSet();
    lines[0] = glyphA;
    lines[1] = "?~~1~1~1~1~1~1~1~";                               // empty code: 99
    lines[2] = "a~41~31~0~0~0~0~0~0~";                            // code 65 again
    lines[3] = "x~7fz~-1~0~0~0~0~0~0~" + std::string(5000, '~');  // two characters count
    CharacterSet set;
    RecordingMessages messages;
    ASSERT_TRUE(set.loadCharacterLines(73, lines, messages));
    EXPECT_EQ(messages.count(), 0u);
    EXPECT_EQ(set.glyphTable()[0], (GlyphRecord{65, 4, 10, 17, 17, 31, 17, 17}));
    EXPECT_EQ(set.glyphTable()[1][0], 99);
    EXPECT_EQ(set.glyphTable()[3][0], 0x7F);
    struct Lookup {
        int code, record;
    } lookups[] = {{65, 0},   {99, fallbackGlyphRecord},    {0x7F, 3},
                   {0x15, 5}, {12345, fallbackGlyphRecord}, {-1, fallbackGlyphRecord}};
    for (const Lookup& l : lookups) EXPECT_EQ(set.glyphIndexOf(l.code), l.record) << l.code;
}

TEST(CharacterSetLoading, BadFieldsTakeTheirDocumentedPaths) {
    struct Case {
        const char* name;
        std::string line;
        bool loads;
        const char* message;  // the field text the box starts with; null for none
    } cases[] = {
        {"code not hexadecimal", "g~4G~1~1~1~1~1~1~1~", false,
         "chdtfl73.dat, line 11: the code '4G' is not hexadecimal: "},
        {"row not a number", "r~41~4~x~17~17~31~17~17~", false, "x "},
        {"row beyond 32 bits", "r~41~4~99999999999~0~0~0~0~0~", false, "99999999999 "},
        {"code of one character", "o~4~4~10~17~17~31~17~17~", false, "4 "},
        {"missing rows", "m~41~4~10~", false, " "},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = plainSet();
        lines[10] = c.line;
        CharacterSet set;
        RecordingMessages messages;
        EXPECT_EQ(set.loadCharacterLines(73, lines, messages), c.loads) << c.name;
        EXPECT_NE(set.loadedType(), 73) << c.name;  // each of them loads again next time
        EXPECT_EQ(messages.errors, c.message ? std::vector<std::string>{c.message + c.line}
                                             : std::vector<std::string>{})
            << c.name;
        EXPECT_EQ(set.glyphTable()[9][0], 16 + 9) << c.name;
    }
}

TEST(CharacterSetLoading, FilesAreReadOncePerType) {
    test::ScratchFolder folder;
    RecordingMessages messages;
    CharacterSet set;
    EXPECT_FALSE(set.loadCharacterSet(73, folder.path("none"), messages));
    EXPECT_EQ(messages.count(), 0u) << "a missing file fails silently";
    ASSERT_TRUE(saveScrambledList(folder.path("chdtfl73.dat"), plainSet()));
    const std::string whole = folder.read("chdtfl73.dat");
    folder.write("chdtfl73.dat", whole.substr(0, whole.size() / 2));
    EXPECT_FALSE(set.loadCharacterSet(73, folder.path(""), messages));
    EXPECT_EQ(messages.errors, std::vector<std::string>{"chdtfl73.dat is damaged"});
    messages.errors.clear();

    std::vector<std::string> lines = plainSet();
    lines[0] = glyphA;
    ASSERT_TRUE(saveScrambledList(folder.path("chdtfl73.dat"), lines));
    ASSERT_TRUE(set.loadCharacterSet(73, folder.path(""), messages));
    folder.write("chdtfl73.dat", "garbage");
    EXPECT_TRUE(set.loadCharacterSet(73, folder.path(""), messages)) << "not read again";
    EXPECT_FALSE(set.loadCharacterSet(91, folder.path(""), messages)) << "chdtfl91.dat";
    EXPECT_EQ(set.glyphIndexOf(65), 0) << "a failed load leaves the table";
    EXPECT_EQ(CharacterSet::characterFileName(46), "chdtfl.dat");
}

TEST(CharacterSetDrawing, TheAGlyphLeansRightWithOutlinedDots) {
    std::vector<std::string> lines = plainSet();
    lines[0] = glyphA;
    lines[1] = "B~42~31~31~31~31~31~31~31~";
    CharacterSet set;
    RecordingMessages messages;
    ASSERT_TRUE(set.loadCharacterLines(73, lines, messages));

    LineImage image;
    clearLineImage(image, black);
    set.drawGlyph(image, 0, 2);
    Bitmap expected(lineImageWidth, lineImageHeight);
    const int rows[7] = {4, 10, 17, 17, 31, 17, 17};
    for (int r = 0; r < 7; ++r) {
        for (int c = 0; c < 5; ++c) {
            if (!(rows[r] & (16 >> c))) continue;
            const int left = 90 + 6 + 7 * c - r;  // each row one pixel left of the one above
            expected.drawRectangle(left, 9 * r, left + 5, 9 * r + 8, inkColour, black);
        }
    }
    EXPECT_EQ(image.bitmap, expected);
    EXPECT_EQ(image.bitmap.pixel(110, 0), black);  // the top row's middle dot
    EXPECT_EQ(image.bitmap.pixel(111, 1), inkColour);

    // A system printer outlines in ink; column 19 reaches pixel 893 and no further.
    clearLineImage(image, inkColour);
    set.drawGlyph(image, 1, 19);
    EXPECT_EQ(image.bitmap.pixel(893, 0), inkColour);
    EXPECT_EQ(image.bitmap.pixel(894, 0), white);
}

TEST(CharacterSetDrawing, ASetWithoutTheFallbackRecordPrintsUnknownCodesBlank) {
    CharacterSet set;
    RecordingMessages messages;
    ASSERT_TRUE(set.loadCharacterLines(73, {glyphA, "B~42~1~1~1~1~1~1~1~"}, messages));
    LineImage image;
    clearLineImage(image, black);
    set.drawGlyph(image, set.glyphIndexOf(7), 0);
    set.drawGlyph(image, -1, 1);
    EXPECT_EQ(image.bitmap, Bitmap(lineImageWidth, lineImageHeight));
    EXPECT_EQ(set.lineCharacters("7~65~"), "?A" + std::string(18, '?'));
}

TEST(BuiltCharacterSet, HoldsTheFixedCodeTableAndItsOwnDesigns) {
    const CharacterSet& set = test::builtCharacterSet();
    ASSERT_EQ(set.glyphTable().size(), 64u);
    std::string line;
    for (int code : {3, 7, 11, 15, 19, 23, 27, 31, 35, 39, 43, 47, 51, 55, 59, 63, 54, 0, 33, 34}) {
        line += std::to_string(code) + "~";
    }
    EXPECT_EQ(set.lineCharacters(line), "0123456789.-E*? ■AZ+");

    std::set<std::vector<int32_t>> designs;
    for (int record = 0; record < 64; ++record) {
        const GlyphRecord& glyph = set.glyphTable()[static_cast<size_t>(record)];
        EXPECT_EQ(glyph[0], record);
        const std::vector<int32_t> rows(glyph.begin() + 1, glyph.end());
        int dots = 0;
        for (int32_t row : rows) dots += __builtin_popcount(static_cast<unsigned>(row & 31));
        // 63 is the empty column; 50 the printed blank that pads short tape mnemonics.
        EXPECT_EQ(dots == 0, record == 63 || record == 50) << "an unexpected blank: " << record;
        if (record == fallbackGlyphRecord) {
            EXPECT_EQ(dots, 35) << "a filled box";
        }
        // The exponent E (51) shares the letter's design and the printed blank (50) the
        // empty column's; every other glyph is its own.
        if (record != 51 && record != 63) {
            EXPECT_TRUE(designs.insert(rows).second) << record;
        }
    }
    EXPECT_EQ(set.glyphTable()[51], (GlyphRecord{51, 31, 16, 16, 30, 16, 16, 31}));
}

}  // namespace
}  // namespace quorvel
