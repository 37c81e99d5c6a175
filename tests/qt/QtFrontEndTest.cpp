#include <gtest/gtest.h>

#include <QAction>
#include <QBitmap>
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
#include "io/ScrambledFile.h"
#include "panel/FaceLayout.h"
#include "support/AssemblerTestSupport.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- keys

TEST(QtKeys, TranslateToTheVirtualKeysOfTheKeyboardMapping) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        int32_t virtualKey;
        int index;  // the key it presses
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
    };
    for (const Case& c : cases) {
        const TranslatedKey key = translateKey(c.key, c.modifiers);
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

// A window over a scratch copy of the built data files, so what it writes stays there.
class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name :
             {"OCMno.dat", "dsplbno.dat", "PMnon.dat", "chdtfl73.dat", "cal73.pfl"}) {
            fs::copy_file(fs::path(QUORVEL_DATA_DIR) / name, folder.path(name));
        }
        window = std::make_unique<MainWindow>(QString::fromStdString(folder.path("")), QString());
        window->modalMessages = false;
    }
    void TearDown() override {
        window->panel().requestPower(false);
        window->close();
    }

    QImage shown() { return window->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QRgb facePixel(int x, int y) {
        const Rgb p = window->panel().face[FacePart::calculatorImage].picture.pixel(x, y);
        return qRgb(p.red, p.green, p.blue);
    }

    test::ScratchFolder folder;
    std::unique_ptr<MainWindow> window;
};

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
        panel.face[FacePart::buttsImage].picture.pixel(sheet.left + 10, sheet.top + 10);
    EXPECT_EQ(shown().pixel(inside), qRgb(pressed.red, pressed.green, pressed.blue));
    QTest::mouseRelease(window.get(), Qt::LeftButton, Qt::NoModifier, inside);
    EXPECT_FALSE(panel.keyHeld());
    EXPECT_EQ(shown().pixel(inside), facePixel(inside.x(), inside.y()));

    // the head and the paper are painted where the printer has them
    const Bitmap& head = panel.face[FacePart::prnHdImage].picture;
    const Rgb headPixel = head.pixel(14, 9);
    EXPECT_EQ(shown().pixel(headRestPosition + 14, 196 + 9),
              qRgb(headPixel.red, headPixel.green, headPixel.blue));
}

TEST_F(Window, ClicksReachTheTopmostPart) {
    ASSERT_TRUE(window->start());
    MainPanel& panel = window->panel();
    EXPECT_EQ(window->partAt(50, 240), FacePart::offImage);
    EXPECT_EQ(window->partAt(60, 195), FacePart::dispImage);
    EXPECT_EQ(window->partAt(500, 100), FacePart::paper97Image);
    EXPECT_EQ(window->partAt(620, 180), FacePart::printFeedImage);
    EXPECT_EQ(window->partAt(120, 232), FacePart::calculatorImage)
        << "the key legend label lets clicks through to the SHIFT key";

    QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 270));
    EXPECT_EQ(panel.requestFlags_, requestPowerOn) << "the ON label asks for power";
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
    EXPECT_EQ(window->panel().windowGeometry.left, before.x() + 30);
}

TEST_F(Window, TheMenuHasTheItemsAndShowsTheChecks) {
    ASSERT_TRUE(window->start());
    QStringList captions;
    for (QAction* action : window->popupMenu().actions()) {
        captions << (action->isSeparator() ? "-" : action->text());
    }
    EXPECT_EQ(captions,
              (QStringList{"Sounds", "Low Battery Display", "Calculator Key Legend", "-",
                           "View Roll", "Print Roll", "Discard Used Roll", "Print Head Speed", "-",
                           "Help", "About", "-", "Minimize", "Close    (Esc)"}));
    QAction* lamp = window->popupMenu().actions()[1];
    lamp->trigger();
    EXPECT_TRUE(window->panel().lowBatteryShown());
    emit window->popupMenu().aboutToShow();
    EXPECT_TRUE(lamp->isChecked());
    EXPECT_TRUE(window->popupMenu().actions()[0]->isChecked()) << "sounds start on";
    window->popupMenu().actions()[10]->trigger();
    EXPECT_EQ(window->shownMessages.back(), "Quorvel Classic Calculator Simulator - v210118");
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
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "0000");
    EXPECT_EQ(lines[7], "0070");
    EXPECT_FALSE(fs::exists(folder.path(rollFileName))) << "closed while off: no roll written";
}

TEST_F(Window, ALineIsOnDiskWithinASecondAndSigtermClosesLikeEsc) {
    const TerminationSignals termination([this] { window->terminationRequested(); });
    ASSERT_TRUE(termination.installed());
    ASSERT_TRUE(window->start());
    window->panel().roll.appendRollLine("5~");
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
    EXPECT_EQ(window->shownMessages, QStringList{"ERROR: Invalid OCM file"});
    EXPECT_FALSE(fs::exists(folder.path(settingsFileName)));
}

}  // namespace
}  // namespace quorvel
