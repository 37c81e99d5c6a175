#include "printer/RollStore.h"

#include <algorithm>

#include "io/ScrambledFile.h"
#include "printer/PrintMechanism.h"

namespace quorvel {

Bitmap rollCounterBasePicture() {
    Bitmap picture(rollCounterWidth, rollCounterHeight, rollCounterBaseColour);
    return picture;
}

void RollStore::appendRollLine(const std::string& text) {
    if (size() == rollLineLimit) lines_.erase(lines_.begin());
    lines_.push_back(text);
}

int RollStore::loadRoll(const std::string& path) {
    lines_.clear();
    loaded_ = true;
    std::vector<std::string> lines;
    if (loadScrambledList(path, lines)) lines_ = std::move(lines);
    return size();
}

bool RollStore::saveRoll(const std::string& path) const {
    if (!loaded_) return false;
    return saveScrambledList(path, lines_);
}

void RollStore::drawRollCounter(Bitmap& counterImage, const Bitmap& counterBase,
                                TextDrawing& text) const {
    counterImage.copyFrom(counterBase, 0, 0, counterBase.width(), counterBase.height(), 0, 0);
    const std::string number = std::to_string(size());
    const TextDrawing::Size extent = text.measureText(number);
    const int x = counterImage.width() / 2 - extent.width / 2;
    const int y = counterImage.height() / 2 - extent.height / 2;
    text.drawText(counterImage, x, y, number,
                  size() >= rollLineLimit ? rollCounterFullColour : rollCounterColour);
}

void RollStore::redrawRollTail(int count, PrintMechanism& printer) const {
    count = std::clamp(count, 0, size());
    if (count == 0) return;
    printer.showFreshPaper();
    for (int i = std::max(0, count - redrawnRollLines); i < count; ++i) {
        printer.drawStoredLine(lines_[static_cast<size_t>(i)]);
        for (int row = 0; row < rowsPerRedrawnLine; ++row) printer.advancePaper(false);
    }
}

}  // namespace quorvel
