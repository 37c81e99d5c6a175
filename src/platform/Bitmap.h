#pragma once

#include <cstddef>
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

constexpr Rgb white{255, 255, 255};
constexpr Rgb black{0, 0, 0};

// A 24-bit RGB picture with row access. Rows are stored top first, three bytes a pixel
// in the order red, green, blue, with no padding, so a toolkit can wrap the rows without
// copying.
//
// The drawing primitives rasterise exactly and clip to the picture: pixels that would
// fall outside it are skipped, so callers may pass rectangles that reach past an edge.
class Bitmap {
  public:
    Bitmap() = default;
    Bitmap(int width, int height, Rgb fill = white);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }

    // Changes the size; the picture becomes `fill` everywhere.
    void resize(int width, int height, Rgb fill = white);

    uint8_t* row(int y) { return pixels_.data() + static_cast<size_t>(y) * stride(); }
    const uint8_t* row(int y) const { return pixels_.data() + static_cast<size_t>(y) * stride(); }
    int stride() const { return width_ * 3; }
    const uint8_t* data() const { return pixels_.data(); }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // Reading outside the picture gives black; writing outside it does nothing.
    Rgb pixel(int x, int y) const;
    void setPixel(int x, int y, Rgb colour);
    void fill(Rgb colour);

    // A one-pixel line from (x0, y0) towards (x1, y1): the start pixel is drawn, the end
    // pixel is not, so a line to its own start draws nothing.
    void drawLine(int x0, int y0, int x1, int y1, Rgb colour);
    // Columns left..right-1, rows top..bottom-1 in one colour.
    void fillRect(int left, int top, int right, int bottom, Rgb colour);
    // The same area with a one-pixel border in `outline` and the inside in `fill`.
    void drawRectangle(int left, int top, int right, int bottom, Rgb fill, Rgb outline);
    // Copies the width x height block of `source` at (sourceX, sourceY) to (x, y).
    // Source pixels outside the source leave their target untouched. The source may be
    // this picture.
    void copyFrom(const Bitmap& source, int sourceX, int sourceY, int width, int height, int x,
                  int y);
    // Stretches the sourceWidth x sourceHeight block at (sourceX, sourceY) over the
    // width x height block at (x, y) by repeating pixels: target column i takes source
    // column sourceX + i * sourceWidth / width, and the same for rows.
    void stretchFrom(const Bitmap& source, int sourceX, int sourceY, int sourceWidth,
                     int sourceHeight, int x, int y, int width, int height);

    friend bool operator==(const Bitmap&, const Bitmap&) = default;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
};

}  // namespace quorvel
