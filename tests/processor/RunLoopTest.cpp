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
