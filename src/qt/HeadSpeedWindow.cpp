#include "HeadSpeedWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <QSignalBlocker>

namespace quorvel {

TprMoveFM::TprMoveFM(int& leftMoveSpeed, int& rightMoveSpeed, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      dialog_(leftMoveSpeed, rightMoveSpeed) {
    setWindowTitle(speedDialogCaption);
    setModal(false);
    setFixedSize(speedDialogClientWidth, speedDialogClientHeight);
    QFont tahoma("Tahoma");
    tahoma.setPixelSize(11);
    setFont(tahoma);

    auto label = [this](int left, int top, const char* text) {
        auto* l = new QLabel(text, this);
        l->move(left, top);
        l->adjustSize();
    };
    label(24, 12, "Left Move");
    label(189, 12, "Right Move");
    label(70, 64, speedScaleText);
    longSB_ = scrollBar(24, 34, leftSpeedMinimum, leftSpeedMaximum);
    shortSB_ = scrollBar(189, 32, rightSpeedMinimum, rightSpeedMaximum);
    watch(longSB_, &PrintHeadSpeedDialog::longSBScroll);
    watch(shortSB_, &PrintHeadSpeedDialog::shortSBScroll);

    auto button = [this](int left, const char* caption, const char* picture) {
        auto* b = new QPushButton(caption, this);
        b->setGeometry(left, 95, 75, 25);
        if (picture) b->setIcon(QIcon(picture));
        b->setAutoDefault(false);
        return b;
    };
    defButt_ = button(24, "Default", nullptr);
    okBitBtn_ = button(154, "OK", ":/pictures/button-ok.png");
    canBitBtn_ = button(235, "Cancel", ":/pictures/button-cancel.png");
    okBitBtn_->setDefault(true);
    connect(defButt_, &QPushButton::clicked, this, [this] {
        dialog_.defButtClick();
        showThumbs();
    });
    connect(okBitBtn_, &QPushButton::clicked, this, [this] { close(); });
    connect(canBitBtn_, &QPushButton::clicked, this, [this] { reject(); });
}

QScrollBar* TprMoveFM::scrollBar(int left, int top, int minimum, int maximum) {
    auto* bar = new QScrollBar(Qt::Horizontal, this);
    bar->setGeometry(left, top, 121, 21);
    bar->setRange(minimum, maximum);
    bar->setPageStep(1);
    return bar;
}

void TprMoveFM::watch(QScrollBar* bar, void (PrintHeadSpeedDialog::*scroll)(int, bool)) {
    // While the thumb is dragged the speed waits for the release; a click on an arrow or
    // the track, a key or the wheel is a whole scroll action of its own.
    connect(bar, &QScrollBar::valueChanged, this, [this, bar, scroll](int position) {
        (dialog_.*scroll)(position, !bar->isSliderDown());
    });
    connect(bar, &QScrollBar::sliderReleased, this,
            [this, bar, scroll] { (dialog_.*scroll)(bar->value(), true); });
}

void TprMoveFM::showThumbs() {
    // Setting a thumb is no scroll action: the speeds stay.
    const QSignalBlocker quietLong(longSB_), quietShort(shortSB_);
    longSB_->setValue(dialog_.longThumb());
    shortSB_->setValue(dialog_.shortThumb());
}

void TprMoveFM::showDialog() {
    if (!isVisible()) {
        dialog_.FormActivate();
        showThumbs();
        const QScreen* screen = QApplication::primaryScreen();
        if (screen) {
            const QRect area = screen->geometry();
            move(area.x() + area.width() / 2 - width() / 2,
                 area.y() + area.height() / 2 - height() / 2);
        }
        show();
    }
    raise();
    activateWindow();
}

void TprMoveFM::reject() {
    dialog_.canBitBtnClick();
    close();
}

void TprMoveFM::closeEvent(QCloseEvent* event) {
    dialog_.FormClose();
    event->accept();
}

}  // namespace quorvel
