// + - x / against the exact result rounded once to ten digits, half away from zero.

#include <gtest/gtest.h>

#include <random>

#include "CalculatorHarness.h"
#include "DecimalReference.h"

namespace quorvel::test {
namespace {

struct Operand {
    bool negative;
    std::string digits;  // ten
    int exponent;
};

enum class Operation { add, subtract, multiply, divide };

const char* keyOf(Operation operation) {
    switch (operation) {
        case Operation::add: return "+";
        case Operation::subtract: return "-";
        case Operation::multiply: return "X";
        case Operation::divide: return "/";
    }
    return "";
}

std::string expectedDisplay(Operation operation, const Operand& y, const Operand& x) {
    const Decimal a = decimalOf(y.negative, y.digits, y.exponent);
    const Decimal b = decimalOf(x.negative, x.digits, x.exponent);
    if (operation == Operation::divide && b.digits.empty()) return " Error         ";
    switch (operation) {
        case Operation::add: return sci9Display(roundToTen(add(a, b)));
        case Operation::subtract: return sci9Display(roundToTen(subtract(a, b)));
        case Operation::multiply: return sci9Display(roundToTen(multiply(a, b)));
        case Operation::divide: return sci9Display(roundToTen(divide(a, b)));
    }
    return "";
}

// Keys y ENTER x and the operation in SCI 9 and compares the display with the reference.
class Computer {
  public:
    Computer() { calculator_.press("SHIFT F 9"); }

    void check(Operation operation, const Operand& y, const Operand& x) {
        calculator_.press(keysForNumber(y.negative, y.digits, y.exponent) + " ENTER " +
                          keysForNumber(x.negative, x.digits, x.exponent) + " " + keyOf(operation));
        const std::string expected = expectedDisplay(operation, y, x);
        EXPECT_EQ(calculator_.display(), expected)
            << sci9Cells(y.negative, y.digits, y.exponent) << " " << keyOf(operation) << " "
            << sci9Cells(x.negative, x.digits, x.exponent);
        if (expected == " Error         ") calculator_.press("BS");  // clears the error only
    }

  private:
    Calculator calculator_;
};

struct Case {
    const char* name;
    Operation operation;
    Operand y;
    Operand x;
};

// The edges of rounding: carries through every digit, borrows from digits far beyond the
// tenth, exact halves, the ends of the exponent range.
const Case edgeCases[] = {
    {"carry through all digits",
     Operation::add,
     {false, "9999999999", 0},
     {false, "1000000000", -9}},
    {"borrow from the 13th digit",
     Operation::subtract,
     {false, "1000000000", 0},
     {false, "1000000000", -12}},
    {"borrow from the 12th digit",
     Operation::subtract,
     {false, "1000000000", 0},
     {false, "1000000000", -11}},
    {"difference just above a half",
     Operation::subtract,
     {false, "1000000000", 0},
     {false, "4999999999", -11}},
    {"difference just below a half",
     Operation::subtract,
     {false, "1000000000", 0},
     {false, "5100000000", -11}},
    {"digits beyond the register decide",
     Operation::subtract,
     {false, "1000000000", 0},
     {false, "5000000001", -11}},
    {"exact half rounds away",
     Operation::add,
     {false, "1000000000", 0},
     {false, "5000000000", -10}},
    {"negative exact half rounds away",
     Operation::add,
     {true, "1000000000", 0},
     {true, "5000000000", -10}},
    {"far smaller addend", Operation::add, {false, "1234567890", 50}, {false, "9999999999", -50}},
    {"far smaller subtrahend",
     Operation::subtract,
     {false, "1000000000", 50},
     {false, "9999999999", -50}},
    {"cancellation to one digit",
     Operation::subtract,
     {false, "1000000001", 0},
     {false, "1000000000", 0}},
    {"exact zero", Operation::subtract, {true, "1234567890", -7}, {true, "1234567890", -7}},
    {"sign from the larger", Operation::add, {false, "1000000000", 0}, {true, "3000000000", 0}},
    {"largest sum", Operation::add, {false, "4999999999", 99}, {false, "4999999999", 99}},
    {"sum overflows", Operation::add, {false, "5000000000", 99}, {false, "5000000000", 99}},
    {"sum rounds into overflow",
     Operation::add,
     {false, "9999999999", 99},
     {false, "5000000000", 88}},
    {"difference falls below 1 E-99",
     Operation::subtract,
     {false, "1000000001", -99},
     {false, "1000000000", -99}},
    {"product rounds up to ten",
     Operation::multiply,
     {false, "3162277660", 0},
     {false, "3162277661", 0}},
    {"product of nines", Operation::multiply, {true, "9999999999", 0}, {false, "9999999999", 0}},
    {"product at the top",
     Operation::multiply,
     {false, "9999999999", 49},
     {false, "1000000000", 50}},
    {"product overflows",
     Operation::multiply,
     {false, "1000000000", 50},
     {false, "1000000000", 50}},
    {"product underflows",
     Operation::multiply,
     {false, "1000000000", -50},
     {false, "9999999999", -50}},
    {"product at the bottom",
     Operation::multiply,
     {false, "1000000000", -50},
     {false, "1000000000", -49}},
    {"third", Operation::divide, {false, "1000000000", 0}, {false, "3000000000", 0}},
    {"two thirds", Operation::divide, {true, "2000000000", 0}, {false, "3000000000", 0}},
    {"quotient below one", Operation::divide, {false, "1000000000", 0}, {false, "9999999999", 0}},
    {"quotient rounds up to ten",
     Operation::divide,
     {false, "9999999999", 0},
     {false, "1000000001", 0}},
    {"quotient overflows", Operation::divide, {false, "1000000000", 99}, {false, "1000000000", -1}},
    {"quotient underflows",
     Operation::divide,
     {false, "1000000000", -99},
     {false, "2000000000", 0}},
    {"division by zero", Operation::divide, {false, "1000000000", 0}, {false, "0000000000", 0}},
    {"zero divided", Operation::divide, {false, "0000000000", 0}, {false, "7000000000", 3}},
    {"zero times", Operation::multiply, {true, "0000000000", 0}, {false, "7000000000", 3}},
};

TEST(Arithmetic, EdgesOfRounding) {
    Computer computer;
    for (const Case& c : edgeCases) {
        SCOPED_TRACE(c.name);
        computer.check(c.operation, c.y, c.x);
    }
}

// Mantissas that stress carries and borrows as often as plain random ones.
std::string randomMantissa(std::mt19937& random) {
    std::uniform_int_distribution<int> kind(0, 5);
    std::uniform_int_distribution<int> digit(0, 9);
    std::string digits(10, '0');
    switch (kind(random)) {
        case 0: digits.assign(10, '9'); break;
        case 1: digits = "1000000000"; break;
        default:
            for (char& c : digits) c = static_cast<char>('0' + digit(random));
            break;
    }
    // A few random digits changed keep the special shapes varied.
    std::uniform_int_distribution<int> position(0, 9);
    for (int i = digit(random) % 3; i > 0; --i)
        digits[static_cast<size_t>(position(random))] = static_cast<char>('0' + digit(random));
    if (digits[0] == '0') digits[0] = static_cast<char>('1' + digit(random) % 9);
    return digits;
}

void randomRun(Operation operation, unsigned seed, int cases) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> anyExponent(-99, 99);
    std::uniform_int_distribution<int> nearby(-13, 13);
    std::uniform_int_distribution<int> coin(0, 3);
    Computer computer;
    for (int i = 0; i < cases; ++i) {
        Operand y{coin(random) == 0, randomMantissa(random), anyExponent(random)};
        Operand x{coin(random) == 0, randomMantissa(random), 0};
        const bool additive = operation == Operation::add || operation == Operation::subtract;
        if (additive && coin(random) != 0) {
            x.exponent = std::clamp(y.exponent + nearby(random), -99, 99);
        } else if (!additive && coin(random) != 0) {
            x.exponent = std::clamp(nearby(random) * 4 - y.exponent / 2, -99, 99);
        } else {
            x.exponent = anyExponent(random);
        }
        computer.check(operation, y, x);
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(Arithmetic, RandomSumsMatchTheReference) {
    randomRun(Operation::add, 11, 1500);
}
TEST(Arithmetic, RandomDifferencesMatchTheReference) {
    randomRun(Operation::subtract, 12, 1500);
}
TEST(Arithmetic, RandomProductsMatchTheReference) {
    randomRun(Operation::multiply, 13, 1500);
}
TEST(Arithmetic, RandomQuotientsMatchTheReference) {
    randomRun(Operation::divide, 14, 1500);
}

}  // namespace
}  // namespace quorvel::test
