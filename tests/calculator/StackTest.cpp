// The stack, its lift rules, LAST x and the data registers, read back through PRINT
// STACK (T, Z, Y, X on four lines) in MAN mode.

#include <gtest/gtest.h>

#include <sstream>

#include "CalculatorHarness.h"

namespace quorvel::test {
namespace {

// T|Z|Y|X as the tape shows the numbers, for example "1.00|2.00|3.00|4.00".
std::string stackAfter(const std::string& keys) {
    Calculator calculator;
    calculator.press(keys + " SHIFT P");
    const auto lines = calculator.tape();
    std::string out;
    for (size_t i = lines.size() < 4 ? 0 : lines.size() - 4; i < lines.size(); ++i) {
        std::string number = lines[i].substr(0, 15);
        number.erase(0, number.find_first_not_of(' '));
        if (!out.empty()) out += "|";
        out += number;
    }
    return out;
}

struct StackCase {
    const char* name;
    const char* keys;
    const char* stack;  // T Z Y X
};

TEST(Stack, LiftRulesAndStackFunctions) {
    const StackCase cases[] = {
        {"power on", "", "0.00|0.00|0.00|0.00"},
        {"ENTER copies X and the next number replaces it", "1 ENTER 2 ENTER 3 ENTER 4",
         "1.00|2.00|3.00|4.00"},
        {"ENTER twice", "5 ENTER ENTER", "0.00|5.00|5.00|5.00"},
        {"a number after a function lifts", "2 ENTER 3 + 4", "0.00|0.00|5.00|4.00"},
        {"a number after CLx replaces X", "5 ENTER 6 BS 7", "0.00|0.00|5.00|7.00"},
        {"the first number after power on replaces X", "8", "0.00|0.00|0.00|8.00"},
        {"T is lost on a lift", "1 ENTER 2 ENTER 3 ENTER 4 ENTER", "2.00|3.00|4.00|4.00"},
        {"binary operations drop and T stays", "1 ENTER 2 ENTER 3 ENTER 4 +",
         "1.00|1.00|2.00|7.00"},
        {"x<>y", "1 ENTER 2 ENTER 3 ENTER 4 V", "1.00|2.00|4.00|3.00"},
        {"roll down", "1 ENTER 2 ENTER 3 ENTER 4 K", "4.00|1.00|2.00|3.00"},
        {"roll up", "1 ENTER 2 ENTER 3 ENTER 4 SHIFT K", "2.00|3.00|4.00|1.00"},
        {"LAST x recalls the consumed X and lifts", "7 ENTER 3 - SHIFT V", "0.00|0.00|4.00|3.00"},
        {"LAST x after ENTER replaces X", "7 ENTER 3 X SHIFT V ENTER SHIFT V",
         "0.00|21.00|3.00|3.00"},
        {"CHS of a result keeps the stack", "2 ENTER 3 X H", "0.00|0.00|0.00|-6.00"},
        {"CHS of zero is zero", "0 H ENTER H", "0.00|0.00|0.00|0.00"},
        {"CLEAR clears the stack and LAST x", "1 ENTER 2 ENTER 3 + SHIFT BS SHIFT V",
         "0.00|0.00|0.00|0.00"},
        {"a number after CLEAR replaces X", "1 ENTER 2 SHIFT BS 5", "0.00|0.00|0.00|5.00"},
        {"STO keeps the stack and RCL lifts", "4 M 3 5 R 3", "0.00|4.00|5.00|4.00"},
        {"RCL after ENTER replaces X", "4 M 3 5 ENTER R 3", "0.00|4.00|5.00|4.00"},
        {"registers are separate", "1 M 0 2 M 9 R 0 R 9 +", "1.00|1.00|2.00|3.00"},
        {"CLEAR REG zeroes the registers", "4 M 2 SHIFT M R 2", "0.00|0.00|4.00|0.00"},
        {"FIX keeps the lift as it is", "2 ENTER F 3 5", "0.000|0.000|2.000|5.000"},
        {"SCI keeps the lift as it is", "2 ENTER 3 SHIFT F 3 5",
         "0.000 00|2.000 00|3.000 00|5.000 00"},
        {"CHS of a finished number keeps the lift", "5 ENTER H 3 +", "0.00|0.00|0.00|8.00"},
        {"STO keeps the lift as it is", "5 ENTER M 1 3", "0.00|0.00|5.00|3.00"},
        {"PRINT x keeps the lift as it is", "5 ENTER P 3", "0.00|0.00|5.00|3.00"},
        {"PRINT STACK keeps the lift as it is", "5 ENTER SHIFT P 3", "0.00|0.00|5.00|3.00"},
        {"a key that is neither digit nor operation cancels STO", "2 ENTER 5 M V R 5",
         "0.00|5.00|2.00|0.00"},
        {"an Error keeps LAST x", "5 ENTER 3 - 0 N BS SHIFT V", "0.00|2.00|0.00|3.00"},
        {"an Error of a binary operation keeps LAST x", "4 ENTER 6 + 1 E 9 9 X BS SHIFT V",
         "0.00|10.00|1.00 99|6.00"},
        {"registers .0 to .5", "7 M . 3 BS R . 3 8 M . 0 R . 3 R . 0", "7.00|8.00|7.00|8.00"},
        {".6 is no register: the 6 starts a number", "5 M . 6", "0.00|0.00|5.00|6.00"},
        {"STO +", "5 M 1 3 M + 1 BS R 1", "0.00|0.00|5.00|8.00"},
        {"STO -", "5 M 1 3 M - 1 BS R 1", "0.00|0.00|5.00|2.00"},
        {"STO x", "5 M 1 3 M X 1 BS R 1", "0.00|0.00|5.00|15.00"},
        {"STO /", "6 M 1 3 M / 1 BS R 1", "0.00|0.00|6.00|2.00"},
        {"STO + .n", "2 M . 5 3 M + . 5 BS R . 5", "0.00|0.00|2.00|5.00"},
        {"STO arithmetic leaves X and the stack", "9 ENTER 4 - 2 M X 4", "0.00|0.00|5.00|2.00"},
        {"STO arithmetic leaves LAST x", "9 ENTER 4 - 2 M X 4 SHIFT V", "0.00|5.00|2.00|4.00"},
        {"STO / 0 is an Error and leaves the register", "6 M 1 0 M / 1 BS R 1",
         "0.00|6.00|0.00|6.00"},
        {"STO x beyond the range leaves the register", "5 E 9 9 M 2 2 M X 2 BS R 2",
         "0.00|5.00 99|2.00|5.00 99"},
        {"an operation after the point cancels STO", "5 M . + 2", "0.00|0.00|5.00|2.00"},
        {"RCL takes no operation", "5 M 1 9 R + 1", "0.00|0.00|14.00|1.00"},
        {"STO takes a shifted digit", "4 M SHIFT 7 BS R 7", "0.00|0.00|0.00|4.00"},
        {"SHIFT keeps STO waiting", "4 M SHIFT SHIFT 2 BS R 2", "0.00|0.00|0.00|4.00"},
        {"an Error leaves the stack", "1 ENTER 2 ENTER 3 ENTER 0 / BS", "1.00|2.00|3.00|0.00"},
        {"an overflow leaves the stack", "1 E 9 9 ENTER 1 0 X BS", "0.00|0.00|1.00 99|10.00"},
        {"to polar keeps Z and T", "1 ENTER 2 ENTER 3 ENTER 4 J", "1.00|2.00|36.87|5.00"},
        {"to rectangular keeps Z and T", "1 ENTER 2 ENTER 3 0 ENTER 2 SHIFT J",
         "1.00|2.00|1.00|1.73"},
        {"to polar keeps x as LAST x", "3 ENTER 4 J SHIFT V", "0.00|36.87|5.00|4.00"},
        {"to rectangular keeps r as LAST x", "3 0 ENTER 2 SHIFT J SHIFT V", "0.00|1.00|1.73|2.00"},
        {"a number after to polar lifts", "3 ENTER 4 J 6", "0.00|36.87|5.00|6.00"},
        {"an Error of to polar leaves the stack", "1 ENTER 7 E 9 9 ENTER 8 E 9 9 J BS",
         "0.00|1.00|7.00 99|8.00 99"},
    };
    for (const StackCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(stackAfter(c.keys), c.stack) << c.keys;
    }
}

}  // namespace
}  // namespace quorvel::test
