#pragma once

#include <QDialog>
#include <QPushButton>
#include <QScrollBar>

#include "printer/SpeedDialog.h"

namespace quorvel {

// "Set Print Head Speed": a small dialog that stays on top, with a scroll bar for each
// direction of the head's travel, Default, OK and Cancel. Not modal.
class TprMoveFM : public QDialog {
  public:
    TprMoveFM(int& leftMoveSpeed, int& rightMoveSpeed, QWidget* parent);

    // "Print Head Speed": shows the dialog centred on the screen, or raises it when it is
    // already open.
    void showDialog();

    QScrollBar& longScrollBar() { return *longSB_; }
    QScrollBar& shortScrollBar() { return *shortSB_; }
    QPushButton& defaultButton() { return *defButt_; }
    QPushButton& okButton() { return *okBitBtn_; }
    QPushButton& cancelButton() { return *canBitBtn_; }

  protected:
    // Esc is the Cancel button.
    void reject() override;
    // Closing by the title bar keeps the speeds, as OK does.
    void closeEvent(QCloseEvent* event) override;

  private:
    QScrollBar* scrollBar(int left, int top, int minimum, int maximum);
    // Takes a bar's position into its speed when a scroll action ends.
    void watch(QScrollBar* bar, void (PrintHeadSpeedDialog::*scroll)(int, bool));
    void showThumbs();

    PrintHeadSpeedDialog dialog_;
    QScrollBar* longSB_ = nullptr;
    QScrollBar* shortSB_ = nullptr;
    QPushButton* defButt_ = nullptr;
    QPushButton* okBitBtn_ = nullptr;
    QPushButton* canBitBtn_ = nullptr;
};

}  // namespace quorvel
