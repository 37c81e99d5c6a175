#pragma once

#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Platform.h"
#include "platform/WindowGeometry.h"
#include "printer/CharacterSet.h"
#include "printer/RollStore.h"

namespace quorvel {

// The listing window (TplistFM): its layout in client pixels.
inline constexpr const char* listingCaption = "Printer Paper";
constexpr int listingClientWidth = 187;
constexpr int listingClientHeight = 413;
constexpr int listingImageWidth = 166;
constexpr int listingImageHeight = 378;
constexpr int listingScrollBarWidth = 21;
constexpr int listingButtonPanelHeight = 35;
constexpr int listingButtonSize = 28;
constexpr int listingClearButtonLeft = 20;
constexpr int listingPrintButtonLeft = 63;
constexpr int listingButtonTop = 3;
// The scroll bar's large step, and the number of lines its range assumes a view shows.
constexpr int listingLargeStep = 20;
constexpr int listingViewLines = 20;

// Each line is drawn 132 x 14 on an 18-pixel pitch, 20 pixels in from the left.
constexpr int listingStripWidth = 132;
constexpr int listingStripHeight = 14;
constexpr int listingLineLeft = 20;
constexpr int listingFirstLineTop = 2;
constexpr int listingLinePitch = 18;

inline constexpr const char* confirmClearText = "Confirm...\r\rDelete print listing";

// Where the listing window goes, beside the main window as last recorded: right of it when
// it fits on the screen, else left of it, else centred on its width. `outerWidth` includes
// the window frame.
WindowPosition listingPlacement(const WindowGeometry& mainWindow, int outerWidth, int screenWidth);

// The listing window without the window: the roll drawn as a scrollable column of lines,
// and the button that empties the roll.
class PrintListing {
  public:
    PrintListing(RollStore& roll, const CharacterSet& characters);

    // The first activation after creation or after a close places the window and shows the
    // end of the roll; true then, with `position` set. Later activations do nothing.
    bool FormActivate(const WindowGeometry& mainWindow, int outerWidth, int screenWidth,
                      WindowPosition& position);
    // The next activation places the window again.
    void FormClose() { firstActivation_ = true; }

    // The scroll range for the roll as it is now, scrolled to its end, and a redraw.
    void UpdatePrint();
    // The scroll bar moved (any kind of scroll): redraw from there.
    void ScrollBar1Scroll(int position);
    // Asks for confirmation; unless the answer is No, empties the roll. True when emptied.
    bool clrSBClick(MessageBoxes& messages);

    int scrollMaximum() const { return scrollMaximum_; }
    int scrollPosition() const { return scrollPosition_; }
    // The drawing area (Image1).
    const Bitmap& image() const { return image_; }

    // The entries the last redraw laid out, with the top of each band.
    struct ShownEntry {
        int entry = 0;
        int top = 0;
    };
    const std::vector<ShownEntry>& shownEntries() const { return shown_; }

  private:
    void redraw();

    RollStore& roll_;
    const CharacterSet& characters_;
    bool firstActivation_ = true;
    int scrollMaximum_ = 0;
    int scrollPosition_ = 0;
    Bitmap image_{listingImageWidth, listingImageHeight};
    LineImage lineImage_;
    Bitmap strip_{listingStripWidth, listingStripHeight};
    std::vector<ShownEntry> shown_;
};

}  // namespace quorvel
