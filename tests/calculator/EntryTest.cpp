// Keying in numbers: the display shows them as typed, and the number entered is the one
// the display showed.

#include <gtest/gtest.h>

#include "CalculatorHarness.h"

namespace quorvel::test {
namespace {

struct Shown {
    const char* keys;
    const char* cells;  // all 15 display cells
};

TEST(Entry, DisplayShowsTheNumberAsTyped) {
    const Shown cases[] = {
        {"", " 0.00          "},
        {"7", " 7             "},
        {"1 2 3", " 123           "},
        {"0 0 1 2", " 12            "},  // leading zeros are neither shown nor counted
        {"0 0 0 1 2 3 4 5 6 7 8 9 0 1", " 1234567890    "},
        {"0 0", " 0             "},
        {"0 0 . 5", " 0.5           "},
        {"0 . 0 0 5", " 0.005         "},
        {"1 2 3 4 5 6 7 8 9 0", " 1234567890    "},
        {"1 2 3 4 5 6 7 8 9 0 1 2", " 1234567890    "},  // ten digits at most
        {"1 2 3 4 5 6 7 8 9 0 .", " 1234567890.   "},
        {"1 2 3 4 5 6 7 8 9 0 . 5", " 1234567890.   "},
        {"1 2 3 4 5 6 7 8 9 . 1 2", " 123456789.1   "},
        {".", " 0.            "},
        {". 5", " 0.5           "},
        {". 1 2 3 4 5 6 7 8 9 9", " 0.123456789   "},  // the leading 0 counts
        {"1 . . 2 .", " 1.2           "},              // one point only
        {"1 H", "-1             "},
        {"1 H H", " 1             "},
        {"1 . 5 H 2", "-1.52          "},
        {"E", " 1           00"},  // EEX alone starts with 1
        {"2 E", " 2           00"},
        {"2 E 7", " 2           07"},
        {"2 E 1 2 3", " 2           23"},  // the last two exponent digits count
        {"2 E 5 H", " 2          -05"},
        {"2 E 5 H H", " 2           05"},
        {"2 H E 5 H", "-2          -05"},
        {"2 E 5 . 6", " 2           56"},    // no point in the exponent
        {"2 E 5 E 6", " 2           56"},    // a second EEX is ignored
        {"1 2 SHIFT 7", " 127           "},  // a shifted digit is the digit
        {"1 2 SHIFT 9", " 129           "},
        {"1 2 SHIFT SHIFT 4", " 124           "},
        {"1 2 SHIFT SHIFT", " 12            "},  // a cancelled shift leaves the entry
    };
    for (const Shown& c : cases) {
        SCOPED_TRACE(c.keys);
        Calculator calculator;
        calculator.press(c.keys);
        EXPECT_EQ(calculator.display(), c.cells);
    }
}

TEST(Entry, EnteredValueIsTheTypedNumber) {
    const Shown cases[] = {
        {"0 0 1 2 ENTER", " 12.00         "},
        {"1 . 5 E 2 ENTER", " 150.00        "},
        {"1 2 5 E 2 H ENTER", " 1.25          "},
        {". 0 0 5 ENTER", " 0.01          "},
        {"1 2 3 4 5 6 7 8 9 0 ENTER", " 1234567890.   "},
        {"1 2 3 4 5 6 7 8 9 0 1 ENTER", " 1234567890.   "},
        {"1 2 3 4 5 6 7 8 9 0 E 8 9 ENTER", " 1.23        98"},
        {"9 E 9 9 ENTER", " 9.00        99"},
        {"1 0 E 9 9 ENTER", " Error         "},  // 1 E100 cannot be entered
        {"1 E 9 9 H ENTER", " 1.00       -99"},
        {". 1 E 9 9 H ENTER", " 0.00          "},  // 1 E-100 is 0
        {"0 E 5 ENTER", " 0.00          "},
        {". ENTER", " 0.00          "},
        {"0 H ENTER", " 0.00          "},
        {"E 3 ENTER", " 1000.00       "},
    };
    for (const Shown& c : cases) {
        SCOPED_TRACE(c.keys);
        Calculator calculator;
        calculator.press(c.keys);
        EXPECT_EQ(calculator.display(), c.cells);
    }
}

TEST(Entry, NextKeyAfterErrorOnlyClearsIt) {
    Calculator calculator;
    calculator.press("7 ENTER 0 /");
    EXPECT_EQ(calculator.shown(), "Error");
    calculator.press("5");
    EXPECT_EQ(calculator.shown(), "0.00");  // the 5 is ignored, X is the 0 before
    calculator.press("5");
    EXPECT_EQ(calculator.shown(), "5");
}

}  // namespace
}  // namespace quorvel::test
