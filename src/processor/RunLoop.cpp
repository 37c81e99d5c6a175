#include "processor/RunLoop.h"

#include <cmath>
#include <numbers>

namespace quorvel {

int computeBurstLength(int speedSetting) {
    const double s = speedSetting;
    const double angle = s / 100.0 * 90.0 * std::numbers::pi / 180.0;
    return static_cast<int>(std::trunc(s * std::sin(angle))) + 10;
}

namespace {

// Passes the instructions' calls on to the host and notes that the host was reached: what
// the host answers about the printer, the power switch and its requests may then change.
class NotingPeripherals final : public MachinePeripherals {
  public:
    explicit NotingPeripherals(RunLoopHost& host) : host_(host) {}
    void renderDisplay() override {
        reached = true;
        host_.renderDisplay();
    }
    bool printerAtRest() override {
        reached = true;
        return host_.printerAtRest();
    }
    void renderPrintLine() override {
        reached = true;
        host_.renderPrintLine();
    }
    void startPrinting() override {
        reached = true;
        host_.startPrinting();
    }
    void keyTestFoundEmpty() override {
        reached = true;
        host_.keyTestFoundEmpty();
    }

    bool reached = false;

  private:
    RunLoopHost& host_;
};

// The ROM is decoded as it is fetched and kept decoded. Every pass does what it always did: a pause
// after each burst, a printer tick while the printer is busy, a refresh every 105 passes, then one
// word. The host's answers (printer busy, power switch, requests) change only when the host has
// been called, so they are asked again only after a call: a tick, a pause, a refresh, an
// instruction that reached a peripheral, or the word the host wants to be asked at.
template <bool Observed>
bool runDecoded(MachineState& m, RunLoopHost& host, int burstLength) {
    NotingPeripherals peripherals(host);
    const int32_t romSize = m.romSize();
    int passesSincePause = 0;
    int passesSinceRefresh = 0;
    bool askBusy = true;
    bool askStop = true;
    bool busy = false;
    uint64_t askAtWord = host.askAgainAtWord();
    for (;;) {
        if (++passesSincePause > burstLength) {
            passesSincePause = 0;
            host.pause(pauseMilliseconds);
            askBusy = askStop = true;
        }
        if (askBusy) {
            busy = host.printerBusy();
            askBusy = false;
        }
        if (busy) {
            host.printerTick();
            askBusy = askStop = true;
        }
        if (++passesSinceRefresh >= wordsPerRefresh) {
            passesSinceRefresh = 0;
            host.renderDisplay();
            host.processPendingMessages();
            askBusy = askStop = true;
            if (host.requestFlags() != 0) break;
        }

        // A counter outside the ROM (a bank the ROM does not fill) cannot be fetched.
        const int32_t pc = m.programCounter;
        if (pc < 0 || pc >= romSize) {
            m.errorText = errorInvalidRom;
            return false;
        }
        m.currentAddress = pc;
        m.programCounter = (pc & 0xFFF) == 0xFFF ? (pc & 4096) : pc + 1;

        executeDecoded(m, decodedWordAt(m, pc), peripherals);
        afterInstruction(m);
        ++m.wordsExecuted;

        if constexpr (Observed) {
            if (m.wordObserver(m) && m.errorText.empty()) break;
        }
        if (!m.errorText.empty()) return false;
        if (peripherals.reached) {
            peripherals.reached = false;
            askBusy = askStop = true;
        }
        if (askStop || m.wordsExecuted >= askAtWord) {
            if (!host.powerSwitchOn() || host.requestFlags() != 0) break;
            askStop = false;
            askAtWord = host.askAgainAtWord();
        }
    }
    host.renderDisplay();
    return true;
}

}  // namespace

bool runProgram(MachineState& m, RunLoopHost& host, int burstLength, bool codeAssembled) {
    if (!codeAssembled) return true;
    if (m.decodedRom.size() != m.romImage.size())
        m.decodedRom.assign(m.romImage.size(), decodeWord(0));
    return m.wordObserver ? runDecoded<true>(m, host, burstLength)
                          : runDecoded<false>(m, host, burstLength);
}

}  // namespace quorvel
