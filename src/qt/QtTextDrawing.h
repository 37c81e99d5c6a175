#pragma once

#include <QFont>

#include "platform/Platform.h"

namespace quorvel {

// Texts in the legend font (bold, 13 pixels) drawn into the core's pictures.
class QtTextDrawing : public TextDrawing {
  public:
    QtTextDrawing();
    Size measureText(const std::string& text) override;
    void drawText(Bitmap& target, int x, int y, const std::string& text, Rgb colour) override;
    const QFont& font() const { return font_; }

  private:
    QFont font_;
};

}  // namespace quorvel
