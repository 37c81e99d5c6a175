#pragma once

namespace quorvel {

// The print head speed dialog (TprMoveFM): its layout in client pixels.
inline constexpr const char* speedDialogCaption = "Set Print Head Speed";
constexpr int speedDialogClientWidth = 330;
constexpr int speedDialogClientHeight = 130;
// A thumb further right is a larger count of run-loop passes a step: a slower head.
constexpr int leftSpeedMinimum = 20;
constexpr int leftSpeedMaximum = 50;
constexpr int rightSpeedMinimum = 3;
constexpr int rightSpeedMaximum = 30;
inline constexpr const char* speedScaleText = "<<<<<  Faster  Slower  >>>>>";

// The dialog without the window. It works on the print head's two speeds, which the head
// reads at its next step.
class PrintHeadSpeedDialog {
  public:
    PrintHeadSpeedDialog(int& leftMoveSpeed, int& rightMoveSpeed);

    // The first activation after creation or a close remembers the speeds and puts the
    // thumbs on them; later activations do nothing. A speed outside its bar's range (a
    // settings file edited by hand) puts the thumb at the nearer end and stays as it is
    // until that bar is scrolled.
    void FormActivate();
    // A scroll of longSB (the printing pass) or shortSB (the return pass) moved its thumb;
    // the speed follows only when the scroll action has ended.
    void longSBScroll(int position, bool endOfScroll);
    void shortSBScroll(int position, bool endOfScroll);
    // "Default": the thumbs go to the default speeds; the speeds change only when a bar
    // next reports the end of a scroll.
    void defButtClick();
    // "Cancel": the speeds of the opening come back. The window closes after it.
    void canBitBtnClick();
    void FormClose() { firstActivation_ = true; }

    int longThumb() const { return longThumb_; }
    int shortThumb() const { return shortThumb_; }

  private:
    int& leftMoveSpeed_;
    int& rightMoveSpeed_;
    bool firstActivation_ = true;
    int savedLeftSpeed_ = 0;
    int savedRightSpeed_ = 0;
    int longThumb_ = leftSpeedMinimum;
    int shortThumb_ = rightSpeedMinimum;
};

}  // namespace quorvel
