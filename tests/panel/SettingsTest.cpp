#include <gtest/gtest.h>

#include <filesystem>

#include "io/ScrambledFile.h"
#include "panel/Settings.h"
#include "support/AssemblerTestSupport.h"

namespace quorvel {
namespace {

TEST(TruthValue, ReadsNumbersAndWordsAndFallsBackOnAnythingElse) {
    struct Case {
        const char* text;
        bool defaultValue;
        bool expected;
    };
    const Case cases[] = {
        {"-1", false, true},   {"0", true, false},     {"1", false, true},    {"2.5", false, true},
        {"0.0", true, false},  {" 0 ", true, false},   {"1e3", false, true},  {"True", false, true},
        {"tRuE", false, true}, {"FALSE", true, false}, {"yes", false, false}, {"yes", true, true},
        {"", true, true},      {"1x", false, false},   {".", true, true},     {"-", true, true},
        {"1e", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readTruthValue(c.text, c.defaultValue), c.expected)
            << "\"" << c.text << "\" with default " << c.defaultValue;
    }
}

PanelSettings read(const std::vector<std::string>& lines) {
    PanelSettings settings;
    applySettingsLines(lines, settings);
    return settings;
}

TEST(SettingsReader, AppliesEachKeyWithItsOwnDefault) {
    EXPECT_EQ(read({}), PanelSettings{}) << "nothing read keeps the values of creation";

    const PanelSettings onAll = read({"000-1", "0070"});
    EXPECT_EQ(onAll.power, PowerPosition::on);
    EXPECT_EQ(onAll.printMode, PrintModePosition::all);

    struct Case {
        std::string line;
        int speed;
    };
    for (const Case& c : {Case{"00240", 40}, Case{"0021x", 55}, Case{"002abc", 55}, Case{"002", 55},
                          Case{"002-7", 0}, Case{"002300", 100}, Case{"002100", 100}}) {
        EXPECT_EQ(read({"00299", c.line}).speedSetting, c.speed) << c.line;
    }
    // The head speeds are held to what the speed dialog can set.
    struct Speeds {
        std::string left, right;
        int leftSpeed, rightSpeed;
    };
    for (const Speeds& c : {Speeds{"00520", "0063", 20, 3}, Speeds{"00550", "00630", 50, 30},
                            Speeds{"00519", "0062", 20, 3}, Speeds{"0052147483647", "0060", 50, 3},
                            Speeds{"005-5", "00631", 20, 30}}) {
        const PanelSettings s = read({c.left, c.right});
        EXPECT_EQ(s.leftMoveSpeed, c.leftSpeed) << c.left;
        EXPECT_EQ(s.rightMoveSpeed, c.rightSpeed) << c.right;
    }

    EXPECT_FALSE(read({"0040"}).sounds);
    EXPECT_TRUE(read({"003-1"}).keyLegend);
    EXPECT_TRUE(read({"0030", "003-1"}).keyLegend) << "the later line of a key wins";
    EXPECT_TRUE(read({"003-1"}).sounds) << "a file without key 004 keeps the sounds on";
    EXPECT_FALSE(read({"004yes"}).sounds) << "the reader's default is false";
    EXPECT_EQ(read({"001 kept text~"}).key001, " kept text~");

    // The keys after the nine: the window's corner, the zoom (to the nearest offered) and
    // Fast. A corner too far off for any screen leaves the window unplaced (centred).
    struct Added {
        std::vector<std::string> lines;
        bool placed;
        int left, top, zoom;
        bool fast;
    };
    for (const Added& c :
         {Added{{"009-40", "01080"}, true, -40, 80, 100, false},
          Added{{"009100", "010999999"}, false, 0, 0, 100, false},
          Added{{"009x"}, false, 0, 0, 100, false},
          Added{{"011160", "012-1"}, false, 0, 0, 150, true},
          Added{{"011180"}, false, 0, 0, 200, false}, Added{{"0119999"}, false, 0, 0, 200, false},
          Added{{"0110"}, false, 0, 0, 100, false},
          Added{{"013/tmp/roll 1.pdf"}, false, 0, 0, 100, false}}) {
        const PanelSettings s = read(c.lines);
        EXPECT_EQ(s.windowPlaced, c.placed) << c.lines[0];
        if (s.windowPlaced) {
            EXPECT_EQ(s.windowLeft, c.left) << c.lines[0];
            EXPECT_EQ(s.windowTop, c.top) << c.lines[0];
        }
        EXPECT_EQ(s.zoomPercent, c.zoom) << c.lines[0];
        EXPECT_EQ(s.fast, c.fast) << c.lines[0];
        EXPECT_EQ(s.printFile, c.lines[0].starts_with("013") ? "/tmp/roll 1.pdf" : "");
    }
}

TEST(SettingsReader, MapsTheSwitchPositionsOfKeys7And8) {
    struct Case {
        const char* line;
        PrintModePosition mode;
    };
    for (const Case& c :
         {Case{"0070", PrintModePosition::all}, Case{"0071", PrintModePosition::norm},
          Case{"0072", PrintModePosition::man}, Case{"0079", PrintModePosition::man},
          Case{"007", PrintModePosition::all}}) {
        EXPECT_EQ(read({c.line}).printMode, c.mode) << c.line;
    }
    struct AngleCase {
        const char* line;
        AnglePosition angle;
    };
    for (const AngleCase& c :
         {AngleCase{"0080", AnglePosition::deg}, AngleCase{"0081", AnglePosition::rad},
          AngleCase{"0082", AnglePosition::grd}, AngleCase{"0083", AnglePosition::grd},
          AngleCase{"008", AnglePosition::deg}}) {
        EXPECT_EQ(read({c.line}).angle, c.angle) << c.line;
    }
}

TEST(SettingsReader, IgnoresLinesWithoutAKnownKey) {
    EXPECT_EQ(read({"", "12", "ab1", "0991", "999-1", "00x-1", "-01-1"}), PanelSettings{});
}

TEST(SettingsWriter, WritesTheLinesInKeyOrder) {
    EXPECT_EQ(settingsLines(PanelSettings{}),
              (std::vector<std::string>{"0000", "001", "00255", "0030", "004-1", "00547", "00624",
                                        "0072", "0080", "011100", "0120"}));
    PanelSettings s;
    s.power = PowerPosition::on;
    s.key001 = "x";
    s.speedSetting = 100;
    s.keyLegend = true;
    s.sounds = false;
    s.leftMoveSpeed = 20;
    s.rightMoveSpeed = 30;
    s.printMode = PrintModePosition::norm;
    s.angle = AnglePosition::grd;
    s.windowPlaced = true;
    s.windowLeft = -5;
    s.windowTop = 80;
    s.zoomPercent = 200;
    s.fast = true;
    s.printFile = "/a.pdf";
    EXPECT_EQ(settingsLines(s),
              (std::vector<std::string>{"000-1", "001x", "002100", "003-1", "0040", "00520",
                                        "00630", "0071", "0082", "009-5", "01080", "011200",
                                        "012-1", "013/a.pdf"}));
}

TEST(SettingsFile, RoundTripsEveryPosition) {
    test::ScratchFolder folder;
    const std::string path = folder.path(settingsFileName);
    for (auto mode : {PrintModePosition::man, PrintModePosition::all, PrintModePosition::norm}) {
        for (auto angle : {AnglePosition::deg, AnglePosition::grd, AnglePosition::rad}) {
            PanelSettings written;
            written.power = angle == AnglePosition::grd ? PowerPosition::on : PowerPosition::off;
            written.printMode = mode;
            written.angle = angle;
            written.speedSetting = 40;
            written.sounds = mode != PrintModePosition::all;
            written.key001 = "note";
            ASSERT_TRUE(writeSettingsFile(path, written));
            PanelSettings back;
            readSettingsFile(path, back);
            EXPECT_EQ(back, written);
        }
    }
}

TEST(SettingsFile, AMissingFileLeavesTheSettingsADamagedOneIsSetAside) {
    test::ScratchFolder folder;
    PanelSettings settings;
    settings.speedSetting = 77;
    DamagedFile damage;
    readSettingsFile(folder.path("missing.ini"), settings, &damage);
    EXPECT_EQ(settings.speedSetting, 77);
    EXPECT_FALSE(damage);

    const std::string path = folder.path(settingsFileName);
    // The last lines are cut off: the ones in front of the cut still apply.
    const std::string cut = test::scrambled("NeWe\r40\r00240\r\n0040\r\n005");
    folder.write(settingsFileName, cut);
    readSettingsFile(path, settings, &damage);
    EXPECT_EQ(settings.speedSetting, 40);
    EXPECT_FALSE(settings.sounds);
    EXPECT_EQ(damage.path, path);
    EXPECT_EQ(damage.movedTo, path + ".damaged");
    EXPECT_EQ(damage.linesKept, 2);
    EXPECT_EQ(folder.read(settingsFileName + std::string(".damaged")), cut);
    EXPECT_NE(damagedFileMessage(damage, "settings file").find(path + ".damaged"),
              std::string::npos);
}

TEST(SettingsFile, AFailedWriteKeepsThePreviousFile) {
    test::ScratchFolder folder;
    const std::string path = folder.path(settingsFileName);
    PanelSettings old;
    old.speedSetting = 12;
    ASSERT_TRUE(writeSettingsFile(path, old));
    // the new file cannot be created where it is written first
    std::filesystem::create_directory(path + ".new");
    PanelSettings fresh;
    fresh.speedSetting = 99;
    EXPECT_FALSE(writeSettingsFile(path, fresh));
    PanelSettings back;
    readSettingsFile(path, back);
    EXPECT_EQ(back.speedSetting, 12);
}

}  // namespace
}  // namespace quorvel
