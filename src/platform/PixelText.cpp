#include "platform/PixelText.h"

#include <array>
#include <cstdint>

namespace quorvel {

namespace {

using Face = std::array<uint8_t, PixelText::glyphHeight>;

// Rows top first, bit 16 the left pixel.
constexpr std::array<Face, 10> digitFaces = {{
    {14, 17, 19, 21, 25, 17, 14},  // 0
    {4, 12, 4, 4, 4, 4, 14},       // 1
    {14, 17, 1, 2, 4, 8, 31},      // 2
    {31, 2, 4, 2, 1, 17, 14},      // 3
    {2, 6, 10, 18, 31, 2, 2},      // 4
    {31, 16, 30, 1, 1, 17, 14},    // 5
    {6, 8, 16, 30, 17, 17, 14},    // 6
    {31, 1, 2, 4, 8, 8, 8},        // 7
    {14, 17, 17, 14, 17, 17, 14},  // 8
    {14, 17, 17, 15, 1, 2, 12},    // 9
}};
constexpr Face blankFace{};
constexpr Face minusFace{0, 0, 0, 31, 0, 0, 0};
constexpr Face unknownFace{31, 17, 17, 17, 17, 17, 31};

const Face& faceOf(char c) {
    if (c >= '0' && c <= '9') return digitFaces[static_cast<size_t>(c - '0')];
    if (c == ' ') return blankFace;
    if (c == '-') return minusFace;
    return unknownFace;
}

}  // namespace

TextDrawing::Size PixelText::measureText(const std::string& text) {
    if (text.empty()) return {0, glyphHeight};
    return {static_cast<int>(text.size()) * (glyphWidth + 1) - 1, glyphHeight};
}

void PixelText::drawText(Bitmap& target, int x, int y, const std::string& text, Rgb colour) {
    for (char c : text) {
        const Face& face = faceOf(c);
        for (int row = 0; row < glyphHeight; ++row) {
            for (int column = 0; column < glyphWidth; ++column) {
                if ((face[static_cast<size_t>(row)] >> (glyphWidth - 1 - column)) & 1) {
                    target.setPixel(x + column, y + row, colour);
                }
            }
        }
        x += glyphWidth + 1;
    }
}

}  // namespace quorvel
