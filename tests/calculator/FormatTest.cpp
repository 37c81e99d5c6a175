// FIX and SCI: the display rounds the shown value half away from zero and falls back to
// the scientific form when FIX cannot show the number.

#include <gtest/gtest.h>

#include "CalculatorHarness.h"

namespace quorvel::test {
namespace {

struct Format {
    const char* keys;  // the mode keys, then the number and ENTER
    const char* cells;
};

TEST(Format, FixAndSci) {
    const Format cases[] = {
        {"5 ENTER", " 5.00          "},
        {"5 H ENTER", "-5.00          "},
        {"1 2 3 . 4 5 6 ENTER", " 123.46        "},
        {"1 2 3 . 4 5 4 9 ENTER", " 123.45        "},
        {". 0 0 5 ENTER", " 0.01          "},  // half rounds away from zero
        {". 0 0 5 H ENTER", "-0.01          "},
        {". 0 0 4 9 ENTER", " 4.90       -03"},    // would show 0.00
        {"9 9 . 9 9 5 ENTER", " 100.00        "},  // rounding reaches a new digit
        {"9 9 9 9 9 9 9 9 9 9 ENTER", " 9999999999.   "},
        {"1 2 3 4 5 6 7 8 9 . 6 ENTER", " 123456789.6   "},  // ten digits at most
        {"1 2 3 4 5 6 7 8 9 . 9 ENTER . 0 6 +", " 123456790.0   "},
        {"1 E 1 0 ENTER", " 1.00        10"},  // eleven integer digits
        {"F 0 9 . 5 ENTER", " 10.           "},
        {"F 0 . 5 ENTER", " 1.            "},
        {"F 0 . 4 ENTER", " 4.         -01"},
        {"F 4 . 0 0 0 0 5 ENTER", " 0.0001        "},
        {"F 4 . 0 0 0 0 1 ENTER", " 1.0000     -05"},
        {"F 9 1 2 . 5 ENTER", " 12.50000000   "},
        {"F 9 . 1 2 3 4 5 6 7 8 9 5 ENTER",
         " 0.123456789   "},  // typed digits beyond ten are ignored
        {"F 9 2 ENTER 3 /", " 0.666666667   "},
        {"SHIFT F 0 1 2 3 4 5 ENTER", " 1.          04"},
        {"SHIFT F 2 1 2 3 4 5 ENTER", " 1.23        04"},
        {"SHIFT F 3 9 . 9 9 9 6 ENTER", " 1.000       01"},
        {"SHIFT F 2 1 . 5 E 7 H ENTER", " 1.50       -07"},
        {"SHIFT F 2 0 ENTER", " 0.00        00"},
        {"SHIFT F 9 2 H ENTER 3 /", "-6.666666667-01"},
        {"SHIFT F 9 9 . 9 9 9 9 9 9 9 9 9 E 9 9 ENTER", " 9.999999999 99"},
        {"SHIFT F 2 9 . 9 9 9 9 9 9 9 9 9 E 9 9 ENTER", " 9.99        99"},  // cannot round to E100
        {"SHIFT F 2 9 . 9 9 9 9 9 9 9 9 9 E 9 8 ENTER", " 1.00        99"},
        {"SHIFT F 9 F 2 5 ENTER", " 5.00          "},  // back to FIX
    };
    for (const Format& c : cases) {
        SCOPED_TRACE(c.keys);
        Calculator calculator;
        calculator.press(c.keys);
        EXPECT_EQ(calculator.display(), c.cells);
    }
}

TEST(Format, ErrorDisplay) {
    Calculator calculator;
    calculator.press("1 E 9 9 ENTER X");
    EXPECT_EQ(calculator.display(), " Error         ");
}

}  // namespace
}  // namespace quorvel::test
