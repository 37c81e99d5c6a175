#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "io/ScrambledFile.h"
#include "panel/Settings.h"
#include "panel/StateFile.h"
#include "support/AssemblerTestSupport.h"
#include "web/WebCalculator.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using test::ScratchFolder;

DisplayCells cellsOf(const std::string& text) {
    DisplayCells cells = blankDisplayCells();
    for (size_t i = 0; i < text.size() && i < cells.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') cells[i] = c - '0';
        if (c == '-') cells[i] = glyphMinus;
        if (c == '.') cells[i] = glyphPoint;
        if (c == 'E') cells[i] = glyphE;
        if (c == 'r') cells[i] = glyphR;
        if (c == 'o') cells[i] = glyphO;
    }
    return cells;
}

TEST(WebDisplayText, ReadsAsAPersonReadsTheDisplay) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {" 5.00          ", "5.00"},      {"-12            ", "-12"},
        {"-1.88        15", "-1.88 E15"}, {" 1.00       -10", "1.00 E-10"},
        {" 1          -05", "1 E-05"},    {" Error         ", "Error"},
        {"               ", ""},
    };
    for (const auto& [cells, text] : cases) {
        EXPECT_EQ(readableDisplayText(cellsOf(cells)), text) << '"' << cells << '"';
    }
}

TEST(WebKeyNames, TakeTheRunnersNamesAndStopAtAnUnknownOne) {
    std::vector<int> keys;
    EXPECT_TRUE(parseKeyNames("  2 enter\t3  + ", keys));
    EXPECT_EQ(keys, (std::vector<int>{keyIndexForLegend("2"), keyIndexForLegend("ENTER"),
                                      keyIndexForLegend("3"), keyIndexForLegend("+")}));
    keys.clear();
    EXPECT_FALSE(parseKeyNames("9 SINE 3", keys));
    EXPECT_EQ(keys, std::vector<int>{keyIndexForLegend("9")});
}

TEST(WebStoredFiles, OnlyUnreadableNonEmptyFilesCountAsDamaged) {
    ScratchFolder folder;
    const std::string line = "63~63~63~63~63~63~63~63~63~63~63~7~14~0~0~63~63~63~63~63~";
    ASSERT_TRUE(saveScrambledList(folder.path("roll"), {line, "Blank"}));
    ASSERT_TRUE(saveScrambledList(folder.path("short"), {line, "3~7~11~"}));
    ASSERT_TRUE(saveScrambledList(folder.path("empty"), {}));
    folder.write("zero", "");
    folder.write("garbage", "\x01\x02 not a container");
    EXPECT_FALSE(storedFileDamaged(folder.path("missing")));
    EXPECT_FALSE(storedFileDamaged(folder.path("roll"), rollLineReadable));
    EXPECT_TRUE(storedFileDamaged(folder.path("short"), rollLineReadable));
    EXPECT_FALSE(storedFileDamaged(folder.path("short"))) << "any line is a settings line";
    EXPECT_FALSE(storedFileDamaged(folder.path("empty")));
    EXPECT_FALSE(storedFileDamaged(folder.path("zero")));
    EXPECT_TRUE(storedFileDamaged(folder.path("garbage")));
    EXPECT_FALSE(fs::exists(folder.path("garbage.empty"))) << "the probe is removed";
}

class RecordingPage : public PageServices {
  public:
    void showError(const std::string& text) override { messages.push_back(text); }
    void showInformation(const std::string& text) override { messages.push_back(text); }
    bool confirm(const std::string&) override { return true; }
    void playSound(const std::string& name) override { sounds.push_back(name); }
    void showListing() override {}
    void printRoll() override {}
    void showSpeedDialog() override {}
    bool openDocument(const std::string&) override { return true; }
    void setClipboardText(const std::string& text) override { clipboard = text; }
    void downloadText(const std::string& name, const std::string& text) override {
        downloads.push_back(name + ":" + text);
    }
    std::string clipboard;
    std::vector<std::string> downloads;

    std::vector<std::string> messages;
    std::vector<std::string> sounds;
};

// The calculator over a scratch copy of the build's data files, driven by frames 1/60 s
// apart.
struct PageRig {
    ScratchFolder folder;
    RecordingPage page;
    std::unique_ptr<WebCalculator> calculator;
    double now = 1000;
    int lastResult = 0;

    PageRig() {
        for (const char* name :
             {"OCMno.dat", "dsplbno.dat", "PMnon.dat", "chdtfl73.dat", "cal73.pfl"}) {
            fs::copy_file(fs::path(QUORVEL_DATA_DIR) / name, folder.path(name));
        }
    }
    bool start() {
        calculator = std::make_unique<WebCalculator>(folder.path(""), page);
        return calculator->start(Bitmap{});
    }
    // Frames until the calculator wants none, at most `limit` of them; the results' bits
    // are gathered.
    int settle(int limit = 2000) {
        int seen = 0;
        for (int i = 0; i < limit; ++i) {
            now += 1000.0 / 60;
            lastResult = calculator->frame(now);
            seen |= lastResult;
            if (!(lastResult & frameWanted)) return seen;
        }
        ADD_FAILURE() << "still busy after " << limit << " frames";
        return seen;
    }
    void press(const std::string& names) {
        std::vector<int> keys;
        ASSERT_TRUE(parseKeyNames(names, keys));
        calculator->switchOn();
        calculator->pressKeysWhenReady(keys);
        settle();
    }
    int keyCentreX(const char* legend) const {
        const KeyRect& r = keyTable[keyIndexForLegend(legend)].face;
        return (r.left + r.right) / 2;
    }
    int keyCentreY(const char* legend) const {
        const KeyRect& r = keyTable[keyIndexForLegend(legend)].face;
        return (r.top + r.bottom) / 2;
    }
};

TEST(WebCalculator, LinkedKeysCalculateOneAfterAnother) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"2 ENTER 3 +", "5.00"}, {"9 S", "0.16"}, {"0 N", "Error"}, {"1 2 H", "-12"}};
    for (const auto& [keys, display] : cases) {
        SCOPED_TRACE(keys);
        PageRig rig;
        ASSERT_TRUE(rig.start());
        EXPECT_FALSE(rig.calculator->panel().powerIsOn());
        rig.press(keys);
        EXPECT_EQ(rig.calculator->displayText(), display);
        EXPECT_FALSE(rig.calculator->scriptedKeysPending());
    }
}

TEST(WebCalculator, RunsAtTheDesktopsPaceAndIdlesWithoutWork) {
    PageRig rig;
    ASSERT_TRUE(rig.start());
    rig.press("1");
    MainPanel& panel = rig.calculator->panel();
    // A SIN takes thousands of words: no frame may run more than the time allows.
    rig.calculator->pressKeysWhenReady({keyIndexForLegend("S")});
    const double perFrame = 1000.0 / 60 * panel.session().burstLength / pauseMilliseconds;
    int frames = 0;
    for (; frames < 1000; ++frames) {
        const uint64_t before = panel.session().machine().wordsExecuted;
        rig.now += 1000.0 / 60;
        const int result = rig.calculator->frame(rig.now);
        EXPECT_LE(panel.session().machine().wordsExecuted - before, perFrame + 1);
        if (!(result & frameWanted)) break;
    }
    EXPECT_GT(frames, 5) << "the function took several frames";
    EXPECT_EQ(rig.calculator->displayText(), "0.02");
    // Idle: a frame runs no word, and a long gap does not make the next one race.
    const uint64_t idleWords = panel.session().machine().wordsExecuted;
    rig.now += 60'000;
    EXPECT_FALSE(rig.calculator->frame(rig.now) & frameWanted);
    EXPECT_EQ(panel.session().machine().wordsExecuted, idleWords);
    rig.calculator->keyDown('2', {});
    rig.now += 60'000;
    rig.calculator->frame(rig.now);
    EXPECT_LE(panel.session().machine().wordsExecuted - idleWords,
              100 * panel.session().burstLength / 5 + 1);
}

TEST(WebCalculator, ASecondFingerNeitherPressesNorReleasesTheHeldKey) {
    PageRig rig;
    ASSERT_TRUE(rig.start());
    rig.press("");
    WebCalculator& calc = *rig.calculator;
    EXPECT_FALSE(calc.pointerDown(1, rig.keyCentreX("5"), rig.keyCentreY("5"), 0));
    EXPECT_FALSE(calc.pointerDown(2, rig.keyCentreX("6"), rig.keyCentreY("6"), 0));
    calc.pointerMove(2, rig.keyCentreX("7"), rig.keyCentreY("7"));
    calc.pointerUp(2, 0);
    EXPECT_TRUE(calc.panel().keyHeld());
    rig.settle();
    calc.pointerUp(1, 0);
    EXPECT_FALSE(calc.panel().keyHeld());
    rig.settle();
    EXPECT_EQ(calc.displayText(), "5");
}

TEST(WebCalculator, APrintedLineIsStoredInTheFrameThatPrintedIt) {
    PageRig rig;
    ASSERT_TRUE(rig.start());
    rig.press("7");
    const int seen = [&] {
        rig.calculator->pressKeysWhenReady({keyIndexForLegend("P")});
        return rig.settle();
    }();
    EXPECT_TRUE(seen & rollChanged);
    RollStore stored;
    ASSERT_EQ(stored.loadRoll(rig.folder.path(rollFileName)), 1);
    EXPECT_EQ(rig.calculator->rollCharacters().size(), 1u);
    EXPECT_NE(rig.calculator->rollCharacters()[0].find("7.00"), std::string::npos);
    rig.calculator->discardRoll();
    EXPECT_TRUE(rig.settle() & rollChanged);
    EXPECT_EQ(stored.loadRoll(rig.folder.path(rollFileName)), 0);
}

TEST(WebCalculator, StartUpReportsDamagedStoredFilesAndKeepsTheirSettings) {
    PageRig rig;
    rig.folder.write(rollFileName, "damaged");
    ASSERT_TRUE(saveScrambledList(rig.folder.path(settingsFileName), {"000-1", "0040"}));
    ASSERT_TRUE(rig.start());
    EXPECT_EQ(rig.calculator->damagedFiles(), std::vector<std::string>{rollFileName});
    rig.settle();
    EXPECT_TRUE(rig.calculator->panel().powerIsOn()) << "the stored power position";
    EXPECT_FALSE(rig.calculator->menuChecked(MenuCommand::sounds));
}

// PC keys as the page reports them (virtual key, Shift, the typed character) and pasted
// text go through the calculator's own rules.
TEST(WebCalculator, TypedAndPastedInputFollowsTheDesktopsRules) {
    struct Case {
        const char* keys;
        int32_t virtualKey;
        bool shift;
        const char* text;
        const char* pasted;
        const char* display;
    };
    const std::vector<Case> cases = {
        {"3 ENTER", 'Q', true, "Q", nullptr, "9.00"},    // Shift held: the shifted function
        {"2 ENTER 3", 187, true, "+", nullptr, "5.00"},  // "+" typed with Shift on "="
        {"", 0, false, "", "-1.5e3", "-1500"},           // pasted through the type-ahead
        {"", 0, false, "", "1,5", "1.5"},                // the page's decimal comma
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keys) + " / " + c.text + " / " + (c.pasted ? c.pasted : ""));
        PageRig rig;
        ASSERT_TRUE(rig.start());
        rig.press(c.keys);
        WebCalculator& calc = *rig.calculator;
        if (c.pasted) {
            calc.setDecimalSeparator(',');
            EXPECT_TRUE(calc.paste(c.pasted));
        } else {
            if (c.shift) calc.keyDown(vkShift, {true, false, false});
            calc.keyDown(c.virtualKey, {c.shift, false, false}, c.text);
            rig.settle();
            calc.keyUp(c.virtualKey);
            if (c.shift) calc.keyUp(vkShift);
        }
        rig.settle();
        EXPECT_EQ(calc.displayText(), c.display);
    }
}

TEST(WebCalculator, CopyFastAndRollTextReachThePage) {
    PageRig rig;
    ASSERT_TRUE(rig.start());
    rig.press("2 ENTER 3 / P");
    rig.calculator->menuCommand(MenuCommand::copy);
    EXPECT_EQ(rig.page.clipboard, "0.6666666667");
    rig.calculator->menuCommand(MenuCommand::saveRollText);
    ASSERT_EQ(rig.page.downloads.size(), 1u);
    EXPECT_EQ(rig.page.downloads[0].rfind("quorvel-roll.txt:", 0), 0u);
    EXPECT_NE(rig.page.downloads[0].find("0.67"), std::string::npos);
    rig.calculator->menuCommand(MenuCommand::fast);
    rig.calculator->saveState();
    PageRig again;
    fs::copy_file(rig.folder.path(settingsFileName), again.folder.path(settingsFileName));
    ASSERT_TRUE(again.start());
    EXPECT_TRUE(again.calculator->menuChecked(MenuCommand::fast));
}

// Continuous memory: a page left with the power on comes back where it was; switching off
// forgets; a state that cannot be resumed is set aside with a note.
TEST(WebCalculator, APageLeftWithThePowerOnResumes) {
    PageRig rig;
    ASSERT_TRUE(rig.start());
    rig.press("4 ENTER 5");
    rig.calculator->saveState();
    ASSERT_TRUE(fs::exists(rig.folder.path(stateFileName)));
    ASSERT_TRUE(rig.start());
    rig.settle();
    EXPECT_EQ(rig.calculator->displayText(), "5");
    rig.press("+");
    EXPECT_EQ(rig.calculator->displayText(), "9.00") << "the stack came back too";

    rig.calculator->switchLabelClick(FacePart::offImage);
    rig.settle();
    EXPECT_FALSE(fs::exists(rig.folder.path(stateFileName)));

    rig.press("7");
    rig.calculator->saveState();
    rig.folder.write(stateFileName, "damaged");
    rig.page.messages.clear();
    ASSERT_TRUE(rig.start());
    rig.settle();
    EXPECT_EQ(rig.calculator->displayText(), "0.00");
    EXPECT_EQ(rig.page.messages.size(), 1u);
    EXPECT_FALSE(fs::exists(rig.folder.path(stateFileName)));
}

TEST(WebCalculator, TheFaceIsSeeThroughOnlyWhereTheFaceColourIs) {
    PageRig rig;
    ASSERT_TRUE(rig.start());
    const std::vector<uint8_t>& rgba = rig.calculator->faceRgba();
    const int w = rig.calculator->width();
    ASSERT_EQ(rgba.size(), static_cast<size_t>(w * rig.calculator->height() * 4));
    const Bitmap& face = rig.calculator->panel().face()[FacePart::calculatorImage].picture;
    ASSERT_EQ(face.pixel(0, 0), transparentFaceColour) << "the corner is outside the outline";
    EXPECT_EQ(rgba[3], 0);
    const int x = rig.keyCentreX("5"), y = rig.keyCentreY("5");
    const size_t at = (static_cast<size_t>(y) * w + x) * 4;
    EXPECT_EQ(rgba[at + 3], 255);
    EXPECT_EQ(rgba[at], face.pixel(x, y).red);
}

}  // namespace
}  // namespace quorvel
