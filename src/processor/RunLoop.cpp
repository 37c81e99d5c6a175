#include "processor/RunLoop.h"

#include <cmath>
#include <numbers>

namespace quorvel {

int computeBurstLength(int speedSetting) {
    const double s = speedSetting;
    const double angle = s / 100.0 * 90.0 * std::numbers::pi / 180.0;
    return static_cast<int>(std::trunc(s * std::sin(angle))) + 10;
}

bool runProgram(MachineState& m, RunLoopHost& host, int burstLength, bool codeAssembled) {
    if (!codeAssembled) return true;
    int passesSincePause = 0;
    int passesSinceRefresh = 0;
    for (;;) {
        if (++passesSincePause > burstLength) {
            passesSincePause = 0;
            host.pause(pauseMilliseconds);
        }
        if (host.printerBusy()) host.printerTick();
        if (++passesSinceRefresh >= wordsPerRefresh) {
            passesSinceRefresh = 0;
            host.renderDisplay();
            host.processPendingMessages();
            if (host.requestFlags() != 0) break;
        }

        // A counter outside the ROM (a bank the ROM does not fill) cannot be fetched.
        if (m.programCounter < 0 || m.programCounter >= m.romSize()) {
            m.errorText = errorInvalidRom;
            return false;
        }
        const int32_t word = m.romImage[static_cast<size_t>(m.programCounter)].word;
        m.currentAddress = m.programCounter;
        if ((m.programCounter & 0xFFF) == 0xFFF) {
            m.programCounter &= 4096;
        } else {
            ++m.programCounter;
        }

        executeWord(m, word, host);
        afterInstruction(m);
        ++m.wordsExecuted;

        if (!m.errorText.empty()) return false;
        if (!host.powerSwitchOn() || host.requestFlags() != 0) break;
    }
    host.renderDisplay();
    return true;
}

}  // namespace quorvel
