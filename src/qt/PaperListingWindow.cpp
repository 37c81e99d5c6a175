#include "PaperListingWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QWheelEvent>

#include "BitmapImage.h"

namespace quorvel {

// Image1: shows the listing's picture as it stands.
class TplistFM::DrawingArea : public QWidget {
  public:
    DrawingArea(const PrintListing& listing, QWidget* parent) : QWidget(parent), listing_(listing) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, imageOf(listing_.image()));
    }

  private:
    const PrintListing& listing_;
};

TplistFM::TplistFM(MainPanel& panel, MessageBoxes& messages, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      panel_(panel),
      messages_(messages),
      listing_(panel.session().roll(), panel.session().characterSet()) {
    setWindowTitle(listingCaption);
    setFixedSize(listingClientWidth, listingClientHeight);
    QFont tahoma("Tahoma");
    tahoma.setPixelSize(11);
    setFont(tahoma);

    image1_ = new DrawingArea(listing_, this);
    image1_->setGeometry(0, 0, listingImageWidth, listingImageHeight);

    scrollBar1_ = new QScrollBar(Qt::Vertical, this);
    scrollBar1_->setGeometry(listingImageWidth, 0, listingScrollBarWidth, listingImageHeight);
    scrollBar1_->setRange(0, 0);
    scrollBar1_->setPageStep(listingLargeStep);
    connect(scrollBar1_, &QScrollBar::valueChanged, this, [this](int position) {
        listing_.ScrollBar1Scroll(position);
        image1_->update();
    });

    auto* buttPanel = new QFrame(this);
    buttPanel->setFrameShape(QFrame::StyledPanel);
    buttPanel->setGeometry(0, listingImageHeight, listingClientWidth, listingButtonPanelHeight);
    auto button = [buttPanel](int left, const char* picture, const char* hint) {
        auto* b = new QToolButton(buttPanel);
        b->setGeometry(left, listingButtonTop, listingButtonSize, listingButtonSize);
        b->setIcon(QIcon(picture));
        b->setIconSize(QSize(22, 22));
        b->setAutoRaise(true);
        b->setToolTip(hint);
        return b;
    };
    clrSB_ = button(listingClearButtonLeft, ":/pictures/button-clear.png", "Delete the listing");
    printSB_ = button(listingPrintButtonLeft, ":/pictures/button-print.png", "Print the roll");
    connect(clrSB_, &QToolButton::clicked, this, [this] { clrSBClick(); });
    connect(printSB_, &QToolButton::clicked, this, [this] { printSBClick(); });
}

RollPrintDialog& TplistFM::printDialog() {
    if (!printDialog_) printDialog_ = std::make_unique<RollPrintDialog>();
    return *printDialog_;
}

void TplistFM::showListing() {
    if (isVisible()) return;
    const QScreen* screen =
        parentWidget() ? parentWidget()->screen() : QApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 0;
    WindowPosition position;
    if (listing_.FormActivate(panel_.windowGeometry(), frameGeometry().width(), screenWidth,
                              position)) {
        move(position.left, position.top);
        showScrollRange();
    }
    show();
    raise();
    activateWindow();
}

void TplistFM::UpdatePrint() {
    listing_.UpdatePrint();
    showScrollRange();
    image1_->update();
}

void TplistFM::showScrollRange() {
    const QSignalBlocker quiet(scrollBar1_);
    scrollBar1_->setRange(0, listing_.scrollMaximum());
    scrollBar1_->setValue(listing_.scrollPosition());
    image1_->update();
}

void TplistFM::clrSBClick() {
    if (listing_.clrSBClick(messages_)) {
        panel_.saveRollIfChanged();
        showScrollRange();
    }
}

void TplistFM::printSBClick() {
    printDialog().printRoll(this, panel_.session().roll(), panel_.session().characterSet(),
                            messages_);
}

void TplistFM::closeEvent(QCloseEvent* event) {
    listing_.FormClose();
    event->accept();
}

void TplistFM::wheelEvent(QWheelEvent* event) {
    // The wheel over the lines or the buttons scrolls the listing as over the scroll bar.
    const int lines = -event->angleDelta().y() * QApplication::wheelScrollLines() / 120;
    scrollBar1_->setValue(scrollBar1_->value() + lines);
    event->accept();
}

}  // namespace quorvel
