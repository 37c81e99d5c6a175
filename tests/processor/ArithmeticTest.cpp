#include <cctype>
#include <ostream>
#include <string>

#include "ProcessorHarness.h"

namespace quorvel::test {
namespace {

enum Field { fP = 0, fM = 1, fX = 2, fW = 3, fWP = 4, fMS = 5, fXS = 6, fS = 7 };

struct ArithmeticCase {
    const char* name;
    int op;
    int field;
    int base;
    const char* a;
    const char* b;
    const char* c;
    const char* expectA;
    const char* expectB;
    const char* expectC;
    int expectCarry;
};

class ArithmeticTable : public ::testing::TestWithParam<ArithmeticCase> {};

TEST_P(ArithmeticTable, GivesDigitsAndCarry) {
    const ArithmeticCase& t = GetParam();
    MachineState m = makeMachine();
    FakePeripherals io;
    m.numberBase = t.base;
    m.pRegister = 4;
    m.regA = reg(t.a);
    m.regB = reg(t.b);
    m.regC = reg(t.c);
    step(m, io, arith(t.op, t.field), 0x100);
    EXPECT_EQ(m.regA, reg(t.expectA)) << t.name;
    EXPECT_EQ(m.regB, reg(t.expectB)) << t.name;
    EXPECT_EQ(m.regC, reg(t.expectC)) << t.name;
    EXPECT_EQ(m.carry, t.expectCarry) << t.name;
}

constexpr const char* Z = "00000000000000";

const ArithmeticCase arithmeticCases[] = {
    {"a+c->c word", 14, fW, 10, "00000000000005", Z, "00000000000007", "00000000000005", Z,
     "00000000000012", 0},
    {"c+1 exponent wraps with carry", 15, fX, 10, Z, Z, "12345678901999", Z, Z, "12345678901000",
     1},
    {"base 16 9+9", 14, fS, 16, "90000000000000", Z, "90000000000000", "90000000000000", Z,
     "20000000000000", 1},
    {"base 16 F+1", 15, fS, 16, Z, Z, "F0000000000000", Z, Z, Z, 1},
    {"0-c sign of 0", 5, fS, 10, Z, Z, Z, Z, Z, Z, 0},
    {"0-c sign of 1", 5, fS, 10, Z, Z, "10000000000000", Z, Z, "90000000000000", 1},
    {"0-c-1 mantissa", 7, fM, 10, Z, Z, "00000000001000", Z, Z, "09999999998000", 1},
    {"a-c->c borrows through", 10, fW, 10, "00000000000100", Z, "00000000000001", "00000000000100",
     Z, "00000000000099", 0},
    {"a-c->a underflow", 26, fW, 10, "00000000000001", Z, "00000000000002", "99999999999999", Z,
     "00000000000002", 1},
    {"c-1 mantissa from zero", 11, fM, 10, Z, Z, "50000000000004", Z, Z, "59999999999004", 1},
    {"a+b->a mantissa-sign", 28, fMS, 10, "01234567890123", "09876543211456", Z, "11111111101123",
     "09876543211456", Z, 0},
    {"a-b->a exponent only", 24, fX, 10, "11111111111123", "99999999999021", Z, "11111111111102",
     "99999999999021", Z, 0},
    {"a+1 up to pointer (P=4)", 31, fWP, 10, "00000000099999", Z, Z, "00000000000000", Z, Z, 1},
    {"c+c->c", 21, fW, 10, Z, Z, "00000000000005", Z, Z, "00000000000010", 0},
    {"shift left a mantissa", 8, fM, 10, "91234567890456", Z, Z, "92345678900456", Z, Z, 0},
    {"shift right c word", 18, fW, 10, Z, Z, "12345678901234", Z, Z, "01234567890123", 0},
    {"shift right a exponent-sign", 22, fXS, 10, "00000000000900", Z, Z, Z, Z, Z, 0},
    {"shift right b mantissa", 20, fM, 10, Z, "91234567890456", Z, Z, "90123456789456", Z, 0},
    {"a exchange c exponent", 29, fX, 10, "11111111111123", Z, "22222222222456", "11111111111456",
     Z, "22222222222123", 0},
    {"a exchange b sign", 25, fS, 10, "90000000000000", "10000000000000", Z, "10000000000000",
     "90000000000000", Z, 0},
    {"b exchange c up to pointer", 17, fWP, 10, Z, "00000000012345", "99999999999999", Z,
     "00000000099999", "99999999912345", 0},
    {"c -> a pointer digit", 12, fP, 10, Z, Z, "00000000055555", "00000000050000", Z,
     "00000000055555", 0},
    {"a -> b word", 9, fW, 10, "12345678901234", Z, Z, "12345678901234", "12345678901234", Z, 0},
    {"b -> c mantissa", 4, fM, 10, Z, "12345678901234", Z, Z, "12345678901234", "02345678901000",
     0},
    {"0 -> a mantissa-sign", 23, fMS, 10, "12345678901234", Z, Z, "00000000000234", Z, Z, 0},
    {"0 -> b exponent", 1, fX, 10, Z, "12345678901234", Z, Z, "12345678901000", Z, 0},
    {"0 -> c sign", 6, fS, 10, Z, Z, "92345678901234", Z, Z, "02345678901234", 0},
    {"a-1 exponent sign", 27, fXS, 10, "00000000000000", Z, Z, "00000000000900", Z, Z, 1},
};

// A case's name as a test name: letters and digits, the rest as underscores.
template <typename Case>
std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    std::string name = std::to_string(info.index) + "_";
    for (const char* c = info.param.name; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

void PrintTo(const ArithmeticCase& c, std::ostream* out) {
    *out << c.name;
}

INSTANTIATE_TEST_SUITE_P(Operations, ArithmeticTable, ::testing::ValuesIn(arithmeticCases),
                         caseName<ArithmeticCase>);

struct TestCase {
    const char* name;
    int op;
    int field;
    const char* a;
    const char* b;
    const char* c;
    bool holds;
};

class ArithmeticTests : public ::testing::TestWithParam<TestCase> {};

TEST_P(ArithmeticTests, SetCarryByCondition) {
    const TestCase& t = GetParam();
    MachineState m = makeMachine();
    FakePeripherals io;
    m.regA = reg(t.a);
    m.regB = reg(t.b);
    m.regC = reg(t.c);
    const MachineState before = m;
    step(m, io, arith(t.op, t.field), 0x100);
    EXPECT_TRUE(m.ifPending) << t.name;
    EXPECT_EQ(m.carry, t.holds ? 0 : 1) << t.name;
    EXPECT_EQ(m.regA, before.regA);
    EXPECT_EQ(m.regB, before.regB);
    EXPECT_EQ(m.regC, before.regC);
}

const TestCase testCases[] = {
    {"b = 0 holds", 0, fM, Z, "90000000000999", Z, true},
    {"b = 0 fails", 0, fM, Z, "00000000010000", Z, false},
    {"a >= c smaller", 2, fW, "00000000000005", Z, "00000000000007", false},
    {"a >= c equal", 2, fW, "00000000000007", Z, "00000000000007", true},
    {"a >= c larger in a high digit", 2, fW, "10000000000000", Z, "09999999999999", true},
    {"c # 0 holds", 3, fX, Z, Z, "00000000000100", true},
    {"c # 0 fails outside field", 3, fX, Z, Z, "11111111111000", false},
    {"c = 0 holds", 13, fS, Z, Z, "09999999999999", true},
    {"c = 0 fails", 13, fS, Z, Z, "90000000000000", false},
    {"a >= b mantissa", 16, fM, "00000000001000", "00000000000999", Z, true},
    {"a >= b mantissa fails", 16, fM, "00000000000999", "00000000001000", Z, false},
    {"a # 0 holds", 19, fW, "00000000000001", Z, Z, true},
    {"a # 0 fails", 19, fW, Z, Z, Z, false},
};

void PrintTo(const TestCase& c, std::ostream* out) {
    *out << c.name;
}

INSTANTIATE_TEST_SUITE_P(Conditions, ArithmeticTests, ::testing::ValuesIn(testCases),
                         caseName<TestCase>);

TEST(ArithmeticFields, PointerFieldBeyondDigitsIsEmpty) {
    MachineState m = makeMachine(15);
    FakePeripherals io;
    m.pRegister = 14;
    m.displayOn = true;
    m.regA = reg("12345678901234");
    m.regC = reg("12345678901234");
    step(m, io, arith(23, fP), 0x100);  // 0 -> a[p]
    EXPECT_EQ(m.regA, reg("12345678901234"));
    EXPECT_TRUE(m.displayChanged);
    step(m, io, arith(15, fP), 0x101);  // c + 1 -> c[p]
    EXPECT_EQ(m.regC, reg("12345678901234"));
    EXPECT_EQ(m.carry, 1);
}

TEST(ArithmeticFields, UpToPointerCoversAllDigitsWhenPIsBeyondThem) {
    MachineState m = makeMachine(15);
    FakePeripherals io;
    m.pRegister = 15;
    m.regA = reg("12345678901234");
    step(m, io, arith(23, fWP), 0x100);
    EXPECT_EQ(m.regA, Register{});
}

TEST(ArithmeticFields, DigitsAboveTheBaseAreCorrectedOnce) {
    MachineState m = makeMachine();
    FakePeripherals io;
    m.regA[0] = 15;
    m.regC[0] = 15;
    m.regA[2] = 9;
    m.regC[2] = 1;
    m.regA[3] = 15;
    m.regC[3] = 15;
    step(m, io, arith(14, fW), 0x100);
    EXPECT_EQ(m.regC[0], 20);  // 15 + 15 = 30, less one base, carry out
    EXPECT_EQ(m.regC[1], 1);   // the carry
    EXPECT_EQ(m.regC[2], 0);   // 9 + 1 = 10, carry out
    EXPECT_EQ(m.regC[3], 21);  // 15 + 15 + 1 = 31, less one base
    EXPECT_EQ(m.carry, 0);
}

// Plus one and minus one still correct a digit outside the base after their carry has died.
TEST(ArithmeticFields, CountingCorrectsDigitsOutsideTheBaseAboveTheCarry) {
    MachineState m = makeMachine();
    FakePeripherals io;
    m.regA[0] = 3;
    m.regA[5] = 12;
    step(m, io, arith(31, fW), 0x100);  // a + 1 -> a[w]
    EXPECT_EQ(m.regA, reg("00000001200004"));
    EXPECT_EQ(m.carry, 0);
    m.regC[0] = 5;
    m.regC[12] = -3;
    step(m, io, arith(11, fW), 0x101);  // c - 1 -> c[w]
    EXPECT_EQ(m.regC, reg("97000000000004"));
    EXPECT_EQ(m.carry, 1);
    // A damaged state's digit far outside the base wraps rather than overflowing.
    m.regC = reg("00000000000000");
    m.regC[0] = 2'000'000'000;
    step(m, io, arith(21, fW), 0x102);  // c + c -> c[w]
    EXPECT_EQ(m.carry, 0);
    EXPECT_EQ(m.regC[1], 1);
}

TEST(ArithmeticDisplay, OnlyWritesToAOrBMarkTheDisplay) {
    struct {
        int op;
        bool marks;
    } cases[] = {{1, true},  {4, false},  {5, false}, {6, false},  {8, true},  {9, true},
                 {12, true}, {14, false}, {17, true}, {18, false}, {20, true}, {21, false},
                 {22, true}, {23, true},  {24, true}, {25, true},  {26, true}, {27, true},
                 {28, true}, {29, true},  {30, true}, {31, true},  {0, false}, {19, false}};
    for (const auto& t : cases) {
        MachineState m = makeMachine();
        FakePeripherals io;
        m.displayOn = true;
        m.displayChanged = false;
        step(m, io, arith(t.op, fW), 0x100);
        EXPECT_EQ(m.displayChanged, t.marks) << "op " << t.op;

        m.displayOn = false;
        m.displayChanged = false;
        step(m, io, arith(t.op, fW), 0x100);
        EXPECT_FALSE(m.displayChanged) << "op " << t.op << " with the display off";
    }
}

}  // namespace
}  // namespace quorvel::test
