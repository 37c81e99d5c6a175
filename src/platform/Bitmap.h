#pragma once

#include <cstdint>
#include <vector>

namespace quorvel {

// One 24-bit colour.
struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A 24-bit RGB picture with row access. Rows are stored top first, three bytes a pixel
// in the order red, green, blue, with no padding, so a toolkit can wrap the rows without
// copying.
class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, Rgb fill = {255, 255, 255});

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }

    // Changes the size; the picture becomes `fill` everywhere.
    void resize(int width, int height, Rgb fill = {255, 255, 255});

    uint8_t* row(int y) { return pixels_.data() + static_cast<size_t>(y) * stride(); }
    const uint8_t* row(int y) const { return pixels_.data() + static_cast<size_t>(y) * stride(); }
    int stride() const { return width_ * 3; }
    const uint8_t* data() const { return pixels_.data(); }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // Reading outside the picture gives black; writing outside it does nothing.
    Rgb pixel(int x, int y) const;
    void setPixel(int x, int y, Rgb colour);
    void fill(Rgb colour);

    friend bool operator==(const Bitmap&, const Bitmap&) = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
};

}  // namespace quorvel
