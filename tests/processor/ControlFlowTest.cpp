#include <tuple>

#include "ProcessorHarness.h"

namespace quorvel::test {
namespace {

class ControlFlow : public ::testing::Test {
  protected:
    MachineState m = makeMachine();
    FakePeripherals io;
};

TEST_F(ControlFlow, CallUsesThePageOfTheFollowingWord) {
    step(m, io, jsb(0x10), 0x0FF);
    EXPECT_EQ(m.programCounter, 0x110);
    EXPECT_EQ(m.returnStack[0], 0x100);
    EXPECT_EQ(m.returnStack[1], -1);
}

TEST_F(ControlFlow, TwoNestedCallsReturnAndAThirdReturnFails) {
    step(m, io, jsb(0x40), 0x010);
    step(m, io, jsb(0x80), 0x045);
    step(m, io, 0x001, 0x085);
    EXPECT_EQ(m.programCounter, 0x046);
    step(m, io, 0x001, 0x050);
    EXPECT_EQ(m.programCounter, 0x011);
    EXPECT_TRUE(m.errorText.empty());
    step(m, io, 0x001, 0x020);
    EXPECT_EQ(m.errorText, "ERROR: Return encountered with empty stack");
    EXPECT_EQ(m.programCounter, 0x021) << "a failed return leaves the counter alone";
}

TEST_F(ControlFlow, AThirdNestedCallLosesTheOldestReturn) {
    step(m, io, jsb(0x40), 0x010);
    step(m, io, jsb(0x60), 0x040);
    step(m, io, jsb(0x80), 0x060);
    EXPECT_EQ(m.returnStack[0], 0x061);
    EXPECT_EQ(m.returnStack[1], 0x041);
}

TEST_F(ControlFlow, GoToIsTakenOnlyWithoutCarry) {
    m.regA = reg("00000000000009");
    m.regC = reg("00000000000001");
    step(m, io, arith(14, 3), 0x010);  // a + c -> c[w]: no carry out of the word
    step(m, io, gotoWord(0x80));
    EXPECT_EQ(m.programCounter, 0x080);

    m.regC = reg("90000000000000");
    m.regA = reg("10000000000000");
    step(m, io, arith(14, 3), 0x010);  // carry out of digit 13
    EXPECT_EQ(m.carry, 1);
    step(m, io, gotoWord(0x80));
    EXPECT_EQ(m.programCounter, 0x012);
    EXPECT_EQ(m.carry, 0);
}

TEST_F(ControlFlow, OneShotOffsetAddsToTheNextTakenGoTo) {
    m.gotoOffset = 0xF0;
    step(m, io, gotoWord(0x20), 0x230);
    EXPECT_EQ(m.programCounter, 0x210);
    EXPECT_EQ(m.gotoOffset, 0);
}

TEST_F(ControlFlow, BranchAddressTargetsTheBlockOfTheAddressWord) {
    m.ifPending = true;
    m.carry = 0;
    step(m, io, 0x2A0, 0x1405);
    EXPECT_EQ(m.programCounter, 0x16A0);

    m.ifPending = true;
    m.carry = 1;
    step(m, io, 0x2A0, 0x1405);
    EXPECT_EQ(m.programCounter, 0x1406);
}

TEST_F(ControlFlow, TestFollowedByAddressWordBranchesWhenTheConditionHolds) {
    m.regC = reg("00000000000000");
    step(m, io, arith(13, 3), 0x105);  // if c[w] = 0
    EXPECT_TRUE(m.ifPending);
    step(m, io, 0x3F0, 0x106);
    EXPECT_EQ(m.programCounter, 0x3F0);

    m.regC[4] = 1;
    step(m, io, arith(13, 3), 0x105);
    step(m, io, 0x3F0, 0x106);
    EXPECT_EQ(m.programCounter, 0x107);
}

TEST_F(ControlFlow, DelayedSelectsApplyAtTheNextJump) {
    step(m, io, 0xA31, 0x010);  // delayed select rom 3
    step(m, io, gotoWord(0x40), 0x011);
    EXPECT_EQ(m.programCounter, 0x340);

    step(m, io, 0xA12, 0x010);  // delayed select bank 1
    step(m, io, jsb(0x40), 0x811);
    EXPECT_EQ(m.programCounter, 0x1040) << "the bank select first cuts the counter to 11 bits";
}

TEST_F(ControlFlow, GoToIntoTheFirstKilowordOfBankOneFoldsBack) {
    step(m, io, gotoWord(0x20), 0x1050);
    EXPECT_EQ(m.programCounter, 0x020);
    step(m, io, jsb(0x20), 0x1050);
    EXPECT_EQ(m.programCounter, 0x1020);
    step(m, io, gotoWord(0x20), 0x1450);
    EXPECT_EQ(m.programCounter, 0x1420);
}

TEST_F(ControlFlow, ReturnCancelsPendingSelects) {
    step(m, io, jsb(0x40), 0x010);
    step(m, io, 0xA31, 0x040);
    step(m, io, 0xA12, 0x041);
    step(m, io, 0x001, 0x042);
    EXPECT_EQ(m.delayedPageSelect, -1);
    EXPECT_EQ(m.delayedBankSelect, -1);
    step(m, io, gotoWord(0x40), 0x011);
    EXPECT_EQ(m.programCounter, 0x040);
}

TEST_F(ControlFlow, LandingOnAnAddressWordIsAnError) {
    m.romImage[0x080].addressWord = 1;
    step(m, io, gotoWord(0x80), 0x010);
    EXPECT_EQ(m.errorText,
              "ERROR: The program counter is accessing a 10 bit [go to] address that followed a "
              "previous [if] when expecting an instruction");
    m.errorText.clear();
    step(m, io, jsb(0x80), 0x010);
    EXPECT_FALSE(m.errorText.empty());
}

TEST_F(ControlFlow, SelectRomNowChecksTheRomSize) {
    m.romImage.resize(0x400);
    step(m, io, 0xA30, 0x025);  // select rom 3
    EXPECT_EQ(m.programCounter, 0x326);
    EXPECT_TRUE(m.errorText.empty());
    step(m, io, 0xA40, 0x025);
    EXPECT_EQ(m.errorText, "ERROR: Invalid ROM address");
}

TEST_F(ControlFlow, ComputedJumps) {
    m.keyCode = -1;
    step(m, io, 0xB00, 0x210);  // keys -> rom address
    EXPECT_EQ(m.programCounter, 0x200);
    EXPECT_EQ(m.keyCode, 0);

    m.keyCode = 0x45;
    m.flagBits[7] = 1;
    step(m, io, 0xB00, 0x210);
    EXPECT_EQ(m.programCounter, 0x245);
    EXPECT_EQ(m.capturedAddress, 0x05);
    EXPECT_EQ(m.flagBits[7], 0);

    m.regA[2] = 14;
    m.regA[1] = 8;
    step(m, io, 0xB05, 0x1310);  // a -> rom address
    EXPECT_EQ(m.programCounter, 0x1300 + 14 * 16 + 8);

    step(m, io, 0x607, 0x0123);  // bank switch
    EXPECT_EQ(m.programCounter, 0x1124);
}

TEST_F(ControlFlow, CapturedAddressAndOffset) {
    m.gotoOffset = 0x21;
    step(m, io, 0xB01, 0x010);
    EXPECT_EQ(m.capturedAddress, 0x21);
    m.capturedAddress = 0x07;
    step(m, io, 0xB02, 0x010);
    EXPECT_EQ(m.gotoOffset, 0x07);
}

TEST_F(ControlFlow, EveryInstructionButGoToStartsWithCarryClear) {
    m.carry = 1;
    step(m, io, 0x000, 0x010);
    EXPECT_EQ(m.carry, 0);
}

// Words outside the instruction table execute as the family their significant bits name.
TEST_F(ControlFlow, UnlistedWordsActAsTheirFamily) {
    const std::pair<int32_t, int32_t> pairs[] = {
        {0x801, 0x800}, {0x804, 0x803}, {0x60A, 0x602},        {0xA22, 0xA02}, {0xA32, 0xA12},
        {0x510, 0x500}, {0x43F, 0x430}, {0xB1A, 0xB0A},        {0xC18, 0xC00}, {0xCF2, 0xC02},
        {0x0FF, 0x001}, {0x4B0, 0x000}, {0x700, 0x000},        {0xB0D, 0x000}, {0xE32, 0xE12},
        {0xE11, 0x000}, {0x806, 0x000}, {0x903 | 0x40, 0x903},
    };
    auto run = [](int32_t word) {
        MachineState machine = makeMachine();
        FakePeripherals io;
        machine.regA = reg("12345678901234");
        machine.regC = reg("00000000000021");
        machine.regM1 = reg("99999999999999");
        machine.statusBits.assign(16, 1);
        machine.returnStack[0] = 0x42;
        machine.conditionFlags[0] = 1;
        machine.pRegister = 4;
        machine.keyQueue[0] = 12;
        step(machine, io, word, 0x1310);
        return std::make_tuple(machine.regA, machine.regC, machine.regM1, machine.statusBits,
                               machine.programCounter, machine.delayedBankSelect,
                               machine.delayedPageSelect, machine.pRegister, machine.displayOn,
                               machine.dataAddress, machine.errorText, io.renders);
    };
    for (const auto& [alias, word] : pairs) {
        EXPECT_EQ(run(alias), run(word)) << std::hex << alias;
    }
}

TEST_F(ControlFlow, HighBitsOfAWordAreIgnored) {
    m.regA = reg("00000000000005");
    step(m, io, 0xF000 | arith(23, 3), 0x010);  // 0 -> a[w] with junk above bit 11
    EXPECT_EQ(m.regA, Register{});
}

}  // namespace
}  // namespace quorvel::test
