#pragma once

// Shared by the printer and display tests: a print mechanism on its own with the built
// character set, and helpers to look at the paper.

#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "printer/CharacterSet.h"
#include "printer/PrintMechanism.h"
#include "printer/RollStore.h"
#include "processor/MachineState.h"
#include "support/AssemblerTestSupport.h"

namespace quorvel::test {

class RecordingPrinterEvents : public PrinterEvents {
  public:
    void printPassStarted() override { ++passes; }
    void rollLineAdded() override { ++linesAdded; }
    void printerWentIdle() override { ++idles; }
    void printerMoved() override { ++moves; }

    int passes = 0;
    int linesAdded = 0;
    int idles = 0;
    int moves = 0;
};

// The character set as the build packs it.
const CharacterSet& builtCharacterSet();

// A mechanism with its own machine, roll and events, printing with the built set.
struct PrinterRig {
    MachineState machine;
    RollStore roll;
    RecordingPrinterEvents events;
    PrintMechanism printer{machine, roll, builtCharacterSet(), events};

    // Fills the buffer from column 0 and has the processor's print instructions start it.
    void print(const std::vector<int>& codes);
    // Ticks until the printer is idle; the number of ticks, or -1 past `limit`.
    int runUntilIdle(int limit = 100000);
};

// The topmost paper row that no longer shows only the empty paper well (in the columns
// that scroll), or the paper height when there is none.
int paperEdgeRow(const Bitmap& paper);

// The print codes of a string of digits.
std::vector<int> codesOf(const std::string& digits);

}  // namespace quorvel::test
