#include "PictureCanvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quorvel::pictures {

namespace {

constexpr int samples = 4;

double scale_ = 1;

uint8_t clampByte(double value) {
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

// Fills the pixels of a bounding box by the share of sub-samples for which `inside` holds.
// `bounds` and the positions given to `inside` and `paint` are in face pixels.
template <typename Inside>
void fillCoverage(Bitmap& bitmap, const Box& bounds, const Paint& paint, double opacity,
                  Inside inside) {
    const double s = scale_;
    const int x0 = std::max(0, static_cast<int>(std::floor(bounds.left * s)));
    const int y0 = std::max(0, static_cast<int>(std::floor(bounds.top * s)));
    const int x1 = std::min(bitmap.width(), static_cast<int>(std::ceil(bounds.right * s)));
    const int y1 = std::min(bitmap.height(), static_cast<int>(std::ceil(bounds.bottom * s)));
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    if (inside((x + (sx + 0.5) / samples) / s, (y + (sy + 0.5) / samples) / s))
                        ++hits;
                }
            }
            if (hits == 0) continue;
            blendPixel(bitmap, x, y, paint((x + 0.5) / s, (y + 0.5) / s),
                       opacity * hits / double(samples * samples));
        }
    }
}

}  // namespace

double drawingScale() {
    return scale_;
}

DrawingScale::DrawingScale(int scale) : previous_(scale_) {
    scale_ = scale;
}

DrawingScale::~DrawingScale() {
    scale_ = previous_;
}

Rgb mix(Rgb a, Rgb b, double t) {
    return {clampByte(a.red + (b.red - a.red) * t), clampByte(a.green + (b.green - a.green) * t),
            clampByte(a.blue + (b.blue - a.blue) * t)};
}

Rgb shade(Rgb colour, double factor) {
    if (factor <= 1) return mix({0, 0, 0}, colour, factor);
    return mix(colour, {255, 255, 255}, factor - 1);
}

Paint solid(Rgb colour) {
    return [colour](double, double) { return colour; };
}

Paint verticalGradient(double top, double bottom, Rgb upper, Rgb lower) {
    return [=](double, double y) {
        const double t = bottom > top ? std::clamp((y - top) / (bottom - top), 0.0, 1.0) : 0.0;
        return mix(upper, lower, t);
    };
}

void blendPixel(Bitmap& bitmap, int x, int y, Rgb colour, double opacity) {
    if (!bitmap.contains(x, y) || opacity <= 0) return;
    if (opacity >= 1) {
        bitmap.setPixel(x, y, colour);
        return;
    }
    bitmap.setPixel(x, y, mix(bitmap.pixel(x, y), colour, opacity));
}

bool insideRoundBox(const Box& box, double radius, double x, double y) {
    if (x < box.left || x >= box.right || y < box.top || y >= box.bottom) return false;
    radius = std::min({radius, box.width() / 2, box.height() / 2});
    const double cx = std::clamp(x, box.left + radius, box.right - radius);
    const double cy = std::clamp(y, box.top + radius, box.bottom - radius);
    const double dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= radius * radius;
}

void fillRoundBox(Bitmap& bitmap, const Box& box, double radius, const Paint& paint,
                  double opacity) {
    fillCoverage(bitmap, box, paint, opacity,
                 [&](double x, double y) { return insideRoundBox(box, radius, x, y); });
}

void fillRoundBoxHard(Bitmap& bitmap, const Box& box, double radius, const Paint& paint) {
    for (int y = std::max(0, int(box.top)); y < std::min(bitmap.height(), int(box.bottom)); ++y) {
        for (int x = std::max(0, int(box.left)); x < std::min(bitmap.width(), int(box.right));
             ++x) {
            if (insideRoundBox(box, radius, x + 0.5, y + 0.5)) {
                bitmap.setPixel(x, y, paint(x + 0.5, y + 0.5));
            }
        }
    }
}

void fillEllipse(Bitmap& bitmap, const Box& box, const Paint& paint, double opacity) {
    const double cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    const double rx = box.width() / 2, ry = box.height() / 2;
    fillCoverage(bitmap, box, paint, opacity, [&](double x, double y) {
        const double dx = (x - cx) / rx, dy = (y - cy) / ry;
        return dx * dx + dy * dy <= 1;
    });
}

void drawLine(Bitmap& bitmap, double x0, double y0, double x1, double y1, double width, Rgb colour,
              double opacity) {
    const double length = std::hypot(x1 - x0, y1 - y0);
    if (length == 0) return;
    const double ux = (x1 - x0) / length, uy = (y1 - y0) / length;
    const double half = width / 2;
    const Box bounds{std::min(x0, x1) - half - 1, std::min(y0, y1) - half - 1,
                     std::max(x0, x1) + half + 1, std::max(y0, y1) + half + 1};
    fillCoverage(bitmap, bounds, solid(colour), opacity, [&](double x, double y) {
        const double along = (x - x0) * ux + (y - y0) * uy;
        const double across = -(x - x0) * uy + (y - y0) * ux;
        return along >= 0 && along <= length && std::abs(across) <= half;
    });
}

void fillPolygon(Bitmap& bitmap, const std::vector<std::pair<double, double>>& points, Rgb colour,
                 double opacity) {
    if (points.size() < 3) return;
    Box bounds{1e9, 1e9, -1e9, -1e9};
    for (auto [x, y] : points) {
        bounds.left = std::min(bounds.left, x);
        bounds.top = std::min(bounds.top, y);
        bounds.right = std::max(bounds.right, x);
        bounds.bottom = std::max(bounds.bottom, y);
    }
    fillCoverage(bitmap, bounds, solid(colour), opacity, [&](double x, double y) {
        bool inside = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const auto [xi, yi] = points[i];
            const auto [xj, yj] = points[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) {
                inside = !inside;
            }
        }
        return inside;
    });
}

// ---------------------------------------------------------------- text

std::vector<char32_t> decodeUtf8(const std::string& text) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t code = c;
        if (c >= 0xF0) {
            extra = 3;
            code = c & 0x07;
        } else if (c >= 0xE0) {
            extra = 2;
            code = c & 0x0F;
        } else if (c >= 0xC0) {
            extra = 1;
            code = c & 0x1F;
        }
        ++i;
        for (int k = 0; k < extra && i < text.size(); ++k, ++i) {
            code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        }
        out.push_back(code);
    }
    return out;
}

namespace {

FT_Face faceOf(void* const faces[2], bool bold) {
    return static_cast<FT_Face>(faces[bold ? 1 : 0]);
}

void setStyle(FT_Face face, const FontRaster::Style& style, double penX) {
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(style.size * 64)), 72, 72);
    FT_Matrix matrix{static_cast<FT_Fixed>(std::lround(style.condense * 0x10000)), 0, 0, 0x10000};
    const double fraction = penX - std::floor(penX);
    FT_Vector delta{static_cast<FT_Pos>(std::lround(fraction * 64)), 0};
    FT_Set_Transform(face, &matrix, &delta);
}

}  // namespace

FontRaster::FontRaster(const std::string& regularPath, const std::string& boldPath) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return;
    library_ = library;
    FT_Face regular = nullptr, bold = nullptr;
    if (FT_New_Face(library, regularPath.c_str(), 0, &regular) != 0) return;
    faces_[0] = regular;
    if (FT_New_Face(library, boldPath.c_str(), 0, &bold) != 0) return;
    faces_[1] = bold;
    ok_ = true;
}

FontRaster::~FontRaster() {
    for (void* face : faces_) {
        if (face) FT_Done_Face(static_cast<FT_Face>(face));
    }
    if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

namespace {

FontRaster::Style scaled(FontRaster::Style style) {
    style.size *= scale_;
    return style;
}

}  // namespace

double FontRaster::width(const std::string& text, const Style& style) {
    FT_Face face = faceOf(faces_, style.bold);
    setStyle(face, scaled(style), 0);
    double total = 0;
    for (char32_t code : decodeUtf8(text)) {
        if (FT_Load_Char(face, code, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0) continue;
        total += face->glyph->advance.x / 64.0;
    }
    return total / scale_;
}

double FontRaster::capHeight(const Style& style) {
    FT_Face face = faceOf(faces_, style.bold);
    setStyle(face, scaled(style), 0);
    if (FT_Load_Char(face, 'H', FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0)
        return style.size * 0.73;
    return face->glyph->metrics.horiBearingY / 64.0 / scale_;
}

void FontRaster::draw(Bitmap& bitmap, double x, double baseline, const std::string& text,
                      const Style& unscaled, Rgb colour, double opacity) {
    const Style style = scaled(unscaled);
    FT_Face face = faceOf(faces_, style.bold);
    double pen = x * scale_;
    const int base = static_cast<int>(std::lround(baseline * scale_));
    for (char32_t code : decodeUtf8(text)) {
        setStyle(face, style, pen);
        if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) continue;
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& image = glyph->bitmap;
        const int originX = static_cast<int>(std::floor(pen)) + glyph->bitmap_left;
        const int originY = base - glyph->bitmap_top;
        for (unsigned row = 0; row < image.rows; ++row) {
            for (unsigned column = 0; column < image.width; ++column) {
                const unsigned char value = image.buffer[row * image.pitch + column];
                if (value) {
                    blendPixel(bitmap, originX + int(column), originY + int(row), colour,
                               opacity * value / 255.0);
                }
            }
        }
        pen += glyph->advance.x / 64.0;
    }
}

FontRaster::Style FontRaster::fit(const std::string& text, Style style, double maximumWidth,
                                  double minimumSize, double minimumCondense) {
    while (style.size > minimumSize && width(text, style) > maximumWidth) style.size -= 0.5;
    while (style.condense > minimumCondense && width(text, style) > maximumWidth) {
        style.condense -= 0.02;
    }
    return style;
}

void FontRaster::drawCentred(Bitmap& bitmap, double x, double y, const std::string& text,
                             const Style& style, Rgb colour, double opacity) {
    const double w = width(text, style);
    draw(bitmap, std::round(x - w / 2), std::round(y + capHeight(style) / 2), text, style, colour,
         opacity);
}

// ---------------------------------------------------------------- PNG with alpha

namespace {

bool writeRgbaPng(std::FILE* file, int width, int height,
                  const std::vector<unsigned char>& pixels) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, &pixels[static_cast<size_t>(y) * width * 4]);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool savePngWithAlpha(const std::string& path, const Bitmap& picture, Rgb key, int factor) {
    const int width = picture.width() / factor, height = picture.height() / factor;
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double r = 0, g = 0, b = 0;
            int count = 0;
            for (int sy = 0; sy < factor; ++sy) {
                for (int sx = 0; sx < factor; ++sx) {
                    const Rgb p = picture.pixel(x * factor + sx, y * factor + sy);
                    if (p == key) continue;
                    r += p.red;
                    g += p.green;
                    b += p.blue;
                    ++count;
                }
            }
            unsigned char* out = &pixels[(static_cast<size_t>(y) * width + x) * 4];
            if (count) {
                out[0] = clampByte(r / count);
                out[1] = clampByte(g / count);
                out[2] = clampByte(b / count);
            }
            out[3] = clampByte(255.0 * count / (factor * factor));
        }
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = writeRgbaPng(file, width, height, pixels);
    return std::fclose(file) == 0 && written;
}

}  // namespace quorvel::pictures
