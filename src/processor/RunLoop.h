#pragma once

#include <cstdint>

#include "processor/Executor.h"

namespace quorvel {

// Bits of the main window's request flags; any of them ends the run loop.
enum RequestFlag : int32_t {
    requestClose = 1,
    requestPowerOn = 0x10,
    requestPowerOff = 0x20,
    requestRestart = 0x2000,
};

constexpr int wordsPerRefresh = 105;
constexpr int pauseMilliseconds = 5;

// Everything the run loop reaches outside the processor.
class RunLoopHost : public MachinePeripherals {
  public:
    virtual bool printerBusy() = 0;
    virtual void printerTick() = 0;
    virtual void processPendingMessages() = 0;
    virtual void pause(int milliseconds) = 0;
    virtual int32_t requestFlags() = 0;
    virtual bool powerSwitchOn() = 0;
    // The loop asks printerBusy, powerSwitchOn and requestFlags again only after it has
    // called the host; a host whose answers also depend on the words executed names the
    // word count at which to ask anyway.
    virtual uint64_t askAgainAtWord() { return UINT64_MAX; }
};

// Loop passes between two pauses for a speed setting: trunc(S * sin(S/100 * 90 deg)) + 10.
int computeBurstLength(int speedSetting);

// Runs the ROM until a request, a power-off or an error. True unless an instruction set
// the error text. Does nothing (and gives true) when no code has been assembled. The ROM
// is decoded again where romImage changed since the last run.
bool runProgram(MachineState& machine, RunLoopHost& host, int burstLength, bool codeAssembled);

}  // namespace quorvel
