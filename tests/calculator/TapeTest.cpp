// What each print mode puts on the tape. A line is 20 columns: the number (its last cell
// in column 14, whatever its form and the mnemonic), a blank, the mnemonic ending in
// column 19 (counted from 0).

#include <gtest/gtest.h>

#include <vector>

#include "CalculatorHarness.h"

namespace quorvel::test {
namespace {

struct TapeCase {
    const char* name;
    PrintModePosition mode;
    const char* keys;
    std::vector<std::string> lines;
};

using PM = PrintModePosition;

TEST(Tape, PrintModes) {
    const TapeCase cases[] = {
        {"MAN prints nothing by itself", PM::man, "2 ENTER 3 + F 3 4 M 1 BS", {}},
        {"PRINT x in MAN", PM::man, "1 2 . 5 H P", {"         -12.50     "}},
        {"PRINT x in NORM", PM::norm, "1 2 . 5 H P", {"         -12.50     "}},
        {"PRINT x in ALL", PM::all, "1 2 . 5 H P", {"         -12.50     "}},
        {"PRINT STACK",
         PM::man,
         "1 ENTER 2 ENTER 3 ENTER 4 SHIFT P",
         {"           1.00     ", "           2.00     ", "           3.00     ",
          "           4.00     "}},
        {"NORM", PM::norm, "2 ENTER 3 +", {"           2.00 ENT↑", "           3.00    +"}},
        {"ALL",
         PM::all,
         "2 ENTER 3 +",
         {"           2.00 ENT↑", "           2.00  ***", "           3.00    +",
          "           5.00  ***"}},
        {"NORM without a keyed number",
         PM::norm,
         "2 ENTER 3 + 4 X ENTER -",
         {"           2.00 ENT↑", "           3.00    +", "           4.00    ×",
          "                ENT↑", "                   -"}},
        {"ALL, functions on results",
         PM::all,
         "2 ENTER X",
         {"           2.00 ENT↑", "           2.00  ***", "                   ×",
          "           4.00  ***"}},
        {"prefix keys print with their digit",
         PM::norm,
         "7 M 3 F 4 R 3 SHIFT F 1",
         {"           7.00 STO3", "                FIX4", "                RCL3",
          "                SCI1"}},
        {"scientific numbers",
         PM::norm,
         "1 . 5 E 3 H ENTER 2 E 1 5 ENTER",
         {"        1.50-03 ENT↑", "        2.00 15 ENT↑"}},
        {"the tape shows at most 7 decimals in SCI",
         PM::all,
         "SHIFT F 9 2 H ENTER 3 /",
         {"                SCI9", "   0.0000000 00  ***", "  -2.0000000 00 ENT↑",
          "  -2.0000000 00  ***", "   3.0000000 00    ÷", "  -6.6666667-01  ***"}},
        {"a long number ends in column 14 too",
         PM::norm,
         "1 2 3 4 5 6 7 8 9 0 H + F 9 1 ENTER 3 / 4 Q",
         {"   -1234567890.    +", "                FIX9", "    1.000000000 ENT↑",
          "    3.000000000    ÷", "    4.000000000   √X"}},
        {"register forms of STO and RCL",
         PM::norm,
         "5 M . 3 6 M + 1 M - . 5 R . 5 M X 9 M / 0 R 1",
         {"           5.00 ST.3", "           6.00 ST+1", "                S-.5",
          "                RC.5", "                ST×9", "                ST÷0",
          "                RCL1"}},
        {"ALL after to polar prints r",
         PM::all,
         "3 ENTER 4 J",
         {"           3.00 ENT↑", "           3.00  ***", "           4.00   →P",
          "           5.00  ***"}},
        {"an Error of to polar in ALL",
         PM::all,
         "9 E 9 9 ENTER J",
         {"        9.00 99 ENT↑", "        9.00 99  ***", "                  →P",
          "               ERROR"}},
        {"Error in ALL",
         PM::all,
         "1 ENTER 0 /",
         {"           1.00 ENT↑", "           1.00  ***", "           0.00    ÷",
          "               ERROR"}},
        {"Error in NORM",
         PM::norm,
         "1 ENTER 0 / 5",
         {"           1.00 ENT↑", "           0.00    ÷"}},
    };
    for (const TapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Calculator calculator(c.mode);
        calculator.press(c.keys);
        EXPECT_EQ(calculator.tape(), c.lines) << c.keys;
    }
}

struct Mnemonic {
    const char* keys;
    const char* line;  // the last NORM line after "7 ENTER 3" and the keys (CHS while
                       // keying in changes the number, so it acts on a result here)
};

TEST(Tape, EveryFunctionPrintsItsMnemonic) {
    const Mnemonic cases[] = {
        {"ENTER", "           3.00 ENT↑"},     {"+", "           3.00    +"},
        {"-", "           3.00    -"},         {"X", "           3.00    ×"},
        {"/", "           3.00    ÷"},         {"ENTER H", "                 CHS"},
        {"V", "           3.00  X↔Y"},         {"SHIFT V", "           3.00 LSTX"},
        {"K", "           3.00   R↓"},         {"SHIFT K", "           3.00   R↑"},
        {"BS", "           3.00  CLX"},        {"SHIFT BS", "           3.00  CLR"},
        {"M 0", "           3.00 STO0"},       {"R 9", "           3.00 RCL9"},
        {"F 5", "           3.00 FIX5"},       {"SHIFT F 8", "           3.00 SCI8"},
        {"SHIFT M", "           3.00 CLRG"},   {"M SHIFT 1", "           3.00 STO1"},
        {"R SHIFT 2", "           3.00 RCL2"}, {"M 4", "           3.00 STO4"},
        {"M 6", "           3.00 STO6"},       {"R 7", "           3.00 RCL7"},
        {"J", "           3.00   →P"},         {"SHIFT J", "           3.00   →R"},
    };
    for (const Mnemonic& c : cases) {
        SCOPED_TRACE(c.keys);
        Calculator calculator(PrintModePosition::norm);
        calculator.press(std::string("7 ENTER 3 ") + c.keys);
        ASSERT_FALSE(calculator.tape().empty());
        EXPECT_EQ(calculator.tape().back(), c.line);
    }
}

TEST(Tape, KeysThatAreNotFunctionsPrintNothing) {
    Calculator calculator(PrintModePosition::all);
    calculator.press("1 . 5 E 2 H H SHIFT SHIFT 7");
    EXPECT_TRUE(calculator.tape().empty());
}

}  // namespace
}  // namespace quorvel::test
