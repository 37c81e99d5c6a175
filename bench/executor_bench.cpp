// Words per second of the executor on a tight loop of assembled microcode, and of the
// whole headless calculator on a short calculation.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "assembler/Assembler.h"
#include "io/ScrambledFile.h"
#include "panel/HeadlessCalculator.h"
#include "processor/RunLoop.h"

using namespace quorvel;

namespace {

class SilentBoxes : public MessageBoxes {
  public:
    void showError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void showInformation(const std::string& text) override { showError(text); }
    bool confirm(const std::string&) override { return true; }
};

// Runs until a given number of refresh points has passed.
class CountingHost : public RunLoopHost {
  public:
    explicit CountingHost(int refreshPoints) : left_(refreshPoints) {}
    void renderDisplay() override {}
    bool printerAtRest() override { return true; }
    void renderPrintLine() override {}
    void startPrinting() override {}
    bool printerBusy() override { return false; }
    void printerTick() override {}
    void processPendingMessages() override { --left_; }
    void pause(int) override {}
    int32_t requestFlags() override { return left_ <= 0 ? requestClose : 0; }
    bool powerSwitchOn() override { return true; }

  private:
    int left_;
};

// A mix of arithmetic, tests and jumps like the calculator's inner loops.
const char* loopSource = R"(
start:  0 -> c[w]
        0 -> a[w]
loop:   a + 1 -> a[w]
        c + 1 -> c[x]
        if c[x] # 0
          then go to inner
        shift right a[m]
inner:  a exchange b[w]
        a + b -> a[ms]
        jsb sub
        go to loop
sub:    p + 1 -> p
        return
)";

bool assembleLoop(MachineState& machine, InstructionTable& table) {
    SilentBoxes boxes;
    if (!loadInstructionTable(std::string(QUORVEL_DATA_DIR) + "/OCMno.dat", table)) return false;
    const std::string path =
        (std::filesystem::temp_directory_path() / "quorvel-bench-loop.pfl").string();
    std::vector<std::string> lines;
    std::string line;
    for (char c : std::string(loopSource)) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!saveScrambledList(path, lines)) return false;
    MachineParameters p;
    p.ramSize = 64;
    p.romSize = 256;
    sizeMachine(machine, p);
    resetMachine(machine);
    AssemblyJob job;
    job.table = &table;
    job.romImage = &machine.romImage;
    const bool ok = assembleMicrocode(path, job, boxes);
    std::filesystem::remove(path);
    return ok;
}

void ExecutorTightLoop(benchmark::State& state) {
    MachineState machine;
    InstructionTable table;
    if (!assembleLoop(machine, table)) {
        state.SkipWithError("cannot assemble the loop");
        return;
    }
    for (auto _ : state) {
        CountingHost host(1000);
        const uint64_t before = machine.wordsExecuted;
        runProgram(machine, host, 51, true);
        state.SetItemsProcessed(state.items_processed() +
                                static_cast<int64_t>(machine.wordsExecuted - before));
    }
}
BENCHMARK(ExecutorTightLoop)->Unit(benchmark::kMillisecond);

// A whole calculation through the real microcode and the calculator's own key path, key
// by key, on a calculator started once (start-up and tear-down are not timed).
void HeadlessCalculation(benchmark::State& state) {
    HeadlessCalculator calculator(QUORVEL_DATA_DIR);
    if (calculator.start() != HeadlessCalculator::Result::ok) {
        state.SkipWithError("calculator did not start");
        return;
    }
    for (auto _ : state) {
        const uint64_t before = calculator.wordsExecuted();
        calculator.pressKeys({"1", "2", "3", "ENTER", "4", "5", "6", "X", "7", "/"});
        state.SetItemsProcessed(state.items_processed() +
                                static_cast<int64_t>(calculator.wordsExecuted() - before));
    }
}
BENCHMARK(HeadlessCalculation)->Unit(benchmark::kMillisecond);

}  // namespace
