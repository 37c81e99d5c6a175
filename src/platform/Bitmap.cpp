#include "platform/Bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace quorvel {

Bitmap::Bitmap(int width, int height, Rgb fill) {
    resize(width, height, fill);
}

void Bitmap::resize(int width, int height, Rgb fill) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    if (width_ == 0 || height_ == 0) width_ = height_ = 0;
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
    fillRect(0, 0, width_, height_, colour);
}

void Bitmap::drawLine(int x0, int y0, int x1, int y1, Rgb colour) {
    // Bresenham; the loop stops before plotting the end point.
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    int x = x0;
    int y = y0;
    while (x != x1 || y != y1) {
        setPixel(x, y, colour);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void Bitmap::fillRect(int left, int top, int right, int bottom, Rgb colour) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width_);
    bottom = std::min(bottom, height_);
    for (int y = top; y < bottom; ++y) {
        uint8_t* p = row(y) + left * 3;
        for (int x = left; x < right; ++x, p += 3) {
            p[0] = colour.red;
            p[1] = colour.green;
            p[2] = colour.blue;
        }
    }
}

void Bitmap::drawRectangle(int left, int top, int right, int bottom, Rgb fill, Rgb outline) {
    if (right <= left || bottom <= top) return;
    fillRect(left, top, right, bottom, outline);
    fillRect(left + 1, top + 1, right - 1, bottom - 1, fill);
}

void Bitmap::copyFrom(const Bitmap& source, int sourceX, int sourceY, int width, int height, int x,
                      int y) {
    if (&source == this) {
        const Bitmap copy = source;
        copyFrom(copy, sourceX, sourceY, width, height, x, y);
        return;
    }
    // Trim the block to the part that lies inside both pictures.
    int skipX = std::max({0, -sourceX, -x});
    int skipY = std::max({0, -sourceY, -y});
    const int columns = std::min({width, source.width_ - sourceX, width_ - x}) - skipX;
    const int rows = std::min({height, source.height_ - sourceY, height_ - y}) - skipY;
    if (columns <= 0 || rows <= 0) return;
    for (int r = skipY; r < skipY + rows; ++r) {
        std::memcpy(row(y + r) + (x + skipX) * 3, source.row(sourceY + r) + (sourceX + skipX) * 3,
                    static_cast<size_t>(columns) * 3);
    }
}

void Bitmap::stretchFrom(const Bitmap& source, int sourceX, int sourceY, int sourceWidth,
                         int sourceHeight, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return;
    if (&source == this) {
        const Bitmap copy = source;
        stretchFrom(copy, sourceX, sourceY, sourceWidth, sourceHeight, x, y, width, height);
        return;
    }
    for (int j = 0; j < height; ++j) {
        const int sy = sourceY + static_cast<int>(static_cast<int64_t>(j) * sourceHeight / height);
        if (sy < 0 || sy >= source.height_ || y + j < 0 || y + j >= height_) continue;
        for (int i = 0; i < width; ++i) {
            const int sx =
                sourceX + static_cast<int>(static_cast<int64_t>(i) * sourceWidth / width);
            if (sx < 0 || sx >= source.width_) continue;
            const uint8_t* from = source.row(sy) + sx * 3;
            setPixel(x + i, y + j, {from[0], from[1], from[2]});
        }
    }
}

}  // namespace quorvel
