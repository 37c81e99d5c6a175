#include "printer/SpeedDialog.h"

#include <algorithm>

#include "printer/PrintMechanism.h"

namespace quorvel {

PrintHeadSpeedDialog::PrintHeadSpeedDialog(int& leftMoveSpeed, int& rightMoveSpeed)
    : leftMoveSpeed_(leftMoveSpeed), rightMoveSpeed_(rightMoveSpeed) {}

void PrintHeadSpeedDialog::FormActivate() {
    if (!firstActivation_) return;
    firstActivation_ = false;
    savedLeftSpeed_ = leftMoveSpeed_;
    savedRightSpeed_ = rightMoveSpeed_;
    longThumb_ = std::clamp(leftMoveSpeed_, leftSpeedMinimum, leftSpeedMaximum);
    shortThumb_ = std::clamp(rightMoveSpeed_, rightSpeedMinimum, rightSpeedMaximum);
}

void PrintHeadSpeedDialog::longSBScroll(int position, bool endOfScroll) {
    longThumb_ = std::clamp(position, leftSpeedMinimum, leftSpeedMaximum);
    if (endOfScroll) leftMoveSpeed_ = longThumb_;
}

void PrintHeadSpeedDialog::shortSBScroll(int position, bool endOfScroll) {
    shortThumb_ = std::clamp(position, rightSpeedMinimum, rightSpeedMaximum);
    if (endOfScroll) rightMoveSpeed_ = shortThumb_;
}

void PrintHeadSpeedDialog::defButtClick() {
    longThumb_ = defaultLeftMoveSpeed;
    shortThumb_ = defaultRightMoveSpeed;
}

void PrintHeadSpeedDialog::canBitBtnClick() {
    if (firstActivation_) return;  // never opened: nothing was remembered
    leftMoveSpeed_ = savedLeftSpeed_;
    rightMoveSpeed_ = savedRightSpeed_;
}

}  // namespace quorvel
