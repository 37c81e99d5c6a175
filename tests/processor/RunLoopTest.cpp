#include "ProcessorHarness.h"

namespace quorvel::test {
namespace {

class RunLoop : public ::testing::Test {
  protected:
    MachineState m = makeMachine();
    FakePeripherals io;
};

TEST(BurstLength, FollowsTheSpeedSetting) {
    EXPECT_EQ(computeBurstLength(55), 51);
    EXPECT_EQ(computeBurstLength(100), 110);
    EXPECT_EQ(computeBurstLength(0), 10);
    EXPECT_EQ(computeBurstLength(40), 33);
}

TEST_F(RunLoop, NothingAssembledRunsNothing) {
    EXPECT_TRUE(runProgram(m, io, 51, false));
    EXPECT_EQ(m.wordsExecuted, 0u);
    EXPECT_EQ(io.renders, 0);
}

TEST_F(RunLoop, CounterWrapsInsideItsBank) {
    io.powerOn = false;  // stop after one word
    m.programCounter = 4095;
    EXPECT_TRUE(runProgram(m, io, 51, true));
    EXPECT_EQ(m.programCounter, 0);
    m.programCounter = 8191;
    EXPECT_TRUE(runProgram(m, io, 51, true));
    EXPECT_EQ(m.programCounter, 4096);
    EXPECT_EQ(m.currentAddress, 8191);
}

TEST_F(RunLoop, ARequestMadeDuringDispatchEndsTheLoopBeforeTheNextWord) {
    io.flagsAfterDispatches = 2;
    io.flagsToRaise = 1;
    EXPECT_TRUE(runProgram(m, io, 51, true));
    EXPECT_EQ(m.wordsExecuted, 209u) << "the second refresh point comes on pass 210";
    EXPECT_EQ(io.renders, 3) << "a render at each refresh point and one on leaving";
}

// The loop asks the host again only after calling it; a stop raised by an instruction's
// call, or due at a word count, still ends the loop right after that word.
TEST_F(RunLoop, StopsRightAfterTheWordThatRaisedTheStop) {
    struct Case {
        const char* name;
        int32_t word;
        int32_t flagsOnEmptyKeyTest;
        uint64_t stopAtWord;
        uint64_t words;
    } cases[] = {
        {"key test raises the stop", 0xB0A, 0x40, UINT64_MAX, 1},
        {"word count", 0x000, 0, 150, 150},
        {"word count already passed", 0x000, 0, 0, 1},
    };
    for (const Case& c : cases) {
        MachineState machine = makeMachine();
        FakePeripherals host;
        for (RomWord& w : machine.romImage) w.word = c.word;
        host.flagsAfterDispatches = 2;
        host.flagsToRaise = 1;
        host.flagsOnEmptyKeyTest = c.flagsOnEmptyKeyTest;
        host.machine = &machine;
        host.stopAtWord = c.stopAtWord;
        EXPECT_TRUE(runProgram(machine, host, 51, true)) << c.name;
        EXPECT_EQ(machine.wordsExecuted, c.words) << c.name;
    }
}

TEST_F(RunLoop, RunsTheRomAsItStandsAfterAChange) {
    io.powerOn = false;          // stop after one word
    m.romImage[0].word = 0x3FB;  // a + 1 -> a[w]
    EXPECT_TRUE(runProgram(m, io, 51, true));
    m.programCounter = 0;
    m.romImage[0].word = 0x3F8;  // a + 1 -> a[p]
    m.pRegister = 1;
    EXPECT_TRUE(runProgram(m, io, 51, true));
    EXPECT_EQ(m.regA, reg("00000000000011"));
}

TEST_F(RunLoop, PausesOncePerBurst) {
    io.flagsAfterDispatches = 10;
    io.flagsToRaise = 16;
    EXPECT_TRUE(runProgram(m, io, 51, true));
    // 10 refresh points of 105 passes = 1050 passes, one pause every 52
    EXPECT_EQ(io.pauses, 1050 / 52);
}

TEST_F(RunLoop, AnErrorStopsAfterItsInstructionWithoutARender) {
    m.romImage[0].word = 0x602;  // display on (renders once)
    m.romImage[1].word = 0x44E;  // 14 -> p fails
    m.romImage[2].word = 0x000;
    EXPECT_FALSE(runProgram(m, io, 51, true));
    EXPECT_EQ(m.errorText, "ERROR: Invalid P register value");
    EXPECT_EQ(m.wordsExecuted, 2u);
    EXPECT_EQ(m.programCounter, 2);
    EXPECT_EQ(m.statusBits[5], 1) << "the after-instruction step still ran";
    EXPECT_EQ(io.renders, 1);
}

TEST_F(RunLoop, FetchingOutsideTheRomFails) {
    m.romImage.resize(0x1000);
    m.romImage[0x0FF].word = 0x607;  // bank switch into the missing bank
    m.programCounter = 0x0FF;
    EXPECT_FALSE(runProgram(m, io, 51, true));
    EXPECT_EQ(m.errorText, "ERROR: Invalid ROM address");
    EXPECT_EQ(m.programCounter, 0x1100);
}

TEST_F(RunLoop, PrinterTicksBeforeEachInstructionWhileBusy) {
    io.busy = true;
    io.powerOn = false;
    EXPECT_TRUE(runProgram(m, io, 51, true));
    EXPECT_EQ(io.ticks, 1);
    EXPECT_EQ(m.wordsExecuted, 1u);
}

}  // namespace
}  // namespace quorvel::test
