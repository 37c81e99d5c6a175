#include "support/PrinterTestSupport.h"

#include <gtest/gtest.h>

namespace quorvel::test {

const CharacterSet& builtCharacterSet() {
    static const CharacterSet set = [] {
        CharacterSet loaded;
        RecordingMessages messages;
        EXPECT_TRUE(loaded.loadCharacterSet(73, QUORVEL_DATA_DIR, messages))
            << "the build packs chdtfl73.dat into " << QUORVEL_DATA_DIR;
        return loaded;
    }();
    return set;
}

void PrinterRig::print(const std::vector<int>& codes) {
    machine.printLineBuffer = MachineState::blankPrintLine();
    for (size_t i = 0; i < codes.size() && i < machine.printLineBuffer.size(); ++i) {
        machine.printLineBuffer[i] = codes[i];
    }
    printer.renderPrintLine();
    printer.startPrinting();
}

int PrinterRig::runUntilIdle(int limit) {
    for (int ticks = 0; ticks < limit;) {
        if (!printer.busy()) return ticks;
        printer.printerTick();
        ++ticks;
    }
    return -1;
}

int paperEdgeRow(const Bitmap& paper) {
    for (int y = 0; y < paper.height(); ++y) {
        for (int x = 0; x + 1 < paper.width(); ++x) {
            if (paper.pixel(x, y) != paperWellColour) return y;
        }
    }
    return paper.height();
}

std::vector<int> codesOf(const std::string& digits) {
    std::vector<int> codes;
    for (char d : digits) codes.push_back(4 * (d - '0') + 3);  // as the digit print writes them
    return codes;
}

}  // namespace quorvel::test
