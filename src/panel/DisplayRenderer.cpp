#include "panel/DisplayRenderer.h"

namespace quorvel {

namespace {

constexpr int cellPitch = 16;
constexpr int firstCellLeft = 6;

struct Segment {
    int x0, y0, x1, y1;
};

// Segments a to g of a cell at x = 0, as lines whose end pixel is not drawn.
constexpr Segment segmentLines[7] = {
    {1, 0, 7, 0},    // a
    {7, 1, 7, 7},    // b
    {7, 8, 7, 14},   // c
    {1, 14, 7, 14},  // d
    {0, 8, 0, 14},   // e
    {0, 1, 0, 7},    // f
    {1, 7, 7, 7},    // g
};

}  // namespace

Bitmap blankDisplayPicture() {
    return Bitmap(displayImageWidth, displayImageHeight, displayMaskColour);
}

void drawDisplayCells(Bitmap& displayImage, const DisplayCells& cells) {
    for (int index = 0; index < displayCellCount; ++index) {
        const int glyph = cells[static_cast<size_t>(index)];
        const int x = firstCellLeft + cellPitch * index;
        if (glyph == glyphPoint) {
            displayImage.drawRectangle(x + 3, 9, x + 5, 11, displayPenColour, displayPenColour);
            continue;
        }
        const int segments = segmentsOfGlyph(glyph);
        for (int s = 0; s < 7; ++s) {
            if (!(segments & (1 << s))) continue;
            const Segment& line = segmentLines[s];
            displayImage.drawLine(x + line.x0, line.y0, x + line.x1, line.y1, displayPenColour);
        }
    }
}

DisplayRenderer::DisplayRenderer() = default;

bool DisplayRenderer::redraw(MachineState& machine) {
    if (!machine.displayChanged) return false;
    machine.displayChanged = false;
    ++redrawCount_;
    cells_ = machine.displayOn ? computeDisplayCells(machine) : blankDisplayCells();
    imageStale_ = true;
    return true;
}

const Bitmap& DisplayRenderer::image() const {
    if (imageStale_) {
        image_.copyFrom(maskImage, 0, 0, maskImage.width(), maskImage.height(), 0, 0);
        drawDisplayCells(image_, cells_);
        imageStale_ = false;
    }
    return image_;
}

}  // namespace quorvel
