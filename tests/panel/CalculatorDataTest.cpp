#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "io/ScrambledFile.h"
#include "panel/CalculatorData.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

class CalculatorDataFile : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() /
            ("quorvel-data-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Writes the lines as a packed data file and reads the type-91 section back.
    bool load(const std::vector<std::string>& lines, int type = 91) {
        const std::string path = (folder_ / "dsplbno.dat").string();
        EXPECT_TRUE(saveScrambledList(path, lines));
        return loadCalculatorData(path, type, data);
    }

    fs::path folder_;
    CalculatorData data;
};

const std::string params = "000Q91~x~64~10~2~2000~-~-~-~-~-~-~0~16~2~15~20~55~192~13~";

TEST_F(CalculatorDataFile, ReadsTheSectionOfItsType) {
    ASSERT_TRUE(load({"<46>", "000other~", "<46>", "garbage without kind", "<91>", params,
                      "00112 34 5 Y some text", "0020", "003-1", "004hello", "<91>",
                      "000after the section~"}));
    EXPECT_EQ(data.parameterLine, params.substr(3));
    ASSERT_EQ(data.records.size(), 1u);
    EXPECT_EQ(data.records[0].code, 12);
    EXPECT_EQ(data.records[0].number, 34);
    EXPECT_EQ(data.records[0].digit, 5);
    EXPECT_TRUE(data.records[0].flag);
    EXPECT_EQ(data.records[0].text, "some text");
    EXPECT_EQ(data.kind2Numbers, std::vector<int32_t>{0});
    EXPECT_EQ(data.kind3Numbers, std::vector<int32_t>{-1});
    EXPECT_EQ(data.kind4Texts, std::vector<std::string>{"hello"});
}

TEST_F(CalculatorDataFile, CommentsBlankLinesAndTrailingBlanksDoNotCount) {
    ASSERT_TRUE(load({"// a comment", "<91>   ", "   ", params + " // parameters", "<91>"}));
    EXPECT_EQ(data.parameterLine, params.substr(3));
}

TEST_F(CalculatorDataFile, TheLastParameterLineWins) {
    ASSERT_TRUE(load({"<91>", "000first~", "000second~", "<91>"}));
    EXPECT_EQ(data.parameterLine, "second~");
}

TEST_F(CalculatorDataFile, RecordsWithANegativeCodeKeepOnlyTheCode) {
    ASSERT_TRUE(load({"<91>", "001xx whatever", "001-5", "<91>"}));
    ASSERT_EQ(data.records.size(), 2u);
    EXPECT_EQ(data.records[0].code, -1);
    EXPECT_EQ(data.records[1].code, -5);
}

TEST_F(CalculatorDataFile, Rejections) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
    };
    std::vector<std::string> kind2Lines{"<91>"};
    for (int i = 0; i < 43; ++i) kind2Lines.push_back("0025");
    kind2Lines.push_back("<91>");
    std::vector<std::string> kind4Lines{"<91>"};
    for (int i = 0; i < 43; ++i) kind4Lines.push_back("004x");
    kind4Lines.push_back("<91>");
    std::vector<std::string> kind3Lines{"<91>"};
    for (int i = 0; i < 59; ++i) kind3Lines.push_back("0030");
    kind3Lines.push_back("<91>");

    const Case cases[] = {
        {"section never closed", {"<91>", params}},
        {"no section", {"<46>", params, "<46>"}},
        {"kind 2 below zero", {"<91>", "002-1", "<91>"}},
        {"kind 2 not a number", {"<91>", "002x", "<91>"}},
        {"43rd kind 2 line", kind2Lines},
        {"kind 3 below -1", {"<91>", "003-2", "<91>"}},
        {"59th kind 3 line", kind3Lines},
        {"43rd kind 4 line", kind4Lines},
        {"kind 1 number not decimal", {"<91>", "00112 3x 5 Y", "<91>"}},
        {"kind 1 digit not decimal", {"<91>", "00112 34 x Y", "<91>"}},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(load(c.lines)) << c.name;
    }
}

TEST_F(CalculatorDataFile, MissingFileFails) {
    EXPECT_FALSE(loadCalculatorData((folder_ / "nothing.dat").string(), 91, data));
}

TEST(CalculatorDataNames, ChosenByType) {
    EXPECT_EQ(calculatorDataFileName(91), "dsplbno.dat");
    EXPECT_EQ(calculatorDataFileName(46), "dsplbfs.dat");
    EXPECT_EQ(calculatorDataFileName(97), "dsplbns.dat");
    EXPECT_EQ(calculatorDataFileName(73), "dsplab.dat");
}

TEST(MachineParameterLine, GivesTheMachineSizes) {
    MachineParameters p;
    std::string message;
    ASSERT_TRUE(parseMachineParameters(params.substr(3), p, message)) << message;
    EXPECT_EQ(p.ramSize, 64);
    EXPECT_EQ(p.romSize, 0x2000);
    EXPECT_EQ(p.statusBitCount, 16);
    EXPECT_EQ(p.returnStackDepth, 2);
    EXPECT_EQ(p.highestP, 13);
}

TEST(MachineParameterLine, RomSizeIsHexadecimal) {
    MachineParameters p;
    std::string message;
    std::string line = "a~b~64~1~2~3000~~~~~~~0~16~2~0~0~0~0~13~";
    ASSERT_TRUE(parseMachineParameters(line, p, message)) << message;
    EXPECT_EQ(p.romSize, 12288);
    line = "a~b~64~1~2~2FF~~~~~~~0~16~2~0~0~0~0~13~";
    ASSERT_TRUE(parseMachineParameters(line, p, message));
    EXPECT_EQ(p.romSize, 767);
}

TEST(MachineParameterLine, RefusesWhatTheMachineCannotRunWith) {
    const char* lines[] = {
        "",                                                // no line at all
        "a~b~6x~1~2~2000~~~~~~~0~16~2~0~0~0~0~13~",        // RAM not a number
        "a~b~64~1~2~2000~~~~~~~0~16~2~0~0~0~0~~",          // highest P empty
        "a~b~-1~1~2~2000~~~~~~~0~16~2~0~0~0~0~13~",        // negative RAM
        "a~b~64~1~2~2000~~~~~~~0~8~2~0~0~0~0~13~",         // too few status bits
        "a~b~64~1~2~2000~~~~~~~0~16~1~0~0~0~0~13~",        // return stack too short
        "a~b~64~1~2~2000~~~~~~~0~16~2~0~0~0~0~-1~",        // negative highest P
        "a~b~99999999~1~2~2000~~~~~~~0~16~2~0~0~0~0~13~",  // absurd RAM
        "a~b~64~1~2~zz~~~~~~~0~16~2~0~0~0~0~13~",          // ROM size not hexadecimal
        "a~b~64~1~2~-1~~~~~~~0~16~2~0~0~0~0~13~",          // negative ROM size
        "a~b~64~1~2~~~~~~~~0~16~2~0~0~0~0~13~",            // no ROM size
        "a~b~64~1~2~FF~~~~~~~0~16~2~0~0~0~0~13~",          // less than a page
        "a~b~64~1~2~FFFFFFFF~~~~~~~0~16~2~0~0~0~0~13~",    // beyond any ROM
    };
    for (const char* line : lines) {
        MachineParameters p;
        std::string message;
        EXPECT_FALSE(parseMachineParameters(line, p, message)) << line;
        EXPECT_NE(message.find("dsplbno.dat"), std::string::npos) << line << ": " << message;
    }
}

}  // namespace
}  // namespace quorvel
