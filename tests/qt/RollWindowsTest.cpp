// The listing window, the print head speed dialog and printing the roll, through Qt.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "MainWindow.h"
#include "QtRollPrinter.h"
#include "WindowFixture.h"
#include "printer/RollLines.h"
#include "printer/RollPrinting.h"
#include "support/AssemblerTestSupport.h"
#include "support/PrinterTestSupport.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

using test::lineTextOf;
using test::numberedEntries;

// Pages of a PDF file as Qt's writer lays them out: one page object each.
int pdfPageCount(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QString text = QString::fromLatin1(file.readAll());
    if (!text.startsWith("%PDF-")) return -1;
    return static_cast<int>(text.count(QRegularExpression("/Type\\s*/Page(?![s\\w])")));
}

// Presses Enter on the next question box, once it shows; true when its default was No.
std::shared_ptr<bool> enterOnNextQuestion() {
    auto defaultNo = std::make_shared<bool>(false);
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, defaultNo] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        *defaultNo = box->standardButton(box->defaultButton()) == QMessageBox::No;
        QTest::keyClick(box, Qt::Key_Enter);
        poll->deleteLater();
    });
    poll->start(10);
    return defaultNo;
}

// A print dialog confirmed at once, printing A4 at 600 pixels per inch into a PDF file.
PrintDialogRunner pdfDialog(const std::string& path, int* runs = nullptr) {
    return [path, runs](QPrinter& printer, QWidget*) {
        if (runs) ++*runs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(path));
        printer.setResolution(600);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setFullPage(true);
        return true;
    };
}

TEST(QtRollPictures, TheButtonPicturesAreBuiltIn) {
    struct Case {
        const char* name;
        int size;
    } cases[] = {
        {"button-clear", 22}, {"button-print", 22}, {"button-ok", 16}, {"button-cancel", 16}};
    for (const Case& c : cases) {
        const QImage picture(QString(":/pictures/") + c.name + ".png");
        ASSERT_FALSE(picture.isNull()) << c.name;
        EXPECT_EQ(picture.size(), QSize(c.size, c.size)) << c.name;
        EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0) << c.name << " has a see-through corner";
        EXPECT_EQ(qAlpha(picture.pixel(c.size / 2, c.size / 2 + 1)), 255) << c.name;
    }
}

TEST(QtRollPrinting, APdfOfTheRollHasItsPagesAndADamagedRollWritesNone) {
    struct Case {
        int entries;
        int pages;
    } cases[] = {
        {200, 2}, {38, 1}, {0, 1},  // an empty job: the PDF writer still makes one blank page
    };
    test::ScratchFolder folder;
    for (const Case& c : cases) {
        RollStore roll;
        roll.assign(numberedEntries(c.entries));
        RollPrintDialog dialog;
        const std::string path = folder.path("roll" + std::to_string(c.entries) + ".pdf");
        dialog.runDialog = pdfDialog(path);
        test::RecordingMessages messages;
        EXPECT_TRUE(dialog.printRoll(nullptr, roll, test::builtCharacterSet(), messages));
        EXPECT_EQ(messages.count(), 0u);
        EXPECT_EQ(dialog.printer().pageLayout().orientation(), QPageLayout::Portrait);
        EXPECT_EQ(pdfPageCount(path), c.pages) << c.entries << " entries";
        // lossless pictures, not JPEG
        QFile pdf(QString::fromStdString(path));
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        EXPECT_EQ(bytes.indexOf("/DCTDecode"), -1) << c.entries << " entries";
    }

    RollStore damaged;
    damaged.assign({lineTextOf(test::codesOf("1")), "1~2~three~"});
    RollPrintDialog dialog;
    dialog.runDialog = pdfDialog(folder.path("damaged.pdf"));
    test::RecordingMessages messages;
    EXPECT_FALSE(dialog.printRoll(nullptr, damaged, test::builtCharacterSet(), messages));
    EXPECT_EQ(messages.errors.size(), 1u);
    EXPECT_FALSE(fs::exists(folder.path("damaged.pdf")));

    dialog.runDialog = [](QPrinter&, QWidget*) { return false; };  // cancelled
    EXPECT_FALSE(dialog.printRoll(nullptr, damaged, test::builtCharacterSet(), messages));
    EXPECT_EQ(messages.errors.size(), 1u) << "cancelling prints nothing and says nothing";
}

TEST(QtRollPrinting, TheDeviceReportsThePrintersGeometry) {
    test::ScratchFolder folder;
    QPrinter printer(QPrinter::HighResolution);
    pdfDialog(folder.path("geometry.pdf"))(printer, nullptr);
    printer.setPageOrientation(QPageLayout::Landscape);
    QtRollPrinterDevice device(printer);
    ASSERT_TRUE(device.beginDocument());
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_EQ(device.resolution(), 600);
    EXPECT_NEAR(device.pageWidth(), 4960, 3) << "A4 is 595 x 842 points";
    EXPECT_NEAR(device.pageHeight(), 7016, 3);
    device.abortDocument();
    EXPECT_FALSE(fs::exists(folder.path("geometry.pdf"))) << "an aborted PDF is thrown away";
}

// A started main window.
class RollWindows : public test::Window {
  protected:
    void SetUp() override {
        Window::SetUp();
        ASSERT_TRUE(window->start());
    }
};

TEST_F(RollWindows, ViewRollShowsTheEndOfTheRollAndFollowsIt) {
    MainPanel& panel = window->panel();
    panel.session().roll().assign(numberedEntries(25));
    TplistFM& listing = window->listingWindow();
    EXPECT_FALSE(listing.isVisible()) << "created hidden";
    menuItem("View Roll")->trigger();
    ASSERT_TRUE(listing.isVisible());
    EXPECT_EQ(listing.windowTitle(), "Printer Paper");
    EXPECT_EQ(listing.size(), QSize(187, 413));
    const WindowPosition besideAtStart =
        listingPlacement({window->x(), window->x() + panel.faceWidth(), window->y()},
                         listing.frameGeometry().width(), listing.screen()->geometry().width());
    // (the frame's width is known only once the window shows)
    EXPECT_NEAR(listing.pos().x(), besideAtStart.left, 4)
        << "beside the calculator as it was placed at start-up";
    EXPECT_EQ(listing.pos().y(), besideAtStart.top);
    EXPECT_EQ(listing.scrollBar().geometry(), QRect(166, 0, 21, 378));
    EXPECT_EQ(listing.scrollBar().maximum(), 5);
    EXPECT_EQ(listing.scrollBar().value(), 5);
    EXPECT_EQ(listing.scrollBar().pageStep(), 20);
    EXPECT_FALSE(listing.clearButton().icon().isNull());
    EXPECT_FALSE(listing.printButton().icon().isNull());
    EXPECT_EQ(listing.clearButton().geometry(), QRect(20, 3, 28, 28));

    // What the window paints is the listing's picture.
    const QImage shown =
        listing.grab(QRect(0, 0, 166, 378)).toImage().convertToFormat(QImage::Format_RGB888);
    const Bitmap& image = listing.listing().image();
    for (auto [x, y] : {std::pair{40, 9}, {60, 350}, {5, 5}, {100, 377}}) {
        const Rgb p = image.pixel(x, y);
        EXPECT_EQ(shown.pixel(x, y), qRgb(p.red, p.green, p.blue)) << x << "," << y;
    }

    // The printer going idle refreshes it to the new end.
    listing.scrollBar().setValue(0);
    EXPECT_EQ(listing.listing().scrollPosition(), 0);
    panel.session().roll().appendRollLine(lineTextOf(test::codesOf("77")));
    panel.session().printerWentIdle();
    EXPECT_EQ(listing.scrollBar().maximum(), 6);
    EXPECT_EQ(listing.listing().scrollPosition(), 6);
    EXPECT_EQ(listing.listing().shownEntries().back().entry, 25);

    // After a close it is placed again, beside the main window once a drag recorded it.
    listing.close();
    window->move(300, 100);
    panel.dispImageMouseDown(1, 1);
    panel.dispImageMouseUp();
    menuItem("View Roll")->trigger();
    const WindowPosition beside =
        listingPlacement({300, 300 + panel.faceWidth(), 100}, listing.frameGeometry().width(),
                         listing.screen()->geometry().width());
    EXPECT_EQ(listing.pos(), QPoint(beside.left, beside.top));
    EXPECT_NE(beside.left, 0);

    // Discarding the roll asks first, Enter keeps it, and Yes empties the open listing.
    window->modalMessages = true;
    const auto defaultNo = enterOnNextQuestion();
    menuItem("Discard Used Roll")->trigger();
    EXPECT_TRUE(*defaultNo);
    EXPECT_EQ(panel.session().roll().size(), 26);
    window->modalMessages = false;
    menuItem("Discard Used Roll")->trigger();
    EXPECT_EQ(window->shownMessages.back(), "Discard the 26 printed lines?");
    EXPECT_EQ(listing.scrollBar().maximum(), 0);
    EXPECT_TRUE(listing.listing().shownEntries().empty());
}

TEST_F(RollWindows, TheClearButtonAsksAndEmptiesTheRollButNotTheCounter) {
    MainPanel& panel = window->panel();
    panel.session().roll().assign(numberedEntries(3));
    panel.drawRollCounter();
    const Bitmap counter = panel.face().rollCounterImage();
    menuItem("View Roll")->trigger();
    TplistFM& listing = window->listingWindow();
    window->modalMessages = true;
    const auto defaultNo = enterOnNextQuestion();
    listing.clearButton().click();
    EXPECT_TRUE(*defaultNo);
    EXPECT_EQ(panel.session().roll().size(), 3) << "Enter answers No";
    window->modalMessages = false;
    listing.clearButton().click();
    EXPECT_EQ(window->shownMessages.back(), "Confirm...\n\nDelete print listing");
    EXPECT_EQ(panel.session().roll().size(), 0);
    EXPECT_TRUE(listing.listing().shownEntries().empty());
    EXPECT_EQ(panel.face().rollCounterImage(), counter) << "the face's counter keeps its number";
}

TEST_F(RollWindows, PrintRollAndThePrintButtonPrintThroughTheirOwnDialogs) {
    MainPanel& panel = window->panel();
    panel.session().roll().assign(numberedEntries(181));
    int mainRuns = 0, listingRuns = 0;
    window->printDialog().runDialog = pdfDialog(folder.path("main.pdf"), &mainRuns);
    window->listingWindow().printDialog().runDialog =
        pdfDialog(folder.path("listing.pdf"), &listingRuns);

    menuItem("Print Roll")->trigger();
    EXPECT_EQ(mainRuns, 1);
    EXPECT_EQ(pdfPageCount(folder.path("main.pdf")), 2);

    menuItem("View Roll")->trigger();
    window->listingWindow().printButton().click();
    EXPECT_EQ(listingRuns, 1);
    EXPECT_EQ(pdfPageCount(folder.path("listing.pdf")), 2);
    EXPECT_TRUE(window->shownMessages.isEmpty());

    panel.session().roll().appendRollLine("damaged~");
    menuItem("Print Roll")->trigger();
    ASSERT_EQ(window->shownMessages.size(), 1);
    EXPECT_TRUE(window->shownMessages.back().startsWith("The roll cannot be printed: line 182"));
}

TEST_F(RollWindows, TheSpeedDialogSetsTheHeadSpeedsAndCancelRestoresThem) {
    MainPanel& panel = window->panel();
    panel.session().printer().leftMoveSpeed = 40;
    panel.session().printer().rightMoveSpeed = 10;
    menuItem("Print Head Speed")->trigger();
    TprMoveFM& dialog = window->speedDialog();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), "Set Print Head Speed");
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(dialog.size(), QSize(330, 130));
    EXPECT_EQ(std::pair(dialog.longScrollBar().minimum(), dialog.longScrollBar().maximum()),
              std::pair(20, 50));
    EXPECT_EQ(std::pair(dialog.shortScrollBar().minimum(), dialog.shortScrollBar().maximum()),
              std::pair(3, 30));
    EXPECT_EQ(dialog.longScrollBar().value(), 40);
    EXPECT_EQ(dialog.shortScrollBar().value(), 10);
    EXPECT_TRUE(dialog.okButton().isDefault());
    EXPECT_FALSE(dialog.okButton().icon().isNull());
    EXPECT_FALSE(dialog.cancelButton().icon().isNull());

    // An arrow click is a whole scroll action: the head takes it at once.
    dialog.longScrollBar().triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(panel.session().printer().leftMoveSpeed, 39);
    dialog.shortScrollBar().triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(panel.session().printer().rightMoveSpeed, 3);
    // A dragged thumb waits for the release.
    dialog.longScrollBar().setSliderDown(true);
    dialog.longScrollBar().setSliderPosition(22);
    EXPECT_EQ(panel.session().printer().leftMoveSpeed, 39);
    dialog.longScrollBar().setSliderDown(false);
    EXPECT_EQ(panel.session().printer().leftMoveSpeed, 22);

    dialog.defaultButton().click();
    EXPECT_EQ(dialog.longScrollBar().value(), 47);
    EXPECT_EQ(panel.session().printer().leftMoveSpeed, 22) << "Default moves only the thumbs";

    // Esc is Cancel: the speeds of the opening come back. OK keeps them.
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(panel.session().printer().leftMoveSpeed, 40);
    EXPECT_EQ(panel.session().printer().rightMoveSpeed, 10);
    menuItem("Print Head Speed")->trigger();
    dialog.shortScrollBar().triggerAction(QAbstractSlider::SliderSingleStepAdd);
    dialog.okButton().click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(panel.session().printer().rightMoveSpeed, 11);
}

}  // namespace
}  // namespace quorvel
