#include "ProcessorHarness.h"

namespace quorvel::test {
namespace {

class Peripheral : public ::testing::Test {
  protected:
    MachineState m = makeMachine();
    FakePeripherals io;
    // Executes a word; a test's pending branch is dropped first, as if its address word had
    // been consumed.
    void run(int32_t word) {
        m.ifPending = false;
        step(m, io, word, 0x100);
    }
};

TEST_F(Peripheral, StatusBitZeroTestCopiesTheAngleFlags) {
    m.radFlag = true;
    m.statusBits[15] = 1;
    run(0x490);  // if s0 = 1
    EXPECT_EQ(m.statusBits[0], 1);
    EXPECT_EQ(m.statusBits[15], 0);
    EXPECT_TRUE(m.ifPending);
    EXPECT_EQ(m.carry, 0);

    m.radFlag = false;
    m.grdFlag = true;
    run(0x420);  // if s0 = 0
    EXPECT_EQ(m.statusBits[0], 0);
    EXPECT_EQ(m.statusBits[15], 1);
    EXPECT_EQ(m.carry, 0);
}

TEST_F(Peripheral, StatusSetClearTestAndClearStatus) {
    run(0x417);  // 1 -> s7
    EXPECT_EQ(m.statusBits[7], 1);
    run(0x427);  // if s7 = 0
    EXPECT_EQ(m.carry, 1);
    run(0x497);  // if s7 = 1
    EXPECT_EQ(m.carry, 0);
    run(0x407);
    EXPECT_EQ(m.statusBits[7], 0);

    std::fill(m.statusBits.begin(), m.statusBits.end(), 1);
    run(0x430);  // clear status spares 1, 2, 5 and 15
    for (int i = 0; i < 16; ++i) {
        const bool spared = i == 1 || i == 2 || i == 5 || i == 15;
        EXPECT_EQ(m.statusBits[i], spared ? 1 : 0) << "bit " << i;
    }
}

TEST_F(Peripheral, PointerWrapsAndLoadConstantStepsDown) {
    m.pRegister = 13;
    run(0x460);
    EXPECT_EQ(m.pRegister, 0);
    run(0x470);
    EXPECT_EQ(m.pRegister, 13);

    m.pRegister = 0;
    run(0x507);  // load constant 7
    EXPECT_EQ(m.regC[0], 7);
    EXPECT_EQ(m.pRegister, 13);
    run(0x50C);  // constants above 9 are stored as they are
    EXPECT_EQ(m.regC[13], 12);
    EXPECT_EQ(m.pRegister, 12);
}

TEST_F(Peripheral, SettingPAboveItsLimitFails) {
    run(0x44D);
    EXPECT_EQ(m.pRegister, 13);
    run(0x44E);
    EXPECT_EQ(m.errorText, "ERROR: Invalid P register value");
    EXPECT_EQ(m.pRegister, 13);
}

TEST_F(Peripheral, PointerTestAgainstZeroAfterTwoEqualSteps) {
    // two increments landing on 1 count as zero
    m.pRegister = 13;
    run(0x460);
    run(0x460);
    EXPECT_EQ(m.pRegister, 1);
    run(0x4A0);  // if p = 0
    EXPECT_EQ(m.carry, 0);

    // two decrements landing on 13 count as zero
    m.pRegister = 1;
    run(0x470);
    run(0x470);
    EXPECT_EQ(m.pRegister, 13);
    run(0x4A0);
    EXPECT_EQ(m.carry, 0);
    run(0x450);  // if p # 0 right after: the history has moved on
    EXPECT_EQ(m.carry, 0);

    // one increment is not enough
    m.pRegister = 0;
    run(0x460);
    run(0x000);
    run(0x4A0);
    EXPECT_EQ(m.carry, 1);

    m.pRegister = 5;
    run(0x4A5);
    EXPECT_EQ(m.carry, 0);
    run(0x455);  // if p # 5
    EXPECT_EQ(m.carry, 1);
}

TEST_F(Peripheral, ClearingASetFlagMarksStatusEleven) {
    run(0x48C);  // 1 -> f4
    EXPECT_EQ(m.flagBits[4], 1);
    run(0x484);  // 0 -> f4
    EXPECT_EQ(m.flagBits[4], 0);
    EXPECT_EQ(m.statusBits[11], 1);
    m.statusBits[11] = 0;
    run(0x484);
    EXPECT_EQ(m.statusBits[11], 0);
}

TEST_F(Peripheral, KeyboardPortTakesTheFirstCode) {
    m.keyQueue = {37, 12, 0, 0, 0, 0, 0};
    m.dataAddress = 255;
    m.regC = reg("99999999999999");
    run(0xC02);  // data -> c
    EXPECT_EQ(m.regC, reg("00000000000370"));
    EXPECT_EQ(m.keyQueue[0], 12);
    EXPECT_EQ(m.keyQueue[1], 0);
    EXPECT_EQ(m.dataAddress, 255);

    m.keyQueue = {148, 0, 0, 0, 0, 0, 0};
    run(0xC04);  // data register 0 -> c reads the port too
    EXPECT_EQ(m.regC[2], 14);
    EXPECT_EQ(m.regC[1], 8);

    run(0xC02);
    EXPECT_EQ(m.regC, Register{});
}

TEST_F(Peripheral, KeyTestNeedsAWaitingReleasedKey) {
    run(0xB0A);
    EXPECT_EQ(m.statusBits[3], 0);
    EXPECT_EQ(io.emptyKeyTests, 1);
    m.keyQueue[0] = 20;
    m.keyReleased = 0;
    run(0xB0A);
    EXPECT_EQ(m.statusBits[3], 0);
    m.keyReleased = 1;
    run(0xB0A);
    EXPECT_EQ(m.statusBits[3], 1);
    EXPECT_EQ(io.emptyKeyTests, 1);
}

TEST_F(Peripheral, RamAddressingAndErrors) {
    m.regC = reg("00000000000033");  // address 3 * 16 + 3 = 51
    run(0xC00);
    EXPECT_EQ(m.dataAddress, 51);
    m.regC = reg("12345678901234");
    run(0xC01);
    EXPECT_EQ(m.ram[51], reg("12345678901234"));

    m.regC = reg("00000000000000");
    run(0xC73);  // c -> data register 7: the group of 48
    EXPECT_EQ(m.dataAddress, 55);
    EXPECT_EQ(m.ram[55], Register{});

    m.dataAddress = 51;
    run(0xC04);  // data register 0 reads the address itself
    EXPECT_EQ(m.regC, reg("12345678901234"));
    m.dataAddress = 51;
    run(0xC03);  // ... but writes to the first of the group
    EXPECT_EQ(m.dataAddress, 48);

    m.regC = reg("000000000000FF");
    run(0xC00);
    EXPECT_EQ(m.dataAddress, 255);
    EXPECT_TRUE(m.errorText.empty());
    run(0xC01);
    EXPECT_EQ(m.errorText, "ERROR: Invalid RAM address  255");

    m.errorText.clear();
    m.regC = reg("00000000000040");  // 64 is just outside
    run(0xC00);
    EXPECT_EQ(m.errorText, "ERROR: Invalid RAM address  64");
}

TEST_F(Peripheral, NegativeDigitsNeverReachOutsideTheRam) {
    m.regC[1] = -1;
    m.regC[0] = 0;
    run(0xC00);
    run(0xC01);
    EXPECT_EQ(m.errorText, "ERROR: Invalid RAM address  -16");
}

TEST_F(Peripheral, ClearDataRegistersClearsOneGroupOfSixteen) {
    for (auto& r : m.ram) r = reg("11111111111111");
    m.dataAddress = 20;
    run(0x604);
    for (int r = 0; r < 64; ++r) {
        EXPECT_EQ(m.ram[r] == Register{}, r >= 16 && r < 32) << "register " << r;
    }
}

TEST_F(Peripheral, ClearRegistersKeepsSaveRegistersAndRam) {
    m.regA = m.regB = m.regC = m.stack1 = m.stack2 = m.stack3 = reg("12345678901234");
    m.regM1 = m.regM2 = reg("55555555555555");
    m.ram[3] = reg("77777777777777");
    run(0x603);
    EXPECT_EQ(m.regA, Register{});
    EXPECT_EQ(m.stack3, Register{});
    EXPECT_EQ(m.regM1, reg("55555555555555"));
    EXPECT_EQ(m.regM2, reg("55555555555555"));
    EXPECT_EQ(m.ram[3], reg("77777777777777"));
}

TEST_F(Peripheral, DisplayInstructions) {
    run(0x602);
    EXPECT_TRUE(m.displayOn);
    EXPECT_TRUE(m.displayChanged);
    EXPECT_EQ(io.renders, 1) << "display on renders at once";
    m.displayChanged = false;
    run(0x600);
    EXPECT_FALSE(m.displayOn);
    EXPECT_TRUE(m.displayChanged);
    run(0x601);
    EXPECT_FALSE(m.displayOn);
    EXPECT_EQ(io.renders, 1);
}

TEST_F(Peripheral, StackAndSaveRegisters) {
    m.regC = reg("00000000000001");
    run(0x900);
    m.regC = reg("00000000000002");
    run(0x900);
    m.regC = reg("00000000000003");
    run(0x900);
    EXPECT_EQ(m.stack1, reg("00000000000003"));
    EXPECT_EQ(m.stack3, reg("00000000000001"));

    m.regC = reg("00000000000009");
    run(0x902);  // down rotate
    EXPECT_EQ(m.regC, reg("00000000000003"));
    EXPECT_EQ(m.stack1, reg("00000000000002"));
    EXPECT_EQ(m.stack3, reg("00000000000009"));

    run(0x901);  // stack -> a; stack3 keeps its value
    EXPECT_EQ(m.regA, reg("00000000000002"));
    EXPECT_EQ(m.stack2, reg("00000000000009"));
    EXPECT_EQ(m.stack3, reg("00000000000009"));

    m.regA = reg("12345678901234");
    run(0x903);
    EXPECT_EQ(m.regA, reg("23456789012341"));
    run(0xB04);  // y -> a
    EXPECT_EQ(m.regA, m.stack1);

    m.regC = reg("00000000000001");
    m.regM1 = reg("00000000000002");
    run(0x800);
    EXPECT_EQ(m.regC, reg("00000000000002"));
    EXPECT_EQ(m.regM1, reg("00000000000001"));
    run(0x803);
    EXPECT_EQ(m.regC, reg("00000000000001"));
    m.regM2 = reg("00000000000005");
    run(0x805);
    EXPECT_EQ(m.regC, reg("00000000000005"));
}

TEST_F(Peripheral, DigitRegisterPrintModeAndHeadTests) {
    m.digitReg = 4;
    m.regA[0] = 7;
    run(0xB06);
    EXPECT_EQ(m.digitReg, 7);
    EXPECT_EQ(m.regA[0], 4);
    run(0xB07);
    EXPECT_EQ(m.regA[0], 7);

    m.printMode = printModeNorm;
    run(0xB03);
    EXPECT_EQ(m.regA[1], 2);

    io.headAtRest = false;
    run(0xB08);
    EXPECT_EQ(m.statusBits[3], 0);
    run(0xB09);
    EXPECT_EQ(m.statusBits[3], 1);
}

TEST_F(Peripheral, PrintingDigitsFillsFromTheRight) {
    run(0xB0C);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(m.printLineBuffer[i], i >= 6 ? 3 : 63) << i;
    EXPECT_EQ(io.printRenders, 1);
    EXPECT_EQ(io.printStarts, 1);

    m.printLineBuffer = MachineState::blankPrintLine();
    m.regC = reg("FEDCBA98765432");
    run(0xB0C);
    EXPECT_EQ(m.printLineBuffer[19], 4 * 2 + 3);
    EXPECT_EQ(m.printLineBuffer[6], 63) << "digit 15 prints as the blank column";
    EXPECT_EQ(m.printLineBuffer[7], 4 * 14 + 3);
}

TEST_F(Peripheral, PackedPrintingTakesSixBitGroupsFromTheRight) {
    // 56 bits: groups from the right end, the tenth overlapping the ninth
    m.regC = reg("00000000000000");
    m.regC[0] = 0x1;  // ...0001
    m.regC[1] = 0x4;  // ...0100 -> bits ...01000001: first group 000001, second ...0001
    run(0xB0B);
    EXPECT_EQ(m.printLineBuffer[19], 1);
    EXPECT_EQ(m.printLineBuffer[18], 1);
    for (int i = 10; i <= 17; ++i) EXPECT_EQ(m.printLineBuffer[i], 0) << i;
    for (int i = 0; i <= 9; ++i) EXPECT_EQ(m.printLineBuffer[i], 63) << i;

    run(0xB0B);  // the second print continues at the highest blank column
    EXPECT_EQ(m.printLineBuffer[9], 1);
    EXPECT_EQ(m.printLineBuffer[0], 0);

    m.printLineBuffer = MachineState::blankPrintLine();
    m.regC = reg("FC000000000000");  // leftmost six bits set
    run(0xB0B);
    EXPECT_EQ(m.printLineBuffer[10], 63) << "the tenth group is the first six bits";
    EXPECT_EQ(m.printLineBuffer[11], 60) << "the ninth group overlaps it: bits 2 to 7";
    EXPECT_EQ(m.printLineBuffer[12], 0);
}

TEST_F(Peripheral, EndOfLineSubstitutionAppliesToColumnEighteen) {
    m.regC = reg("00000000000000");
    m.regC[2] = 0x2;  // second group from the right: digit 2 and the top bits of digit 1
    run(0xB0E);
    EXPECT_EQ(m.printLineBuffer[18], 10);

    m.printLineBuffer = MachineState::blankPrintLine();
    run(0xB0B);  // without substitution
    EXPECT_EQ(m.printLineBuffer[18], 8);
}

TEST_F(Peripheral, PrintCharCodes) {
    EXPECT_EQ(printCharCode(0), 3);
    EXPECT_EQ(printCharCode(9), 39);
    EXPECT_EQ(printCharCode(15), 63);
    EXPECT_EQ(printCharCode(16), 63);
    EXPECT_EQ(printCharCode(-1), 63);
}

TEST_F(Peripheral, ConditionTestsWriteZero) {
    m.statusBits[3] = 1;
    run(0xE12);
    EXPECT_EQ(m.statusBits[3], 0);
}

TEST(AfterInstruction, DrivesStatusFiveAndTheKeyBit) {
    MachineState m = makeMachine();
    afterInstruction(m);
    EXPECT_EQ(m.statusBits[5], 1);
    EXPECT_EQ(m.statusBits[15], 0);

    m.statusBits[0] = 1;
    m.printMode = printModeNorm;
    afterInstruction(m);
    EXPECT_EQ(m.statusBits[5], 0);
    EXPECT_EQ(m.statusBits[15], 1);

    m.printMode = printModeAll;
    afterInstruction(m);
    EXPECT_EQ(m.statusBits[5], 1);
}

TEST(Reset, PowerOnStateIsAllClear) {
    MachineState m = makeMachine();
    m.regA = m.regM2 = reg("12345678901234");
    m.ram[7] = reg("12345678901234");
    m.pRegister = 9;
    m.programCounter = 0x345;
    m.numberBase = 16;
    m.returnStack = {5, 6};
    m.statusBits[4] = 1;
    m.flagBits[2] = 1;
    m.keyQueue[0] = 20;
    m.printLineBuffer[3] = 5;
    resetMachine(m);
    clearRam(m);
    EXPECT_EQ(m.regA, Register{});
    EXPECT_EQ(m.regM2, Register{});
    EXPECT_EQ(m.ram[7], Register{});
    EXPECT_EQ(m.pRegister, 0);
    EXPECT_EQ(m.programCounter, 0);
    EXPECT_EQ(m.numberBase, 10);
    EXPECT_EQ(m.returnStack, (std::vector<int32_t>{-1, -1}));
    EXPECT_EQ(m.statusBits[4], 0);
    EXPECT_EQ(m.flagBits[2], 0);
    EXPECT_EQ(m.keyQueue[0], 0);
    EXPECT_EQ(m.keyReleased, 1);
    EXPECT_EQ(m.printLineBuffer, MachineState::blankPrintLine());
}

}  // namespace
}  // namespace quorvel::test
