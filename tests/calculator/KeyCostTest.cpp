// The words a key costs decide how fast the calculator answers (about 10,000 words a
// second in the window): a digit must feel instant, an operation including its display
// formatting must stay far below a tenth of a second. Worst cases: long operands, FIX 9.

#include <gtest/gtest.h>

#include "CalculatorHarness.h"

namespace quorvel::test {
namespace {

struct Cost {
    const char* before;
    const char* key;
    uint64_t limit;
};

TEST(KeyCost, DigitsAndOperationsStayCheap) {
    const Cost cases[] = {
        {"", "7", 150},
        {"1 2 3 4 5 6 7 8", "9", 150},
        {"1 2 3 4 . 5 6 E 1", "2", 150},
        {"1 2 3 4 5 6 7 8 9 0", "1", 150},  // ignored
        {"1", ".", 150},
        {"1", "H", 150},
        {"1", "E", 150},
        {"F 9 . 0 0 0 0 0 0 0 0 1 ENTER 9 9 9 9 9 9 9 9 9 9", "+", 1200},
        {"F 9 1 ENTER 9 . 9 9 9 9 9 9 9 9 9 E 1 1 H", "-", 1200},
        {"F 9 9 . 9 9 9 9 9 9 9 9 9 ENTER 9 . 9 9 9 9 9 9 9 9 9", "X", 1200},
        {"F 9 9 . 9 9 9 9 9 9 9 9 8 ENTER 9 . 9 9 9 9 9 9 9 9 9", "/", 1200},
        {"F 9 1 ENTER 7", "/", 1200},
        {"SHIFT F 9 1 2 3 4 5 6 7 8 9 0", "ENTER", 1200},
        {"1 ENTER 2", "V", 1200},
        {"1 M 3", "R", 1200},
        {"R", "3", 1200},
    };
    for (const Cost& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " | " + c.key);
        Calculator calculator;
        calculator.press(c.before);
        EXPECT_LT(calculator.pressCounting(c.key), c.limit);
    }
}

}  // namespace
}  // namespace quorvel::test
