#include <gtest/gtest.h>

#include <QAction>
#include <QBitmap>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QTest>
#include <csignal>
#include <filesystem>

#include "BitmapImage.h"
#include "MainWindow.h"
#include "QtKeys.h"
#include "QtSoundPlayer.h"
#include "TerminationSignals.h"
#include "WindowFixture.h"
#include "io/ScrambledFile.h"
#include "panel/ClipboardNumber.h"
#include "panel/FaceLayout.h"
#include "support/AssemblerTestSupport.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using test::Window;

// ---------------------------------------------------------------- keys

TEST(QtKeys, TranslateToTheVirtualKeysOfTheKeyboardMapping) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        int32_t virtualKey;
        int index;  // the key it presses
        NativeKeys native = NativeKeys::unknown;
        quint32 scanCode = 0;
        quint32 nativeVirtualKey = 0;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier, pad = Qt::KeypadModifier;
    const Case cases[] = {
        {Qt::Key_2, none, '2', 24},
        {Qt::Key_2, pad, vkNumpad0 + 2, 24},
        {Qt::Key_0, pad, vkNumpad0, 26},
        {Qt::Key_R, none, 'R', 9},
        {Qt::Key_A, none, 'A', -1},
        {Qt::Key_Return, none, vkReturn, 13},
        {Qt::Key_Enter, pad, vkReturn, 13},
        {Qt::Key_Backspace, none, vkBack, 16},
        {Qt::Key_Plus, pad, vkAdd, 34},
        {Qt::Key_Equal, none, vkOemPlus, 34},
        {Qt::Key_Plus, none, vkOemPlus, 34},
        {Qt::Key_Minus, pad, vkSubtract, 32},
        {Qt::Key_Minus, none, vkOemMinus, 32},
        {Qt::Key_Asterisk, pad, vkMultiply, 30},
        {Qt::Key_Slash, pad, vkDivide, 28},
        {Qt::Key_Slash, none, vkOem2, 28},
        {Qt::Key_Period, pad, vkDecimal, 27},
        {Qt::Key_Comma, pad, vkDecimal, 27},
        {Qt::Key_Period, none, vkOemPeriod, 27},
        {Qt::Key_Escape, none, vkEscape, -1},
        {Qt::Key_F1, none, 0, -1},
        // any key with Shift alone, and Shift itself, is the SHIFT key
        {Qt::Key_Asterisk, Qt::ShiftModifier, 0, 0},
        {Qt::Key_Shift, none, vkShift, 0},
        {Qt::Key_5, Qt::ControlModifier, '5', -1},
        {Qt::Key_5, Qt::AltModifier, '5', -1},
        {Qt::Key_5, Qt::MetaModifier, '5', -1},
        {Qt::Key_5, Qt::ShiftModifier | Qt::ControlModifier, '5', -1},
        // digits by their place: Shift+1 typing "!", another layout's unshifted "&", the
        // keypad's arrow under Shift; an X keysym is no Windows virtual key
        {Qt::Key_Exclam, Qt::ShiftModifier, '1', 0, NativeKeys::xkbKeycode, 10, 0x21},
        {Qt::Key_ParenRight, Qt::ShiftModifier, '0', 0, NativeKeys::xkbKeycode, 19, 0x29},
        {Qt::Key_Ampersand, none, '1', 23, NativeKeys::xkbKeycode, 10, 0x26},
        {Qt::Key_End, Qt::ShiftModifier | pad, vkNumpad0 + 1, 0, NativeKeys::xkbKeycode, 87},
        {Qt::Key_End, pad, 0, -1, NativeKeys::xkbKeycode, 87, 0xff9c},  // Num Lock off
        {Qt::Key_A, none, 'A', -1, NativeKeys::xkbKeycode, 38, 0x61},
        {Qt::Key_Exclam, Qt::ShiftModifier, '1', 0, NativeKeys::windowsVirtualKey, 2, '1'},
        {Qt::Key_A, none, 'A', -1, NativeKeys::windowsVirtualKey, 30, 'A'},
        {Qt::Key_Exclam, Qt::ShiftModifier, 0, 0, NativeKeys::unknown, 10, '1'},
    };
    for (const Case& c : cases) {
        const TranslatedKey key =
            translateKey(c.key, c.modifiers, c.native, c.scanCode, c.nativeVirtualKey);
        EXPECT_EQ(key.virtualKey, c.virtualKey) << "Qt key " << std::hex << c.key;
        EXPECT_EQ(keyIndexForVirtualKey(key.virtualKey, key.modifiers), c.index)
            << "Qt key " << std::hex << c.key;
    }
}

// ---------------------------------------------------------------- resources

TEST(QtResources, CarryEverySoundAndPictureTheProgramAsksFor) {
    for (const char* name : {"swc", "swi", "swd", "fed", "prn", "rip"}) {
        QFile file(QString(":/sounds/") + name + ".wav");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray header = file.read(44);
        EXPECT_EQ(header.left(4), "RIFF") << name;
        EXPECT_EQ(header.mid(8, 8), "WAVEfmt ") << name;
        EXPECT_GT(file.size(), 1000) << name;
    }
    int width = 0, height = 0;
    panelPictureSheetSize(width, height);
    const QImage sheet(":/pictures/parts.png");
    EXPECT_EQ(sheet.size(), QSize(width, height));
    for (const char* name : {":/cursors/cursor-open.png", ":/cursors/cursor-closed.png"}) {
        const QImage cursor(name);
        EXPECT_EQ(cursor.size(), QSize(32, 32)) << name;
        EXPECT_EQ(qAlpha(cursor.pixel(0, 0)), 0) << name << " is see-through around the hand";
        EXPECT_EQ(qAlpha(cursor.pixel(16, 20)), 255) << name << " has an opaque palm";
    }
    EXPECT_FALSE(QImage(":/pictures/quorvel.png").isNull());
}

TEST(QtSoundPlayer, FindsSoundsWithoutRegardToCaseAndIgnoresUnknownNames) {
    QtSoundPlayer player;
    player.playSound("SWC");
    EXPECT_EQ(player.lastPlayed(), "swc");
    player.playSound("Rip");
    EXPECT_EQ(player.lastPlayed(), "rip");
    player.playSound("none");
    player.playSound("");
    EXPECT_EQ(player.lastPlayed(), "rip");
}

TEST(BitmapImage, WrapsTheRowsWithoutCopying) {
    Bitmap bitmap(5, 3, {10, 20, 30});
    bitmap.setPixel(4, 2, {200, 100, 50});
    const QImage image = imageOf(bitmap);
    EXPECT_EQ(image.constBits(), bitmap.data());
    EXPECT_EQ(image.pixel(4, 2), qRgb(200, 100, 50));
    EXPECT_EQ(image.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(bitmapOf(image), bitmap);
}

// ---------------------------------------------------------------- the window

TEST_F(Window, StartsInTheFacesSizeAndOutline) {
    ASSERT_TRUE(window->start());
    MainPanel& panel = window->panel();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->size(), QSize(panel.faceWidth(), panel.faceHeight()));
    EXPECT_EQ(window->windowTitle(), "Quorvel");
    const QRegion outline = window->mask();
    EXPECT_FALSE(outline.contains(QPoint(0, 0))) << "the sky-blue corner is see-through";
    EXPECT_FALSE(outline.contains(QPoint(200, 60))) << "so is the space left of the printer";
    const KeyRect& enter = keyTable[13].face;
    EXPECT_TRUE(outline.contains(QPoint(enter.left + 5, enter.top + 5)));
    EXPECT_TRUE(window->shownMessages.isEmpty());
}

TEST_F(Window, PaintsThePartsOverTheFaceAndThePressedKey) {
    ASSERT_TRUE(window->start());
    MainPanel& panel = window->panel();
    const KeyRect& seven = keyTable[17].face;
    const QPoint inside(seven.left + 10, seven.top + 10);
    EXPECT_EQ(shown().pixel(inside), facePixel(inside.x(), inside.y()));

    QTest::mouseMove(window.get(), inside);
    QTest::mousePress(window.get(), Qt::LeftButton, Qt::NoModifier, inside);
    EXPECT_TRUE(panel.keyHeld());
    const KeyRect& sheet = keyTable[17].picture;
    const Rgb pressed =
        panel.face()[FacePart::buttsImage].picture.pixel(sheet.left + 10, sheet.top + 10);
    EXPECT_EQ(shown().pixel(inside), qRgb(pressed.red, pressed.green, pressed.blue));
    QTest::mouseRelease(window.get(), Qt::LeftButton, Qt::NoModifier, inside);
    EXPECT_FALSE(panel.keyHeld());
    EXPECT_EQ(shown().pixel(inside), facePixel(inside.x(), inside.y()));

    // the head and the paper are painted where the printer has them
    const Bitmap& head = panel.face()[FacePart::prnHdImage].picture;
    const Rgb headPixel = head.pixel(14, 9);
    EXPECT_EQ(shown().pixel(headRestPosition + 14, 196 + 9),
              qRgb(headPixel.red, headPixel.green, headPixel.blue));
}

TEST_F(Window, ClicksReachTheTopmostPart) {
    ASSERT_TRUE(window->start());
    MainPanel& panel = window->panel();
    QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 270));
    EXPECT_EQ(panel.session().pendingRequests(), requestPowerOn) << "the ON label asks for power";
    QTest::mouseClick(window.get(), Qt::RightButton, Qt::NoModifier, QPoint(70, 355));
    EXPECT_EQ(panel.printModePosition(), PrintModePosition::norm) << "any button clicks a label";
    panel.requestPower(false);
}

TEST_F(Window, TheKeyboardPressesAndReleasesAndIgnoresRepeats) {
    ASSERT_TRUE(window->start());
    MainPanel& panel = window->panel();
    QTest::keyPress(window.get(), Qt::Key_2);
    EXPECT_TRUE(panel.keyHeld());
    EXPECT_EQ(panel.keyIndex(), 24);
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_2, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(window.get(), &repeatUp);
    EXPECT_TRUE(panel.keyHeld()) << "an auto-repeat release is no release";
    QTest::keyRelease(window.get(), Qt::Key_2);
    EXPECT_FALSE(panel.keyHeld());
}

TEST_F(Window, DraggingTheDisplayMovesTheWindow) {
    ASSERT_TRUE(window->start());
    window->move(200, 150);
    const QPoint before = window->pos();
    QTest::mousePress(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 195));
    QTest::mouseMove(window.get(), QPoint(90, 175));
    QTest::mouseRelease(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(90, 175));
    EXPECT_EQ(window->pos(), before + QPoint(30, -20));
    EXPECT_FALSE(window->panel().dragging());
    EXPECT_EQ(window->panel().windowGeometry().left, before.x() + 30);
}

TEST_F(Window, TheMenuHasTheItemsAndShowsTheChecks) {
    ASSERT_TRUE(window->start());
    // the window shows the core's menu as it stands, separators included
    QStringList captions, expected;
    for (QAction* action : window->popupMenu().actions()) {
        captions << (action->isSeparator() ? "-" : action->text());
    }
    for (const MenuItem& item : popupMenuItems()) {
        expected << (item.command == MenuCommand::separator ? "-"
                                                            : QString::fromUtf8(item.caption));
    }
    EXPECT_EQ(captions, expected);
    QMenu& menu = window->popupMenu();
    QAction* lamp = menu.findChild<QAction*>("LowPower1");
    lamp->trigger();
    EXPECT_TRUE(window->panel().lowBatteryShown());
    window->panel().zoomPercent = 150;
    emit menu.aboutToShow();
    EXPECT_TRUE(lamp->isChecked());
    EXPECT_TRUE(menu.findChild<QAction*>("Sound1")->isChecked()) << "sounds start on";
    EXPECT_TRUE(menu.findChild<QAction*>("Zoom150")->isChecked());
    EXPECT_FALSE(menu.findChild<QAction*>("Zoom100")->isChecked());
    menu.findChild<QAction*>("About1")->trigger();
    EXPECT_EQ(window->shownMessages.back(), "Quorvel Classic Calculator Simulator - v210118");
}

TEST_F(Window, CtrlCAndCtrlVUseTheClipboardAndSayWhatTheyRefuse) {
    ASSERT_TRUE(window->start());
    MainPanel& panel = window->panel();
    QClipboard* clipboard = QGuiApplication::clipboard();
    struct Case {
        bool on;
        const char* clipboard;
        int key;
        const char* message;  // nullptr: done without one
        const char* after;    // the clipboard afterwards
    };
    const Case cases[] = {
        {false, "12", Qt::Key_C, messageCopyWhileOff, "12"},
        {false, "12", Qt::Key_V, messagePasteWhileOff, "12"},
        {true, "abc", Qt::Key_V, "Not a number: abc", "abc"},
        {true, "x", Qt::Key_C, nullptr, "0.3333333333"},
        {true, "-1.5e3", Qt::Key_V, nullptr, "-1.5e3"},
    };
    // X = 0.3333333333, for Copy
    Register& x = panel.session().machine().ram[xRamRegister];
    x.fill(3);
    x[13] = 0;
    x[2] = x[1] = x[0] = 9;
    for (const Case& c : cases) {
        // the power switch alone, without running the processor
        PanelSettings settings = panel.currentSettings();
        settings.power = c.on ? PowerPosition::on : PowerPosition::off;
        panel.applySettings(settings);
        window->shownMessages.clear();
        clipboard->setText(c.clipboard);
        const size_t waiting = panel.session().typeAhead().size();
        QTest::keyClick(window.get(), static_cast<Qt::Key>(c.key), Qt::ControlModifier);
        EXPECT_EQ(window->shownMessages, c.message ? QStringList{c.message} : QStringList{})
            << c.clipboard;
        EXPECT_EQ(clipboard->text(), c.after);
        EXPECT_EQ(panel.session().typeAhead().size() > waiting, c.key == Qt::Key_V && !c.message)
            << c.clipboard;
    }
    PanelSettings off = panel.currentSettings();
    off.power = PowerPosition::off;
    panel.applySettings(off);
}

TEST_F(Window, ZoomDrawsTheFaceSharpAndScalesTheOutlineAndTheHitTests) {
    ASSERT_TRUE(window->start());
    MainPanel& panel = window->panel();
    const QImage face2x = QImage(":/pictures/face@2x.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(face2x.isNull());
    window->setZoom(200);
    EXPECT_EQ(window->size(), QSize(panel.faceWidth() * 2, panel.faceHeight() * 2));
    const KeyRect& seven = keyTable[17].face;
    const QPoint inside(seven.left + 10, seven.top + 10);
    EXPECT_EQ(shown().pixel(inside * 2 + QPoint(1, 0)), face2x.pixel(inside * 2 + QPoint(1, 0)))
        << "the face from its 2x picture, not its pixels doubled";
    EXPECT_FALSE(window->mask().contains(QPoint(1, 1)));
    EXPECT_TRUE(window->mask().contains(inside * 2));
    QTest::mouseMove(window.get(), inside * 2);
    QTest::mousePress(window.get(), Qt::LeftButton, Qt::NoModifier, inside * 2);
    EXPECT_TRUE(panel.keyHeld());
    EXPECT_EQ(panel.keyIndex(), 17);
    QTest::mouseRelease(window.get(), Qt::LeftButton, Qt::NoModifier, inside * 2);

    window->setZoom(150);
    EXPECT_EQ(window->size(),
              QSize(qRound(panel.faceWidth() * 1.5), qRound(panel.faceHeight() * 1.5)));
    window->setZoom(100);
    EXPECT_EQ(window->size(), QSize(panel.faceWidth(), panel.faceHeight()));
    EXPECT_EQ(panel.currentSettings().zoomPercent, 100);
}

TEST_F(Window, EscClosesOnlyWhenItsPressCameHereAndWritesTheSettings) {
    ASSERT_TRUE(window->start());
    window->panel().setPrintMode(PrintModePosition::all, false);
    QMenu& menu = window->popupMenu();
    menu.popup(window->mapToGlobal(QPoint(300, 100)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    QTest::keyPress(&menu, Qt::Key_Escape);
    EXPECT_FALSE(menu.isVisible());
    QTest::keyRelease(window.get(), Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible()) << "the menu took the press: the program runs on";

    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    std::vector<std::string> lines;
    ASSERT_TRUE(loadScrambledList(folder.path(settingsFileName), lines));
    ASSERT_EQ(lines.size(), 13u) << "the nine, the window's place, zoom and Fast";
    EXPECT_EQ(lines[0], "0000");
    EXPECT_EQ(lines[7], "0070");
    EXPECT_FALSE(fs::exists(folder.path(rollFileName))) << "closed while off: no roll written";
}

TEST_F(Window, ALineIsOnDiskWithinASecondAndSigtermClosesLikeEsc) {
    const TerminationSignals termination([this] { window->terminationRequested(); });
    ASSERT_TRUE(termination.installed());
    ASSERT_TRUE(window->start());
    window->panel().session().roll().appendRollLine("5~");
    QTest::qWait(1000);
    std::vector<std::string> lines;
    ASSERT_TRUE(loadScrambledList(folder.path(rollFileName), lines));
    EXPECT_EQ(lines, std::vector<std::string>{"5~"});

    ::raise(SIGTERM);
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 2000);
    EXPECT_TRUE(fs::exists(folder.path(settingsFileName)));
}

TEST_F(Window, AFailedStartShowsItsMessageAndStaysClosed) {
    fs::remove(folder.path("OCMno.dat"));
    EXPECT_FALSE(window->start());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->shownMessages, QStringList{"ERROR: Invalid OCM file: OCMno.dat is missing"});
    EXPECT_FALSE(fs::exists(folder.path(settingsFileName)));
}

}  // namespace
}  // namespace quorvel
