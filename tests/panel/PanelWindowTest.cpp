#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "WindowRig.h"
#include "panel/ClipboardNumber.h"
#include "panel/StateFile.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using test::WindowRig;

const std::vector<std::string> storedSettings = {"000-1", "001note", "00240", "0030", "004-1",
                                                 "00530", "00610",   "0070",  "0082"};
const std::vector<std::string> storedRoll = {"3~7~11~", "Blank"};

void storeState(WindowRig& rig) {
    ASSERT_TRUE(saveScrambledList(rig.folder.path(settingsFileName), storedSettings));
    ASSERT_TRUE(saveScrambledList(rig.folder.path(rollFileName), storedRoll));
}

// Powered on and waiting for a key.
void startOn(WindowRig& rig) {
    ASSERT_TRUE(rig.start());
    rig.panel().requestPower(true);
    ASSERT_TRUE(rig.settle());
    ASSERT_TRUE(rig.panel().powerIsOn());
}

// ---------------------------------------------------------------- start-up

TEST(StartUp, EveryFailureShowsItsMessageClosesAndKeepsTheStoredFiles) {
    struct Case {
        const char* what;
        std::function<void(WindowRig&)> damage;
        std::vector<std::string> messages;  // "*" stands for any one text
    };
    const std::vector<Case> cases = {
        {"instruction table missing",
         [](WindowRig& r) { fs::remove(r.folder.path("OCMno.dat")); },
         {"ERROR: Invalid OCM file: OCMno.dat is missing"}},
        {"instruction table damaged",
         [](WindowRig& r) { r.folder.write("OCMno.dat", "not a table"); },
         {"ERROR: Invalid OCM file: OCMno.dat is damaged"}},
        {"face picture missing",
         [](WindowRig& r) { fs::remove(r.folder.path("PMnon.dat")); },
         {"ERROR: Failed to load the face picture: PMnon.dat is missing"}},
        {"face picture not a PNG",
         [](WindowRig& r) { r.folder.write("PMnon.dat", "\x01\x02\x03"); },
         {"ERROR: Failed to load the face picture: PMnon.dat is damaged (not a picture)"}},
        {"calculator data missing",
         [](WindowRig& r) { fs::remove(r.folder.path("dsplbno.dat")); },
         {"ERROR: Failed to load calculator data file: dsplbno.dat is missing"}},
        {"calculator data without its section",
         [](WindowRig& r) {
             saveScrambledList(r.folder.path("dsplbno.dat"), {"<46>", "<46>"});
         },
         {"ERROR: Failed to load calculator data file"}},
        {"machine parameters not numbers",
         [](WindowRig& r) {
             saveScrambledList(
                 r.folder.path("dsplbno.dat"),
                 {"<91>", "000a~b~x~10~2~2000~~~~~~~0~16~2~15~20~55~192~13~", "<91>"});
         },
         {"*"}},
        {"microcode missing", [](WindowRig& r) { fs::remove(r.folder.path("cal73.pfl")); }, {"*"}},
        {"microcode with an error",
         [](WindowRig& r) {
             saveScrambledList(r.folder.path("cal73.pfl"), {"start: no such thing"});
         },
         {"*"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowRig rig;
        storeState(rig);
        c.damage(rig);
        EXPECT_FALSE(rig.panel().FormActivate());
        EXPECT_FALSE(rig.panel().startupSucceeded());
        EXPECT_TRUE(rig.closed) << "the window closes";
        EXPECT_FALSE(rig.modeTimer) << "no power request after a failed start";
        ASSERT_EQ(rig.messages.errors.size(), c.messages.size());
        for (size_t i = 0; i < c.messages.size(); ++i) {
            if (c.messages[i] != "*") {
                EXPECT_EQ(rig.messages.errors[i], c.messages[i]);
            }
        }
        EXPECT_EQ(rig.stored(settingsFileName), storedSettings) << "settings untouched";
        EXPECT_EQ(rig.stored(rollFileName), storedRoll) << "roll untouched";
    }
}

TEST(StartUp, TheCharacterSetFailureEndsWithItsOwnMessage) {
    WindowRig rig;
    fs::remove(rig.folder.path("chdtfl73.dat"));
    EXPECT_FALSE(rig.panel().FormActivate());
    ASSERT_FALSE(rig.messages.errors.empty());
    EXPECT_EQ(rig.messages.errors.back(), "ERROR Failed to load printer data");
    EXPECT_TRUE(rig.closed);
}

TEST(StartUp, RestoresTheSwitchesSizesAndCentresTheWindowAndShowsTheParts) {
    WindowRig rig;
    storeState(rig);
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    EXPECT_TRUE(rig.messages.errors.empty());
    EXPECT_EQ(rig.clientWidth, panel.faceWidth());
    EXPECT_EQ(rig.clientHeight, panel.faceHeight());
    EXPECT_EQ(rig.position,
              centredWindowPosition(1920, 1080, panel.faceWidth(), panel.faceHeight()));
    EXPECT_EQ(panel.windowGeometry().left, rig.position.left) << "the listing's first placement";
    EXPECT_EQ(panel.windowGeometry().right, rig.position.left + panel.faceWidth());
    EXPECT_EQ(panel.windowGeometry().top, rig.position.top);

    EXPECT_TRUE(panel.powerIsOn()) << "saved while on, it comes up running";
    EXPECT_EQ(panel.session().machine().printMode, printModeAll);
    EXPECT_TRUE(panel.session().machine().grdFlag);
    EXPECT_FALSE(panel.session().machine().radFlag);
    EXPECT_EQ(panel.speedSetting, 40);
    EXPECT_EQ(panel.session().burstLength, 33);
    EXPECT_EQ(panel.session().printer().leftMoveSpeed, 30);
    EXPECT_EQ(panel.session().printer().rightMoveSpeed, 10);
    EXPECT_EQ(panel.session().roll().rollLines(), storedRoll);

    const auto left = [&](FacePart part) { return panel.face()[part].left; };
    EXPECT_EQ(left(FacePart::onSWimage), 71);
    EXPECT_EQ(left(FacePart::offSWimage), parkedImageLeft);
    EXPECT_EQ(left(FacePart::allSWimage), 31);
    EXPECT_EQ(left(FacePart::manSWimage), parkedImageLeft);
    EXPECT_EQ(left(FacePart::nrmSWimage), parkedImageLeft);
    EXPECT_EQ(left(FacePart::grdSWimage), 73);
    EXPECT_EQ(left(FacePart::degSWimage), parkedImageLeft);
    EXPECT_TRUE(panel.face()[FacePart::dispImage].visible);
    EXPECT_FALSE(panel.face()[FacePart::maskImage].visible);
    EXPECT_FALSE(panel.face()[FacePart::pfLEDImage].visible);
    EXPECT_EQ(panel.shownPart(FacePart::prnHdImage).left, headRestPosition);
    EXPECT_EQ(panel.shownPart(FacePart::paper97Image).picture,
              &panel.session().printer().paperImage());
}

TEST(StartUp, TheWindowComesBackWhereItWasUnlessThatIsOffEveryScreen) {
    struct Case {
        const char* left;
        const char* top;
        bool placed;
    };
    for (const Case& c : {Case{"009300", "010200", true}, Case{"0093000", "010200", false}}) {
        WindowRig rig;
        ASSERT_TRUE(saveScrambledList(rig.folder.path(settingsFileName), {c.left, c.top}));
        ASSERT_TRUE(rig.start());
        const MainPanel& panel = rig.panel();
        const WindowPosition expected =
            c.placed ? WindowPosition{300, 200}
                     : centredWindowPosition(1920, 1080, panel.faceWidth(), panel.faceHeight());
        EXPECT_EQ(rig.position, expected) << c.left;
    }
}

TEST(StartUp, DefaultsWithoutASettingsFile) {
    WindowRig rig;
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    EXPECT_FALSE(panel.powerIsOn());
    EXPECT_EQ(panel.printModePosition(), PrintModePosition::man);
    EXPECT_EQ(panel.anglePosition(), AnglePosition::deg);
    EXPECT_TRUE(panel.session().soundsOn);
    EXPECT_FALSE(panel.keyLegendOn);
    EXPECT_EQ(panel.session().burstLength, 51);
    EXPECT_EQ(panel.face()[FacePart::offSWimage].left, 71);
    EXPECT_EQ(panel.face()[FacePart::manSWimage].left, 31);
    EXPECT_EQ(panel.face()[FacePart::degSWimage].left, 73);
}

// ---------------------------------------------------------------- closing

TEST(Closing, WithThePowerOnWaitsForTheProcessorThenSavesRollAndSettings) {
    WindowRig rig;
    storeState(rig);
    startOn(rig);
    MainPanel& panel = rig.panel();
    panel.session().roll().appendRollLine("5~");
    bool closedWhileRunning = true;
    panel.requestPower(true);  // a restart, so the processor runs inside the dispatcher
    rig.script = {[] {},
                  [&] {
                      panel.FormKeyDown(vkEscape, {});
                      panel.FormKeyUp(vkEscape);
                      closedWhileRunning = rig.closeCalls > 0;
                  }};
    panel.ChgModeTimerTimer();
    EXPECT_FALSE(closedWhileRunning) << "nothing closes while the processor runs";
    EXPECT_TRUE(rig.closed);
    EXPECT_EQ(rig.stored(rollFileName), (std::vector<std::string>{"3~7~11~", "Blank", "5~"}));
    const std::vector<std::string> settings = rig.stored(settingsFileName);
    ASSERT_EQ(settings.size(), 13u);
    EXPECT_EQ(settings[0], "000-1");
    EXPECT_EQ(settings[1], "001note");
    EXPECT_EQ(settings[7], "0070");
    EXPECT_EQ(settings[8], "0082");
    // the window's place where it was moved to, the zoom and Fast
    EXPECT_EQ(std::vector<std::string>(settings.begin() + 9, settings.end()),
              (std::vector<std::string>{"009633", "010300", "011100", "0120"}));
    EXPECT_TRUE(fs::exists(rig.folder.path(stateFileName))) << "closed with the power on";
}

TEST(Closing, TheSystemCloseWhileOnIsDeferredToTheDispatcher) {
    WindowRig rig;
    startOn(rig);
    MainPanel& panel = rig.panel();
    EXPECT_FALSE(panel.FormCloseQuery()) << "refused while the processor may run";
    EXPECT_EQ(panel.session().pendingRequests() & requestClose, requestClose);
    rig.settle();
    EXPECT_TRUE(rig.closed);
}

TEST(Closing, WithThePowerOffClosesAtOnceAndKeepsAChangedRoll) {
    WindowRig rig;
    ASSERT_TRUE(saveScrambledList(rig.folder.path(rollFileName), storedRoll));
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    panel.session().roll().appendRollLine("5~");
    panel.Close1Click();
    EXPECT_TRUE(rig.closed);
    EXPECT_EQ(rig.stored(rollFileName), (std::vector<std::string>{"3~7~11~", "Blank", "5~"}));
    EXPECT_EQ(rig.stored(settingsFileName),
              (std::vector<std::string>{"0000", "001", "00255", "0030", "004-1", "00547", "00624",
                                        "0072", "0080", "009633", "010300", "011100", "0120"}));
}

TEST(Closing, AFailedSaveIsSaidAndTheFirstTimeTheRollStaysForAnotherTry) {
    WindowRig rig;
    startOn(rig);
    MainPanel& panel = rig.panel();
    panel.session().roll().appendRollLine("5~");
    // a folder in the files' place cannot be replaced by a file
    fs::create_directory(rig.folder.path(rollFileName));
    fs::create_directory(rig.folder.path(settingsFileName));
    EXPECT_FALSE(panel.saveRollIfChanged());
    panel.closeCommand();
    rig.settle();
    EXPECT_FALSE(rig.closed);
    ASSERT_EQ(rig.messages.errors.size(), 1u);
    EXPECT_EQ(rig.messages.errors[0],
              messageRollNotSaved + rig.folder.path(rollFileName) + messageRollKeptOpen);
    EXPECT_TRUE(rig.modeTimer) << "the calculator runs on";
    ASSERT_TRUE(rig.settle());

    panel.closeCommand();
    rig.settle();
    EXPECT_TRUE(rig.closed) << "the second failure ends the program";
    EXPECT_EQ(rig.messages.errors,
              (std::vector<std::string>{
                  rig.messages.errors[0], messageRollNotSaved + rig.folder.path(rollFileName),
                  messageSettingsNotSaved + rig.folder.path(settingsFileName)}));
}

TEST(Closing, TheNextStartComesUpWithTheSameSwitchesAndRoll) {
    WindowRig first;
    startOn(first);
    MainPanel& panel = first.panel();
    panel.setPrintMode(PrintModePosition::norm, true);
    panel.setAngle(AnglePosition::rad, true);
    panel.session().soundsOn = false;
    panel.session().roll().appendRollLine("9~");
    panel.closeCommand();
    first.settle();
    ASSERT_TRUE(first.closed);

    WindowRig second;
    for (const char* name : {settingsFileName, rollFileName}) {
        second.folder.write(name, first.folder.read(name));
    }
    ASSERT_TRUE(second.start());
    EXPECT_TRUE(second.panel().powerIsOn());
    EXPECT_EQ(second.panel().printModePosition(), PrintModePosition::norm);
    EXPECT_EQ(second.panel().anglePosition(), AnglePosition::rad);
    EXPECT_FALSE(second.panel().session().soundsOn);
    EXPECT_EQ(second.panel().session().roll().rollLines(), std::vector<std::string>{"9~"});
}

TEST(Closing, ThePowerLeftOnResumesThereAndADamagedOrForeignStateIsSetAside) {
    WindowRig first;
    startOn(first);
    first.panel().FormKeyDown('5', {});
    first.panel().FormKeyUp('5');
    ASSERT_TRUE(first.settle());
    const Register keyed = first.panel().session().machine().regA;
    first.panel().closeCommand();
    first.settle();
    ASSERT_TRUE(first.closed);

    struct Case {
        const char* name;
        std::vector<std::string> microcode;
        bool damage;
        bool restored;
    };
    std::vector<std::string> otherMicrocode = test::idleMicrocode;
    otherMicrocode.push_back("        go to idle");
    const Case cases[] = {
        {"as left", test::idleMicrocode, false, true},
        {"damaged", test::idleMicrocode, true, false},
        {"another microcode", otherMicrocode, false, false},
    };
    for (const Case& c : cases) {
        WindowRig second(c.microcode);
        for (const char* name : {settingsFileName, rollFileName, stateFileName}) {
            second.folder.write(name, first.folder.read(name));
        }
        if (c.damage) {
            std::string bytes = first.folder.read(stateFileName);
            bytes[bytes.size() / 2] ^= 0x20;
            second.folder.write(stateFileName, bytes);
        }
        ASSERT_TRUE(second.start()) << c.name;
        MainPanel& panel = second.panel();
        EXPECT_TRUE(panel.powerIsOn());
        EXPECT_EQ(panel.session().machine().regA == keyed, c.restored) << c.name;
        EXPECT_EQ(second.messages.information.size(), c.restored ? 0u : 1u) << c.name;
        EXPECT_EQ(fs::exists(second.folder.path(std::string(stateFileName) + ".damaged")),
                  !c.restored)
            << c.name;
        if (!c.restored) continue;
        // switching off forgets it, as a real power-off does
        panel.switchLabelClick(FacePart::offImage);
        second.settle();
        EXPECT_FALSE(fs::exists(second.folder.path(stateFileName)));
    }
}

TEST(Closing, ARunTimeErrorShowsTheAddressClosesAndSavesTheRoll) {
    std::vector<std::string> failing = test::idleMicrocode;
    failing[5] = "getkey: 14 -> p";
    WindowRig rig(failing);
    startOn(rig);
    rig.panel().session().roll().appendRollLine("5~");
    rig.panel().FormKeyDown('5', {});
    rig.settle();
    EXPECT_EQ(rig.messages.errors,
              std::vector<std::string>{"ERROR: Invalid P register value\rAddr: $0006"});
    EXPECT_TRUE(rig.closed);
    EXPECT_TRUE(rig.panel().endedByRunTimeError());
    EXPECT_EQ(rig.stored(rollFileName), std::vector<std::string>{"5~"});
}

// ---------------------------------------------------------------- dispatcher and switches

TEST(Dispatcher, OnlyARealMoveOfThePowerSwitchActsAndPowerOnResets) {
    WindowRig rig;
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    EXPECT_TRUE(rig.sounds.empty()) << "the start-up's power off from off is silent";

    panel.switchLabelClick(FacePart::onImage);
    EXPECT_EQ(panel.session().pendingRequests(), requestPowerOn);
    EXPECT_TRUE(rig.modeTimer);
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.sounds, std::vector<std::string>{"swc"});
    EXPECT_EQ(panel.face()[FacePart::onSWimage].left, 71);

    panel.session().machine().ram[3][0] = 5;
    panel.switchLabelClick(FacePart::onImage);
    EXPECT_EQ(panel.session().pendingRequests(), 0) << "ON while on asks for nothing";
    panel.switchLabelClick(FacePart::offImage);
    panel.switchLabelClick(FacePart::onImage);  // taken back before the dispatcher ran
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.sounds.size(), 1u);
    EXPECT_EQ(panel.session().machine().ram[3][0], 5) << "no reset";
    EXPECT_TRUE(panel.powerIsOn());

    panel.switchLabelClick(FacePart::offImage);
    rig.settle();
    EXPECT_EQ(rig.sounds, (std::vector<std::string>{"swc", "swc"}));
    EXPECT_FALSE(panel.session().machine().displayOn);
    EXPECT_EQ(panel.session().display().image(), panel.session().display().maskImage)
        << "the display goes blank";
    EXPECT_EQ(panel.face()[FacePart::offSWimage].left, 71);

    panel.switchLabelClick(FacePart::offImage);
    EXPECT_EQ(panel.session().pendingRequests(), 0) << "OFF while off asks for nothing";
    EXPECT_EQ(rig.sounds.size(), 2u);

    panel.switchLabelClick(FacePart::onImage);
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.sounds.size(), 3u);
    EXPECT_EQ(panel.session().machine().ram[3][0], 0) << "a real power on starts from reset";
}

TEST(Dispatcher, APowerClickWhileRunningIsTakenWhenTheProcessorReturns) {
    WindowRig rig;
    startOn(rig);
    MainPanel& panel = rig.panel();
    bool onDuringScript = false;
    panel.requestPower(true);
    rig.script = {[] {},
                  [&] {
                      panel.switchLabelClick(FacePart::offImage);
                      // the mode-change timer fires while the processor runs inside it
                      panel.ChgModeTimerTimer();
                      onDuringScript = panel.powerIsOn();
                  }};
    panel.ChgModeTimerTimer();
    EXPECT_TRUE(onDuringScript) << "the nested timer leaves the request to the running handler";
    EXPECT_FALSE(panel.powerIsOn());
    EXPECT_EQ(panel.session().pendingRequests(), 0);
}

TEST(Switches, SoundsFollowTheMoveAndItsRules) {
    struct Case {
        PrintModePosition from, to;
        const char* sound;
    };
    const Case printCases[] = {
        {PrintModePosition::man, PrintModePosition::norm, "swi"},
        {PrintModePosition::norm, PrintModePosition::man, "swi"},
        {PrintModePosition::man, PrintModePosition::all, "swc"},
        {PrintModePosition::all, PrintModePosition::norm, "swc"},
        {PrintModePosition::all, PrintModePosition::all, ""},
    };
    for (const Case& c : printCases) {
        WindowRig rig;
        rig.panel().setPrintMode(c.from, false);
        rig.panel().setPrintMode(c.to, true);
        EXPECT_EQ(rig.sounds,
                  c.sound[0] ? std::vector<std::string>{c.sound} : std::vector<std::string>{});
    }
    struct AngleCase {
        AnglePosition from, to;
        const char* sound;
    };
    const AngleCase angleCases[] = {
        {AnglePosition::deg, AnglePosition::rad, "swi"},
        {AnglePosition::rad, AnglePosition::deg, "swi"},
        {AnglePosition::deg, AnglePosition::grd, "swc"},
        {AnglePosition::grd, AnglePosition::rad, "swc"},
        {AnglePosition::rad, AnglePosition::rad, ""},
    };
    for (const AngleCase& c : angleCases) {
        WindowRig rig;
        rig.panel().setAngle(c.from, false);
        rig.panel().setAngle(c.to, true);
        EXPECT_EQ(rig.sounds,
                  c.sound[0] ? std::vector<std::string>{c.sound} : std::vector<std::string>{});
    }

    WindowRig muted;
    MainPanel& panel = muted.panel();
    panel.session().soundsOn = false;
    panel.switchLabelClick(FacePart::normImage);
    panel.session().soundsOn = true;
    panel.session().printer().printerBusy = true;
    panel.switchLabelClick(FacePart::radImage);
    panel.session().printer().printerBusy = false;
    EXPECT_TRUE(muted.sounds.empty());
    EXPECT_EQ(panel.session().machine().printMode, printModeNorm) << "the switch still moves";
    EXPECT_TRUE(panel.session().machine().radFlag);
    EXPECT_EQ(panel.face()[FacePart::nrmSWimage].left, 31);
    EXPECT_EQ(panel.face()[FacePart::radSWimage].left, 73);
}

TEST(Switches, AKnobDraggedAlongItsSlotGoesToTheNearestPositionAndAStillOneIsAClick) {
    // Face rows: MAN label 301..316, ALL 326..341, NORM 350..365; DEG 377, GRD 402, RAD 426.
    struct Case {
        FacePart knob;
        int downY, moveY, upY;
        int position;  // of that switch afterwards
        const char* sound;
    };
    const Case cases[] = {
        {FacePart::manSWimage, 310, 340, 352, 2, "swi"},  // MAN to NORM in one move
        {FacePart::manSWimage, 310, 311, 311, 1, "swc"},  // a tremble is a click: the next
        {FacePart::manSWimage, 310, 340, 310, 0, ""},     // dragged and brought back
        {FacePart::degSWimage, 380, 395, 405, 1, "swc"},
        {FacePart::degSWimage, 380, 300, 300, 0, ""},  // beyond the slot's end
        {FacePart::degSWimage, 380, 460, 470, 2, "swi"},
    };
    for (const Case& c : cases) {
        WindowRig rig;
        MainPanel& panel = rig.panel();
        panel.face().parts().placeImages();
        ASSERT_TRUE(panel.switchKnobDown(c.knob, 40, c.downY));
        panel.switchKnobMove(40, c.moveY);
        EXPECT_TRUE(rig.sounds.empty()) << "nothing moves before the button comes up";
        panel.switchKnobUp(40, c.upY);
        EXPECT_FALSE(panel.knobHeld());
        const bool printMode = c.knob == FacePart::manSWimage;
        EXPECT_EQ(printMode ? static_cast<int>(panel.printModePosition())
                            : static_cast<int>(panel.anglePosition()),
                  c.position)
            << c.downY << " to " << c.upY;
        EXPECT_EQ(rig.sounds,
                  c.sound[0] ? std::vector<std::string>{c.sound} : std::vector<std::string>{});
    }
    WindowRig rig;
    MainPanel& panel = rig.panel();
    panel.face().parts().placeImages();
    EXPECT_FALSE(panel.switchKnobDown(FacePart::calculatorImage, 40, 240));
    panel.switchKnobUp(40, 240);
    EXPECT_EQ(panel.session().pendingRequests(), 0) << "no knob held, nothing happens";
    panel.switchKnobDown(FacePart::offSWimage, 80, 240);
    panel.switchKnobUp(80, 272);
    EXPECT_EQ(panel.session().pendingRequests(), requestPowerOn) << "dragged to ON asks for power";
    panel.switchKnobDown(FacePart::offSWimage, 80, 272);
    panel.switchKnobUp(80, 236);
    EXPECT_EQ(panel.session().pendingRequests(), 0) << "dragged back to OFF before it acted";
}

// ---------------------------------------------------------------- keys

TEST(Keys, ShiftKindsChooseTheAlternateCode) {
    WindowRig rig;
    startOn(rig);
    MainPanel& panel = rig.panel();
    struct Case {
        int index;
        bool shifted;
        int code;
        bool shiftAfter;
    };
    const Case cases[] = {
        {23, false, 114, false}, {23, true, 134, true},   // "1", kind 1 keeps the bit
        {9, false, 131, false},  {9, true, 134, false},   // "R", kind 3 clears it
        {19, true, 20, true},    {34, true, 138, false},  // plain "9"; "+" of kind 3
        {0, true, 39, true},
    };
    for (const Case& c : cases) {
        panel.session().machine().keyQueue.fill(0);
        panel.session().machine().statusBits[13] = !c.shifted;
        panel.setKeyIndex(c.index);
        panel.press();
        EXPECT_EQ(panel.session().machine().keyQueue[0], 0)
            << "kept until the microcode looks for a key";
        // the shift the keys before it left, when it reaches the machine, chooses the code
        panel.session().machine().statusBits[13] = c.shifted;
        panel.session().keyTestFoundEmpty();
        EXPECT_EQ(panel.session().machine().keyQueue[0], c.code) << keyTable[c.index].legend;
        EXPECT_EQ(panel.session().machine().statusBits[13] != 0, c.shiftAfter)
            << keyTable[c.index].legend;
        panel.session().keyTestFoundEmpty();
        EXPECT_EQ(panel.face()[FacePart::shiftLampImage].visible, c.shiftAfter) << "the SHIFT lamp";
        panel.release();
    }
}

TEST(Keys, PcKeysRollOverTheMouseBlocksAndOnlyAnEscPressedHereCloses) {
    WindowRig rig;
    startOn(rig);
    MainPanel& panel = rig.panel();
    // 1 down, 2 down, 1 up, 2 up: both are taken, and 2 stays down until its own release
    panel.FormKeyDown('1', {});
    panel.FormKeyDown('2', {});
    panel.FormKeyUp('1');
    EXPECT_TRUE(panel.keyHeld());
    EXPECT_EQ(panel.keyIndex(), 24);
    panel.FormKeyUp(vkEscape);
    EXPECT_TRUE(panel.keyHeld()) << "Esc up leaves the key down";
    EXPECT_EQ(panel.session().pendingRequests(), 0)
        << "an Esc whose press went elsewhere does not close";
    panel.FormKeyUp('2');
    EXPECT_FALSE(panel.keyHeld());
    EXPECT_EQ(panel.session().typeAhead(), (std::deque<int>{23, 24}));

    // Shift with a key is SHIFT then that key, and Shift going up after it adds nothing;
    // Shift alone is SHIFT when it goes up; a typed "*" is x whatever the key, even shifted
    const KeyModifiers shift{true, false, false};
    panel.FormKeyDown(vkShift, shift);
    panel.FormKeyDown('Q', shift);
    panel.FormKeyUp(vkShift);
    EXPECT_TRUE(panel.keyHeld()) << "Q holds its key until it goes up itself";
    panel.FormKeyUp('Q');
    panel.FormKeyDown(vkShift, shift);
    EXPECT_FALSE(panel.keyHeld());
    panel.FormKeyUp(vkShift);
    panel.FormKeyDown('8', shift, "*");
    panel.FormKeyUp('8');
    EXPECT_EQ(panel.session().typeAhead(), (std::deque<int>{23, 24, 0, 2, 0, 30}));

    // the mouse holds its key against the keyboard, as before
    panel.setKeyIndex(17);
    panel.calculatorImageMouseDown(true);
    panel.FormKeyDown('8', {});
    EXPECT_EQ(panel.session().typeAhead().back(), 17);
    EXPECT_EQ(panel.session().typeAhead().size(), 7u);
    panel.calculatorImageMouseUp(true);

    panel.FormKeyDown(vkEscape, {});
    panel.FormKeyUp(vkEscape);
    EXPECT_EQ(panel.session().pendingRequests(), requestClose);
}

TEST(Keys, TheTypeAheadKeepsItsPressesInOrderAndRefusesOneBeyondItAloud) {
    WindowRig rig;
    startOn(rig);
    MainPanel& panel = rig.panel();
    rig.sounds.clear();
    for (int i = 0; i < typeAheadCapacity; ++i) {
        panel.setKeyIndex(i % 2 ? 24 : 23);  // "1", "2", ...
        EXPECT_TRUE(panel.press());
        panel.release();
    }
    EXPECT_TRUE(rig.sounds.empty());
    panel.setKeyIndex(19);
    EXPECT_FALSE(panel.press());
    EXPECT_FALSE(panel.keyHeld()) << "a refused key does not go down";
    EXPECT_EQ(rig.sounds, std::vector<std::string>{typeAheadFullSound});
    EXPECT_EQ(panel.keyLegendCaption(), typeAheadFullSign);
    ASSERT_TRUE(rig.settle());
    EXPECT_TRUE(panel.session().typeAhead().empty());
    EXPECT_EQ(panel.session().machine().regA[2] * 10 + panel.session().machine().regA[1], 25)
        << "the last press, 2";
    EXPECT_EQ(panel.keyLegendCaption(), "") << "the sign goes with the first key taken";

    panel.FormKeyDown('3', {});
    panel.switchLabelClick(FacePart::offImage);
    rig.settle();
    EXPECT_TRUE(panel.session().typeAhead().empty()) << "power off forgets the presses";
}

TEST(Keys, CopyAndPasteGoThroughTheClipboardAndARefusalChangesNothing) {
    WindowRig rig;
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    rig.clipboard = "12";
    const KeyModifiers control{false, true, false};
    panel.FormKeyDown('V', control);
    panel.FormKeyDown('C', control);
    EXPECT_EQ(rig.messages.information,
              (std::vector<std::string>{messagePasteWhileOff, messageCopyWhileOff}));
    EXPECT_EQ(rig.clipboard, "12");

    startOn(rig);
    // X = 0.3333333333: sign 0, ten threes, exponent -1 as 999
    Register& x = panel.session().machine().ram[xRamRegister];
    x.fill(3);
    x[13] = 0;
    x[2] = x[1] = x[0] = 9;
    panel.FormKeyDown('C', control);
    EXPECT_EQ(rig.clipboard, "0.3333333333");

    struct Case {
        const char* text;
        std::deque<int> typed;  // the type-ahead after the paste, on top of 60 waiting keys
        const char* message;
    };
    const Case cases[] = {
        {" 12 ", {23, 24}, nullptr},
        {"1 2", {}, "Not a number: 1 2"},
        {"12345", {}, messagePasteTooLong},  // 60 waiting + 5 is beyond the 64
    };
    for (const Case& c : cases) {
        while (!panel.session().typeAhead().empty()) rig.settle();
        for (int i = 0; i < 60; ++i) {
            panel.setKeyIndex(26);
            panel.press();
            panel.release();
        }
        rig.messages.information.clear();
        rig.clipboard = c.text;
        EXPECT_EQ(panel.Paste1Click(), c.message == nullptr) << c.text;
        std::deque<int> after(panel.session().typeAhead().begin() + 60,
                              panel.session().typeAhead().end());
        EXPECT_EQ(after, c.typed) << c.text;
        EXPECT_EQ(rig.messages.information,
                  c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{})
            << c.text;
    }
}

TEST(Keys, WithThePowerOffAClickShowsThePressedKeyAndQueuesNothing) {
    WindowRig rig;
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    const KeyEntry& key = keyTable[13];
    panel.calculatorImageMouseMove(key.face.left + 5, key.face.top + 5);
    panel.calculatorImageMouseDown(true);
    const ImageComponent& paste = panel.face()[FacePart::pasteImage];
    EXPECT_EQ(paste.left, key.face.left);
    EXPECT_EQ(paste.top, key.face.top);
    EXPECT_EQ(paste.picture,
              cropBitmap(panel.face()[FacePart::buttsImage].picture, key.picture.left,
                         key.picture.top, key.face.width(), key.face.height()));
    EXPECT_EQ(panel.session().machine().keyQueue[0], 0);
    EXPECT_TRUE(panel.session().typeAhead().empty());
    panel.calculatorImageMouseUp(true);
    EXPECT_EQ(paste.left, panel.faceWidth() + 10);
    EXPECT_FALSE(panel.keyHeld());
}

TEST(Keys, TheQueueDropsAnEighthCodeAndTheNextPutClearsTheOverflow) {
    WindowRig rig;
    MainPanel& panel = rig.panel();
    for (int code = 1; code <= 7; ++code) panel.session().keyQueuePut(code);
    EXPECT_EQ(panel.session().machine().keyQueueOverflow, 0);
    panel.session().keyQueuePut(8);
    EXPECT_EQ(panel.session().machine().keyQueueOverflow, 1);
    EXPECT_EQ(panel.session().machine().keyQueue[6], 7);
    panel.session().keyQueuePut(-5);
    EXPECT_EQ(panel.session().machine().keyQueueOverflow, 1) << "a negative code is ignored";
    panel.session().machine().keyQueue[0] = 0;
    panel.session().keyQueuePut(9);
    EXPECT_EQ(panel.session().machine().keyQueueOverflow, 0);
    EXPECT_EQ(panel.session().machine().keyQueue[0], 9);
}

TEST(Keys, AClickAfterAKeyboardKeyPressesThatKeyAgain) {
    WindowRig rig;
    startOn(rig);
    MainPanel& panel = rig.panel();
    panel.FormKeyDown('5', {});
    panel.FormKeyUp('5');
    panel.calculatorImageMouseDown(true);
    EXPECT_EQ(panel.session().typeAhead(), (std::deque<int>{21, 21}));
    panel.calculatorImageMouseUp(true);
    panel.calculatorImageMouseDown(false);
    EXPECT_FALSE(panel.keyHeld()) << "only the left button presses";
}

TEST(Keys, TheLegendShowsOnlyWhenAskedForAndOnlyOverAKey) {
    WindowRig rig;
    MainPanel& panel = rig.panel();
    const KeyRect& v = keyTable[1].face;
    panel.calculatorImageMouseMove(v.left + 3, v.top + 3);
    EXPECT_EQ(panel.keyLegendCaption(), "");
    panel.menuCommand(MenuCommand::keyLegend);
    EXPECT_TRUE(panel.menuChecked(MenuCommand::keyLegend));
    panel.calculatorImageMouseMove(v.left + 3, v.top + 3);
    EXPECT_EQ(panel.keyLegendCaption(), "V");
    EXPECT_EQ(panel.keyIndex(), 1);
    panel.calculatorImageMouseMove(v.left, v.top + 3);
    EXPECT_EQ(panel.keyLegendCaption(), "");
    EXPECT_EQ(panel.keyIndex(), -1);
}

// ---------------------------------------------------------------- menu, help, drag

TEST(Menu, TogglesItsOptionsAndRunsItsCommands) {
    WindowRig rig;
    MainPanel& panel = rig.panel();
    EXPECT_TRUE(panel.menuChecked(MenuCommand::sounds));
    panel.menuCommand(MenuCommand::sounds);
    EXPECT_FALSE(panel.session().soundsOn);
    EXPECT_FALSE(panel.menuChecked(MenuCommand::sounds));

    EXPECT_FALSE(panel.menuChecked(MenuCommand::lowBattery));
    panel.menuCommand(MenuCommand::lowBattery);
    EXPECT_TRUE(panel.face()[FacePart::pfLEDImage].visible);
    EXPECT_TRUE(panel.menuChecked(MenuCommand::lowBattery));
    panel.menuCommand(MenuCommand::lowBattery);
    EXPECT_FALSE(panel.face()[FacePart::pfLEDImage].visible);

    panel.menuCommand(MenuCommand::fast);
    EXPECT_TRUE(panel.menuChecked(MenuCommand::fast));
    EXPECT_TRUE(panel.currentSettings().fast);

    panel.menuCommand(MenuCommand::about);
    EXPECT_EQ(rig.messages.information,
              std::vector<std::string>{"Quorvel Classic Calculator Simulator - v210118"});
    panel.menuCommand(MenuCommand::minimize);
    EXPECT_EQ(rig.minimized, 1);
    panel.Close1Click();
    EXPECT_TRUE(rig.closed) << "closing with the power off is at once";
}

TEST(Menu, HelpNamesAMissingDocumentOrWhereItIsWhenNoViewerShowsIt) {
    WindowRig rig;
    MainPanel& panel = rig.panel();
    const std::string document = rig.folder.path(helpDocumentName);
    EXPECT_FALSE(panel.Help1Click());
    EXPECT_EQ(rig.messages.errors, std::vector<std::string>{"Unable to find document " + document});
    EXPECT_TRUE(rig.openedDocuments.empty());

    rig.folder.write(helpDocumentName, "%PDF");
    rig.documentOpens = false;
    EXPECT_FALSE(panel.Help1Click());
    EXPECT_EQ(rig.messages.errors.back(),
              "No program to show PDF files was found.\r\rThe help document is " + document);

    rig.documentOpens = true;
    EXPECT_TRUE(panel.Help1Click());
    EXPECT_EQ(rig.messages.errors.size(), 2u);
    ASSERT_EQ(rig.openedDocuments.size(), 2u);
    EXPECT_TRUE(fs::equivalent(rig.openedDocuments.back(), rig.folder.path(helpDocumentName)));

    // the page beside it shows inside the program, with no viewer asked
    rig.folder.write(helpPageName, "<html></html>");
    EXPECT_TRUE(panel.Help1Click());
    EXPECT_EQ(rig.openedDocuments.size(), 2u);
    ASSERT_EQ(rig.helpPages.size(), 1u);
    EXPECT_TRUE(fs::equivalent(rig.helpPages[0], rig.folder.path(helpPageName)));
}

// The front ends pass the pointer on in face pixels; what it does is decided here.
TEST(Pointer, ThePartUnderItDecidesAndASecondPressWaitsForTheFirst) {
    WindowRig rig;
    startOn(rig);
    MainPanel& panel = rig.panel();
    const KeyRect seven = keyTable[keyIndexForLegend("7")].face;
    const int keyX = seven.left + seven.width() / 2, keyY = seven.top + 5;
    const ImageComponent& display = panel.face()[FacePart::dispImage];
    const int plainX = 30, plainY = 200;  // the face beside the display: no key, no part
    ASSERT_EQ(panel.partAt(plainX, plainY), FacePart::calculatorImage);
    ASSERT_LT(keyIndexAt(plainX, plainY), 0);

    EXPECT_EQ(panel.pointerDown(keyX, keyY, 0), PointerResult::none);
    EXPECT_TRUE(panel.keyHeld()) << "a left press on a key presses it";
    EXPECT_EQ(panel.pointerDown(display.left + 2, display.top + 2, 0), PointerResult::none)
        << "a second press while one is held does nothing";
    panel.pointerUp(keyX, keyY, 0);
    EXPECT_FALSE(panel.keyHeld());

    struct Case {
        int x, y, button;
        bool windowMoves;
        PointerResult result;
    } cases[] = {
        {keyX, keyY, 2, true, PointerResult::openMenu},
        {display.left + 2, display.top + 2, 0, true, PointerResult::dragDisplay},
        {display.left + 2, display.top + 2, 2, true, PointerResult::dragDisplay},
        {display.left + 2, display.top + 2, 2, false, PointerResult::openMenu},
        {display.left + 2, display.top + 2, 0, false, PointerResult::none},
        {plainX, plainY, 0, true, PointerResult::moveWindow},
        {plainX, plainY, 0, false, PointerResult::none},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(panel.pointerDown(c.x, c.y, c.button, c.windowMoves), c.result)
            << c.x << "," << c.y << " button " << c.button;
        EXPECT_FALSE(panel.keyHeld());
        panel.pointerUp(c.x, c.y, c.button);
    }

    // a knob held and dragged to another label's height
    const ImageComponent& knob = panel.face()[FacePart::manSWimage];
    const ImageComponent& norm = panel.face()[FacePart::normImage];
    panel.pointerDown(knob.left + 2, knob.top + 2, 0);
    panel.pointerMove(knob.left + 2, norm.top + norm.height / 2);
    panel.pointerUp(knob.left + 2, norm.top + norm.height / 2, 0);
    EXPECT_EQ(panel.printModePosition(), PrintModePosition::norm);
}

TEST(Drag, TheDisplayMovesTheWindowByTheMouseAndEndsOnRelease) {
    WindowRig rig;
    ASSERT_TRUE(rig.start());
    MainPanel& panel = rig.panel();
    const WindowPosition start = rig.position;
    panel.dispImageMouseDown(10, 5);
    EXPECT_TRUE(panel.dragging());
    panel.dispImageMouseMove(40, -15);
    EXPECT_EQ(rig.position, (WindowPosition{start.left + 30, start.top - 20}));
    // the display moved with the window: the same point of it is under the mouse again
    panel.dispImageMouseMove(10, 5);
    EXPECT_EQ(rig.position, (WindowPosition{start.left + 30, start.top - 20}));
    panel.dispImageMouseUp();
    EXPECT_FALSE(panel.dragging());
    EXPECT_EQ(rig.dragCursor, (std::vector<bool>{true, false}));
    EXPECT_EQ(panel.windowGeometry().left, start.left + 30);
    EXPECT_EQ(panel.windowGeometry().right, start.left + 30 + panel.faceWidth());
    EXPECT_EQ(panel.windowGeometry().top, start.top - 20);
    panel.dispImageMouseMove(50, 50);
    EXPECT_EQ(rig.position, (WindowPosition{start.left + 30, start.top - 20}));
}

TEST(Drag, AFaceReleaseDuringADragEndsItWithoutReleasingTheKey) {
    WindowRig rig;
    startOn(rig);
    MainPanel& panel = rig.panel();
    panel.FormKeyDown('3', {});
    panel.dispImageMouseDown(1, 1);
    panel.calculatorImageMouseUp(true);
    EXPECT_FALSE(panel.dragging());
    EXPECT_TRUE(panel.keyHeld());
    panel.calculatorImageMouseUp(true);
    EXPECT_FALSE(panel.keyHeld());
}

TEST(Drag, EscRecordsTheGeometryBeforeClosing) {
    WindowRig rig;
    ASSERT_TRUE(rig.start());
    rig.position = {321, 123};
    rig.panel().FormKeyDown(vkEscape, {});
    rig.panel().FormKeyUp(vkEscape);
    EXPECT_EQ(rig.panel().windowGeometry().left, 321);
    EXPECT_EQ(rig.panel().windowGeometry().top, 123);
    EXPECT_TRUE(rig.closed);
}

}  // namespace
}  // namespace quorvel
