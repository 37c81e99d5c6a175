// Random microcode through the run loop: every two input bytes are one ROM word (the
// class and operand, and the address-word mark), the rest of the ROM stays zero. The
// printer is the real mechanism with an empty character set, so arbitrary print codes
// reach it too. The run ends after a bounded number of words.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "printer/CharacterSet.h"
#include "printer/PrintMechanism.h"
#include "printer/RollStore.h"
#include "processor/RunLoop.h"

using namespace quorvel;

namespace {

constexpr uint64_t wordLimit = 20000;

class Host : public RunLoopHost, public PrinterEvents {
  public:
    explicit Host(MachineState& machine) : machine_(machine) {}

    void renderDisplay() override { machine_.displayChanged = false; }
    bool printerAtRest() override { return printer.printerAtRest(); }
    void renderPrintLine() override { printer.renderPrintLine(); }
    void startPrinting() override { printer.startPrinting(); }
    bool printerBusy() override { return printer.busy(); }
    void printerTick() override { printer.printerTick(); }
    void processPendingMessages() override {}
    void pause(int) override {}
    int32_t requestFlags() override { return machine_.wordsExecuted >= wordLimit ? 1 : 0; }
    // The request depends on the words run, so the loop must ask at the limit.
    uint64_t askAgainAtWord() override { return wordLimit; }
    bool powerSwitchOn() override { return true; }

    void printPassStarted() override {}
    void rollLineAdded() override {}
    void printerWentIdle() override {}

    RollStore roll;
    CharacterSet characters;

  private:
    MachineState& machine_;

  public:
    PrintMechanism printer{machine_, roll, characters, *this};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    MachineState machine;
    MachineParameters parameters;
    parameters.ramSize = 64;
    parameters.romSize = 8192;
    sizeMachine(machine, parameters);
    resetMachine(machine);
    clearDataBuffers(machine);
    // The first byte is a key waiting in the queue.
    machine.keyQueue[0] = data[0];
    machine.keyCode = data[0];
    machine.keyReleased = 0;
    for (size_t i = 1; i + 1 < size && i / 2 < machine.romImage.size(); i += 2) {
        RomWord& rom = machine.romImage[i / 2];
        rom.word = ((data[i] & 0x0F) << 8) | data[i + 1];
        rom.addressWord = (data[i] & 0x80) ? 1 : 0;
        if (rom.addressWord) rom.word = ((data[i] & 0x03) << 8) | data[i + 1];
    }
    Host host(machine);
    const bool ok = runProgram(machine, host, 51, true);
    if (ok != machine.errorText.empty()) fuzz::fail("the run's result and its error text differ");
    if (machine.wordsExecuted > wordLimit) fuzz::fail("the run went past its request");
    if (host.roll.size() > rollLineLimit) fuzz::fail("the roll grew past its limit");
    return 0;
}
