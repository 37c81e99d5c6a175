#pragma once

#include "platform/Platform.h"

namespace quorvel {

// Text drawing without a font system, for the headless calculator and the tests: digits,
// blank and minus in a built-in 5 x 7 pixel face, one blank column between characters.
// Other characters take the same room and draw a hollow box.
class PixelText : public TextDrawing {
  public:
    static constexpr int glyphWidth = 5;
    static constexpr int glyphHeight = 7;

    Size measureText(const std::string& text) override;
    void drawText(Bitmap& target, int x, int y, const std::string& text, Rgb colour) override;
};

}  // namespace quorvel
