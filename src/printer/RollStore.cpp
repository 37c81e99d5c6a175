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

int RollStore::loadRoll(const std::string& path, DamagedFile* damage) {
    lines_.clear();
    loaded_ = true;
    protectedPath_.clear();
    if (damage) *damage = DamagedFile{};
    std::vector<std::string> lines;
    const ListFile result = readScrambledList(path, lines);
    if (result == ListFile::notRegular) {
        protectedPath_ = path;
        return 0;
    }
    if (result == ListFile::damaged || result == ListFile::unreadable) {
        DamagedFile found{path, setFileAside(path), static_cast<int>(lines.size())};
        if (found.movedTo.empty()) protectedPath_ = path;
        if (damage) *damage = found;
    }
    if (lines.size() > static_cast<size_t>(rollLineLimit)) {
        lines.erase(lines.begin(), lines.end() - rollLineLimit);
    }
    lines_ = std::move(lines);
    return size();
}

bool RollStore::saveRoll(const std::string& path) const {
    if (!loaded_ || path == protectedPath_) return false;
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
