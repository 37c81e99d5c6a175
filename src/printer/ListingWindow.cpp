#include "printer/ListingWindow.h"

#include <algorithm>

#include "printer/Resampler.h"
#include "printer/RollEntry.h"

namespace quorvel {

WindowPosition listingPlacement(const WindowGeometry& mainWindow, int outerWidth, int screenWidth) {
    WindowPosition position{mainWindow.right, mainWindow.top};
    if (mainWindow.right + outerWidth < screenWidth) return position;
    position.left = mainWindow.left - outerWidth;
    if (position.left <= 0) {
        position.left = (mainWindow.right - mainWindow.left) / 2 - outerWidth / 2;
    }
    return position;
}

PrintListing::PrintListing(RollStore& roll, const CharacterSet& characters)
    : roll_(roll), characters_(characters) {}

bool PrintListing::FormActivate(const WindowGeometry& mainWindow, int outerWidth, int screenWidth,
                                WindowPosition& position) {
    if (!firstActivation_) return false;
    firstActivation_ = false;
    position = listingPlacement(mainWindow, outerWidth, screenWidth);
    UpdatePrint();
    return true;
}

void PrintListing::UpdatePrint() {
    const int last = std::max(0, roll_.size() - listingViewLines);
    scrollMaximum_ = last;
    scrollPosition_ = last;
    redraw();
}

void PrintListing::ScrollBar1Scroll(int position) {
    scrollPosition_ = std::clamp(position, 0, scrollMaximum_);
    redraw();
}

bool PrintListing::clrSBClick(MessageBoxes& messages) {
    if (!messages.confirm(confirmClearText)) return false;
    roll_.clear();
    UpdatePrint();
    return true;
}

void PrintListing::redraw() {
    image_.fill(white);
    shown_.clear();
    const std::vector<std::string>& entries = roll_.rollLines();
    int y = listingFirstLineTop;
    for (size_t i = static_cast<size_t>(scrollPosition_); i < entries.size(); ++i) {
        shown_.push_back({static_cast<int>(i), y});
        if (entries[i] != blankRollLine) {
            clearLineImage(lineImage_, black);
            drawRollEntry(characters_, lineImage_, entries[i]);
            resampleBitmap(listingStripWidth, listingStripHeight, filterLanczos3, 0,
                           lineImage_.bitmap, strip_);
            image_.copyFrom(strip_, 0, 0, strip_.width(), strip_.height(), listingLineLeft, y);
        }
        y += listingLinePitch;
        if (y > listingImageHeight) break;
    }
}

}  // namespace quorvel
