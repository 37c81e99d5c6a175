#include "processor/RunLoop.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "processor/ExecutorInternal.h"

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
// instruction that reached a peripheral, or the word the host wants to be asked at. Between two
// such points the passes have nothing to do but their word; the loop counts them out in advance
// and runs them without looking at the host at all.
//
// The status step after each word gives the same bits again unless a status bit, the print mode
// or the key status bit changed since it last ran: only an instruction that writes status bits or
// a call of the host (which may change anything) can do that, so the step is left out otherwise.
template <bool Observed>
bool runDecoded(MachineState& m, RunLoopHost& host, int burstLength) {
    NotingPeripherals peripherals(host);
    const uint32_t romSize = static_cast<uint32_t>(m.romSize());
    int passesSincePause = 0;
    int passesSinceRefresh = 0;
    bool askBusy = true;
    bool askStop = true;
    bool busy = false;
    // The host was called (or the machine set from outside) since the last status step.
    bool hostCalled = true;
    uint64_t askAtWord = host.askAgainAtWord();
    // Passes ahead with no call of the host before or after their word; the pause and refresh
    // counts include them as soon as they are known.
    int64_t quietPasses = 0;
    for (;;) {
        if (quietPasses > 0) {
            --quietPasses;  // already counted in the pause and refresh counts
        } else {
            ++passesSincePause;
            ++passesSinceRefresh;
            if (passesSincePause > burstLength) {
                passesSincePause = 0;
                host.pause(pauseMilliseconds);
                askBusy = askStop = hostCalled = true;
            }
            if (askBusy) {
                busy = host.printerBusy();
                askBusy = false;
                hostCalled = true;
            }
            if (busy) {
                host.printerTick();
                askBusy = askStop = hostCalled = true;
            }
            if (passesSinceRefresh >= wordsPerRefresh) {
                passesSinceRefresh = 0;
                host.renderDisplay();
                host.processPendingMessages();
                askBusy = askStop = hostCalled = true;
                if (host.requestFlags() != 0) break;
            }
        }

        // A counter outside the ROM (a bank the ROM does not fill) cannot be fetched.
        const int32_t pc = m.programCounter;
        if (static_cast<uint32_t>(pc) >= romSize) [[unlikely]] {
            m.errorText = errorInvalidRom;
            return false;
        }
        m.currentAddress = pc;
        // The next word, or the wrap at the end of the bank.
        if ((pc & 0xFFF) != 0xFFF) [[likely]] {
            m.programCounter = pc + 1;
        } else {
            m.programCounter = jump::nextAddress(pc);
        }
        const DecodedWord& d = decodedWordAt(m, pc);
        executeDecoded(m, d, peripherals);
        // A word that reaches a peripheral is one that may write status bits, so the
        // peripherals' note is looked at only with the status step.
        if (Observed || hostCalled || d.writesStatus) {
            afterInstruction(m);
            hostCalled = false;
            if (peripherals.reached) {
                peripherals.reached = false;
                askBusy = askStop = true;
                // The quiet passes left are not run after all.
                passesSincePause -= static_cast<int>(quietPasses);
                passesSinceRefresh -= static_cast<int>(quietPasses);
                quietPasses = 0;
            }
        }
        ++m.wordsExecuted;

        if constexpr (Observed) {
            if (m.wordObserver(m) && m.errorText.empty()) break;
        }
        if (!m.errorText.empty()) [[unlikely]]
            return false;
        if (quietPasses == 0) {
            if (askStop || m.wordsExecuted >= askAtWord) {
                if (!host.powerSwitchOn() || host.requestFlags() != 0) break;
                askStop = false;
                askAtWord = host.askAgainAtWord();
                hostCalled = true;
            }
            // Quiet until the pass that pauses, the pass that refreshes, or the word at which
            // the host wants to be asked (the check after that word is made again).
            if (!askBusy && !busy) {
                const int64_t toWord = askAtWord > m.wordsExecuted
                                           ? static_cast<int64_t>(std::min<uint64_t>(
                                                 askAtWord - m.wordsExecuted, INT32_MAX))
                                           : 0;
                quietPasses = std::max<int64_t>(
                    0, std::min({static_cast<int64_t>(burstLength) - passesSincePause,
                                 static_cast<int64_t>(wordsPerRefresh - 1) - passesSinceRefresh,
                                 toWord}));
                passesSincePause += static_cast<int>(quietPasses);
                passesSinceRefresh += static_cast<int>(quietPasses);
            }
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
