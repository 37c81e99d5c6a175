#pragma once

// Drawing helpers for the picture generator: smooth shapes by supersampling, gradients,
// text through FreeType, and PNG output with an alpha channel for cursors and icons.

#include <functional>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

namespace quorvel::pictures {

struct Box {
    double left = 0, top = 0, right = 0, bottom = 0;
    double width() const { return right - left; }
    double height() const { return bottom - top; }
    Box inset(double dx, double dy) const { return {left + dx, top + dy, right - dx, bottom - dy}; }
    Box moved(double dx, double dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
};

using Paint = std::function<Rgb(double x, double y)>;

// The pixels per unit of every drawing below: coordinates, sizes and paints are given in
// face pixels and drawn `drawingScale` times larger, so one design renders sharp at 1x and
// at 2x. The exceptions are blendPixel and fillRoundBoxHard, which work on raw pixels.
double drawingScale();
// Sets the scale for its lifetime.
class DrawingScale {
  public:
    explicit DrawingScale(int scale);
    ~DrawingScale();
    DrawingScale(const DrawingScale&) = delete;
    DrawingScale& operator=(const DrawingScale&) = delete;

  private:
    double previous_;
};

Rgb mix(Rgb a, Rgb b, double t);
Rgb shade(Rgb colour, double factor);  // below 1 darker, above 1 lighter
Paint solid(Rgb colour);
Paint verticalGradient(double top, double bottom, Rgb upper, Rgb lower);

// Mixes a colour into one pixel with the given opacity.
void blendPixel(Bitmap& bitmap, int x, int y, Rgb colour, double opacity);

// True inside a rectangle with rounded corners.
bool insideRoundBox(const Box& box, double radius, double x, double y);

// Fills a rounded rectangle, edges smoothed over 4 x 4 samples a pixel.
void fillRoundBox(Bitmap& bitmap, const Box& box, double radius, const Paint& paint,
                  double opacity = 1.0);
// The same with hard edges, in raw pixels: every pixel is either inside or not.
void fillRoundBoxHard(Bitmap& bitmap, const Box& box, double radius, const Paint& paint);
void fillEllipse(Bitmap& bitmap, const Box& box, const Paint& paint, double opacity = 1.0);
// A straight line of the given width with smoothed edges.
void drawLine(Bitmap& bitmap, double x0, double y0, double x1, double y1, double width, Rgb colour,
              double opacity = 1.0);
// A filled polygon (even-odd rule), smoothed.
void fillPolygon(Bitmap& bitmap, const std::vector<std::pair<double, double>>& points, Rgb colour,
                 double opacity = 1.0);

// Text in DejaVu Sans through FreeType.
class FontRaster {
  public:
    FontRaster(const std::string& regularPath, const std::string& boldPath);
    ~FontRaster();
    FontRaster(const FontRaster&) = delete;
    FontRaster& operator=(const FontRaster&) = delete;

    bool ok() const { return ok_; }

    struct Style {
        double size = 11;  // pixels per em
        bool bold = false;
        double condense = 1.0;  // horizontal scale
    };
    // Advance width of a UTF-8 text.
    double width(const std::string& text, const Style& style);
    // Height of capital letters above the baseline.
    double capHeight(const Style& style);
    // Draws with the baseline at `baseline` and the text starting at `x`.
    void draw(Bitmap& bitmap, double x, double baseline, const std::string& text,
              const Style& style, Rgb colour, double opacity = 1.0);
    // Shrinks (first the size down to `minimumSize`, then the width down to
    // `minimumCondense`) until the text fits into `maximumWidth`.
    Style fit(const std::string& text, Style style, double maximumWidth, double minimumSize,
              double minimumCondense = 0.6);
    // Centred on x, with capitals centred vertically on y.
    void drawCentred(Bitmap& bitmap, double x, double y, const std::string& text,
                     const Style& style, Rgb colour, double opacity = 1.0);

  private:
    void* library_ = nullptr;
    void* faces_[2] = {nullptr, nullptr};
    bool ok_ = false;
};

// Code points of a UTF-8 text.
std::vector<char32_t> decodeUtf8(const std::string& text);

// Writes a picture with an alpha channel, reduced by `factor` in both directions: each
// output pixel is the mean of the factor x factor pixels that are not the key colour, and
// as opaque as the share of them. Factor 1 makes the key colour transparent and nothing
// else.
bool savePngWithAlpha(const std::string& path, const Bitmap& picture, Rgb key, int factor);

}  // namespace quorvel::pictures
