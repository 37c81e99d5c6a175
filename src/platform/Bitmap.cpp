#include "platform/Bitmap.h"

namespace quorvel {

Bitmap::Bitmap(int width, int height, Rgb fill) { resize(width, height, fill); }

void Bitmap::resize(int width, int height, Rgb fill) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    pixels_.assign(static_cast<size_t>(width_) * height_ * 3, 0);
    this->fill(fill);
}

Rgb Bitmap::pixel(int x, int y) const {
    if (!contains(x, y)) return {};
    const uint8_t* p = row(y) + x * 3;
    return {p[0], p[1], p[2]};
}

void Bitmap::setPixel(int x, int y, Rgb colour) {
    if (!contains(x, y)) return;
    uint8_t* p = row(y) + x * 3;
    p[0] = colour.red;
    p[1] = colour.green;
    p[2] = colour.blue;
}

void Bitmap::fill(Rgb colour) {
    for (size_t i = 0; i + 2 < pixels_.size(); i += 3) {
        pixels_[i] = colour.red;
        pixels_[i + 1] = colour.green;
        pixels_[i + 2] = colour.blue;
    }
}

}  // namespace quorvel
