#include "printer/PrintMechanism.h"

#include <algorithm>

#include "io/TextUtils.h"
#include "printer/Resampler.h"

namespace quorvel {

namespace {

// The return pass moves the paper on its steps 15, 18, ..., 69: 19 rows a line, while the
// head is in the left part of its way home.
bool paperMovesOnReturnStep(int step) {
    return step >= 15 && step <= 69 && step % 3 == 0;
}

}  // namespace

Bitmap freshRollPicture() {
    Bitmap picture(paperWidth, paperHeight, white);
    picture.fillRect(0, 0, paperWidth, freshPaperTopRow, paperWellColour);
    // A ragged tear: the upper edge row alternates paper and well, the lower one is paper
    // in the shade of the edge.
    for (int x = 0; x < paperWidth; ++x) {
        picture.setPixel(x, freshPaperTopRow, (x / 3) % 2 ? paperWellColour : paperEdgeColour);
        picture.setPixel(x, freshPaperTopRow + 1, paperEdgeColour);
    }
    return picture;
}

PrintMechanism::PrintMechanism(MachineState& machine, RollLineSink& roll,
                               const CharacterSet& characters, PrinterEvents& events)
    : machine_(machine), roll_(roll), characters_(characters), events_(events) {}

void PrintMechanism::resampleLine() {
    resampleBitmap(lineStripWidth, lineStripHeight, filterLanczos3, 0.0f, lineImage.bitmap,
                   lineStrip);
}

void PrintMechanism::renderPrintLine() {
    lineText.clear();
    for (int column = 0; column < printColumns; ++column) {
        const int32_t code = machine_.printLineBuffer[static_cast<size_t>(column)];
        pendingCodes_[static_cast<size_t>(column)] = code;
        lineText += std::to_string(code);
        lineText += '~';
    }
    linePending_ = true;
}

void PrintMechanism::drawPendingLine() {
    if (!linePending_) return;
    linePending_ = false;
    // The same codes again (a print loop) leave the same pixels.
    if (drawnCodesValid_ && drawnCodes_ == pendingCodes_) return;
    drawnCodes_ = pendingCodes_;
    drawnCodesValid_ = true;
    clearLineImage(lineImage, black);
    for (int column = 0; column < printColumns; ++column) {
        const int32_t code = pendingCodes_[static_cast<size_t>(column)];
        characters_.drawGlyph(lineImage, characters_.glyphIndexOf(code), column);
    }
    resampleLine();
}

void PrintMechanism::drawStoredLine(const std::string& text) {
    linePending_ = false;
    drawnCodesValid_ = false;
    clearLineImage(lineImage, black);
    if (text == blankRollLine) return;
    drawRollEntry(characters_, lineImage, text);
    resampleLine();
    copyStripToPaper(printLineLeft, lineStripWidth);
}

void PrintMechanism::startPrinting() {
    if (printerBusy) return;
    events_.printPassStarted();
    printerBusy = true;
}

bool PrintMechanism::lineWaiting() const {
    for (int code : machine_.printLineBuffer) {
        if (code != blankPrintCode) return true;
    }
    return false;
}

void PrintMechanism::copyStripToPaper(int firstPaperColumn, int columns) {
    paper.stretchFrom(lineStrip, firstPaperColumn - printLineLeft, 0, columns, lineStripHeight,
                      firstPaperColumn, printLineTop, columns, paper.height() - 1 - printLineTop);
}

void PrintMechanism::reveal() {
    // The revealed part begins 4 pixels left of the head; strip columns left of 0 have no
    // pixels, and the paper there keeps its white.
    const int revealed = paper.width() + 408 - headPos;
    drawPendingLine();
    copyStripToPaper(printLineLeft + lineStripWidth - revealed, revealed);
    returnStepCount = 0;
}

void PrintMechanism::printerTick() {
    if (--headCountdown > 0) return;
    if (headLeftward) {
        headCountdown = leftMoveSpeed;
        --headPos;
        if (headPos >= headLeftEnd) {
            if ((headPos - headLeftEnd) % 6 == 0) reveal();
        } else {
            headPos = headLeftEnd;
            headLeftward = false;
            platenLeft = parkedLeft;
            roll_.appendRollLine(lineText);
            events_.rollLineAdded();
            machine_.printLineBuffer = MachineState::blankPrintLine();
        }
    } else {
        headCountdown = rightMoveSpeed;
        ++headPos;
        if (headPos <= headRestPosition) {
            advancePaper(true);
        } else {
            headPos = headRestPosition;
            headLeftward = true;
            if (lineWaiting()) {
                events_.printPassStarted();
            } else {
                printerBusy = false;
                events_.printerWentIdle();
            }
        }
    }
    events_.printerMoved();
}

void PrintMechanism::resetPrintHead() {
    headLeftward = true;
    headPos = headRestPosition;
    printerBusy = false;
    headCountdown = defaultLeftMoveSpeed;
    platenLeft = parkedLeft;
    events_.printerMoved();
}

void PrintMechanism::advancePaper(bool fromHeadReturn) {
    if (fromHeadReturn && !paperMovesOnReturnStep(++returnStepCount)) return;
    const int width = paper.width();
    const int height = paper.height();
    if (height < 2) return;
    // Until the first fresh roll the whole window scrolls.
    if (paperTopRow <= 0) paperTopRow = 1;
    if (paperTopRow >= height) paperTopRow = height - 1;
    scrollScratch.copyFrom(paper, 0, paperTopRow, width - 1, height - paperTopRow, 0, 0);
    --paperTopRow;
    paper.copyFrom(scrollScratch, 0, 0, width - 1, height - paperTopRow, 0, paperTopRow);
    paper.drawLine(0, height - 1, width, height - 1, white);
}

void PrintMechanism::showFreshPaper() {
    // The rectangle stops short of the last column and row; neither ever moves.
    paper.copyFrom(freshPaperImage, 0, 0, paper.width() - 1, paper.height() - 1, 0, 0);
    returnStepCount = 0;
    paperTopRow = freshPaperTopRow;
}

void PrintMechanism::takeFreshPaper() {
    freshPaperImage = paper;
    scrollScratch = paper;
}

bool PrintMechanism::feedTick() {
    advancePaper(false);
    advancePaper(false);
    if (--feedCountdown >= 0) return false;
    roll_.appendRollLine(blankRollLine);
    events_.rollLineAdded();
    return true;
}

void PrintMechanism::redrawRollTail(const std::vector<std::string>& lines, int count) {
    count = std::clamp(count, 0, static_cast<int>(lines.size()));
    if (count == 0) return;
    showFreshPaper();
    for (int i = std::max(0, count - redrawnRollLines); i < count; ++i) {
        drawStoredLine(lines[static_cast<size_t>(i)]);
        for (int row = 0; row < rowsPerRedrawnLine; ++row) advancePaper(false);
    }
}

}  // namespace quorvel
