#pragma once

#include "panel/DisplayCells.h"
#include "platform/Bitmap.h"
#include "processor/MachineState.h"

namespace quorvel {

constexpr int displayImageWidth = 242;
constexpr int displayImageHeight = 18;
constexpr Rgb displayPenColour{200, 0, 0};
constexpr Rgb displayMaskColour{34, 10, 12};

// The blank display drawn when no picture is supplied: a dark glass.
Bitmap blankDisplayPicture();

// Draws the lit segments and points of the cells over what the picture already shows.
void drawDisplayCells(Bitmap& displayImage, const DisplayCells& cells);

// The LED display picture (dispImage), redrawn from the blank picture (maskImage) and the
// machine's display registers whenever the machine marks the display changed. The cells
// follow at once; the picture is drawn when it is next looked at, so a calculator nobody
// watches (the headless one) never draws.
class DisplayRenderer {
  public:
    DisplayRenderer();

    // Redraws when the display is marked changed and clears the mark; false (and nothing
    // drawn) otherwise.
    bool redraw(MachineState& machine);

    const Bitmap& image() const;
    // What the picture shows now.
    const DisplayCells& cells() const { return cells_; }
    int redrawCount() const { return redrawCount_; }

    // The blank display; the window may replace it with its own picture.
    Bitmap maskImage = blankDisplayPicture();

  private:
    mutable Bitmap image_{displayImageWidth, displayImageHeight};
    mutable bool imageStale_ = true;
    DisplayCells cells_ = blankDisplayCells();
    int redrawCount_ = 0;
};

}  // namespace quorvel
