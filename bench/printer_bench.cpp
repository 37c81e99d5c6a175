// The cost of printing a line: drawing the buffer into the line picture and resampling it
// to the paper strip, and the resample alone. Also a whole line's head travel.

#include <benchmark/benchmark.h>

#include <cstdio>

#include "printer/CharacterSet.h"
#include "printer/PrintMechanism.h"
#include "printer/Resampler.h"

using namespace quorvel;

namespace {

class SilentBoxes : public MessageBoxes {
  public:
    void showError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void showInformation(const std::string& text) override { showError(text); }
    bool confirm(const std::string&) override { return true; }
};

class NoEvents : public PrinterEvents {
  public:
    void printPassStarted() override {}
    void rollLineAdded() override {}
    void printerWentIdle() override {}
};

struct Printer {
    Printer() {
        SilentBoxes boxes;
        if (!characters.loadCharacterSet(73, QUORVEL_DATA_DIR, boxes)) {
            std::fprintf(stderr, "no chdtfl73.dat in %s\n", QUORVEL_DATA_DIR);
        }
        // A full line: 20 columns of digits and symbols.
        for (int column = 0; column < printColumns; ++column) {
            machine.printLineBuffer[static_cast<size_t>(column)] = (column * 7 + 3) % 63;
        }
    }
    MachineState machine;
    RollStore roll;
    CharacterSet characters;
    NoEvents events;
    PrintMechanism printer{machine, roll, characters, events};
};

void BM_RenderPrintLine(benchmark::State& state) {
    Printer p;
    for (auto _ : state) {
        p.printer.renderPrintLine();
        p.machine.printLineBuffer[0] ^= 1;  // a new line every time: the full drawing
        p.printer.drawPendingLine();
        benchmark::DoNotOptimize(p.printer.lineStrip.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderPrintLine)->Unit(benchmark::kMicrosecond);

// A print loop in the microcode: a print instruction on every word while the head runs.
void BM_PrintInstructionEveryWord(benchmark::State& state) {
    Printer p;
    p.printer.renderPrintLine();
    p.printer.startPrinting();
    for (auto _ : state) {
        p.printer.renderPrintLine();
        p.printer.startPrinting();
        p.printer.printerTick();
        if (!p.printer.busy()) p.roll.clear();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PrintInstructionEveryWord)->Unit(benchmark::kMicrosecond);

void BM_ResampleLineToStrip(benchmark::State& state) {
    Printer p;
    p.printer.renderPrintLine();
    Bitmap strip;
    for (auto _ : state) {
        resampleBitmap(lineStripWidth, lineStripHeight, filterLanczos3, 0.0f,
                       p.printer.lineImage.bitmap, strip);
        benchmark::DoNotOptimize(strip.data());
    }
}
BENCHMARK(BM_ResampleLineToStrip)->Unit(benchmark::kMicrosecond);

void BM_HeadTravelOfALine(benchmark::State& state) {
    Printer p;
    p.printer.renderPrintLine();
    for (auto _ : state) {
        p.printer.startPrinting();
        while (p.printer.busy()) p.printer.printerTick();
        p.roll.clear();
    }
}
BENCHMARK(BM_HeadTravelOfALine)->Unit(benchmark::kMicrosecond);

}  // namespace
