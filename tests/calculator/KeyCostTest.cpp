// The words a key costs decide how fast the calculator answers (about 10,000 words a
// second in the window): a digit must feel instant, an operation including its display
// formatting must stay far below a tenth of a second. Worst cases: long operands, FIX 9.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "CalculatorHarness.h"
#include "FunctionReference.h"

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

// The two coordinate conversions are the costliest keys: wide squares or products, a
// trigonometric core and two results. Their slowest arguments found in a random search
// must stay below half a second.
TEST(KeyCost, CoordinateConversionsStayBelowHalfASecond) {
    struct Conversion {
        AnglePosition angle;
        const char* before;
        bool shifted;  // SHIFT J (to rectangular) rather than J
    };
    const Conversion cases[] = {
        {AnglePosition::grd, "9 . 4 9 6 9 8 8 6 0 4 H E 2 ENTER 4 . 9 9 8 1 9 3 5 8 H E 2", false},
        {AnglePosition::deg, "2 . 8 9 4 3 1 4 7 3 5 ENTER 6 . 5 5 7 5 7 0 4 5 8 H", false},
        {AnglePosition::rad, "4 . 2 3 3 2 1 6 9 7 H E 2 ENTER 1 . 8 9 0 9 3 2 3 6 8 H E 9 9", true},
        {AnglePosition::deg, "9 . 3 1 2 4 0 4 2 9 3 H E 1 5 ENTER 7 . 3 7 4 8 4 4 9 E 9 0", true},
    };
    for (const Conversion& c : cases) {
        SCOPED_TRACE(std::string(c.before) + (c.shifted ? " | SHIFT J" : " | J"));
        Calculator calculator(PrintModePosition::man, c.angle);
        calculator.press(std::string(c.before) + (c.shifted ? " SHIFT" : ""));
        EXPECT_LT(calculator.pressCounting("J"), 5000u);
    }
}

// Other slow cases: a power of a y within 1E-5 of 1 (where the logarithm core would run
// all its levels with the longest shifts), the statistics with long numbers, register
// arithmetic with long operands.
TEST(KeyCost, SlowestCasesStayBelowHalfASecond) {
    const Cost cases[] = {
        {"1 . 0 0 0 0 0 0 0 0 1 E 5 1 H ENTER 5 4 . 1 4 2 5 5 0 9 5 H SHIFT", "Y", 5000},
        {"1 . 0 0 0 0 0 0 0 0 5 ENTER 7 . 4 4 5 0 6 9 0 3 7 H E 7", "Y", 5000},
        {"1 . 0 0 0 0 0 1 7 3 9 E 5 1 H ENTER 5 4 . 1 4 2 5 5 0 9 5 H SHIFT", "Y", 5000},
        {"1 . 0 0 0 0 1 7 3 9 9 E 5 1 H ENTER 5 4 . 1 4 2 5 5 0 9 5 H SHIFT", "Y", 5000},
        {"F 9 1 . 2 3 4 5 6 7 8 9 1 E 4 5 ENTER 9 . 8 7 6 5 4 3 2 1 1 E 4 7 W "
         "3 . 3 3 3 3 3 3 3 3 3 E 4 4",
         "W", 5000},
        {"9 . 8 7 6 5 4 3 2 1 1 W 9 . 8 7 6 5 4 3 2 1 9 W 9 . 9 9 9 9 9 9 9 9 9", "W", 5000},
        {"9 . 8 7 6 5 4 3 2 1 1 W 9 . 8 7 6 5 4 3 2 1 9 W 9 . 9 9 9 9 9 9 9 9 9 SHIFT", "W", 5000},
        {"9 . 8 7 6 5 4 3 2 1 1 W 9 . 8 7 6 5 4 3 2 1 9 W SHIFT", "X", 5000},
        {"9 . 8 7 6 5 4 3 2 1 1 W 9 . 8 7 6 5 4 3 2 1 9 W SHIFT", "/", 5000},
        {"9 . 9 9 9 9 9 9 9 9 9 M . 5 9 . 9 9 9 9 9 9 9 9 8 M X .", "5", 1500},
        {"9 . 9 9 9 9 9 9 9 9 8 M 1 7 M / ", "1", 1500},
    };
    for (const Cost& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " | " + c.key);
        Calculator calculator;
        calculator.press(c.before);
        EXPECT_LT(calculator.pressCounting(c.key), c.limit);
    }
}

// The angle functions in every angle mode over random arguments (FIX 2): half of them
// answer within 3,000 words, none above 5,000.
TEST(KeyCost, AngleFunctionsMedianStaysBelow3000Words) {
    struct Function {
        const char* prefix;
        const char* key;
        int lowExponent;
        int highExponent;
    };
    const Function functions[] = {
        {"", "S", -3, 3}, {"", "C", -3, 3}, {"SHIFT", "S", -3, -1}, {"SHIFT", "C", -3, -1}};
    const AnglePosition angles[] = {AnglePosition::deg, AnglePosition::grd, AnglePosition::rad};
    for (AnglePosition angle : angles) {
        Calculator calculator(PrintModePosition::man, angle);
        RandomNumbers random(61);
        for (const Function& f : functions) {
            SCOPED_TRACE(std::string(f.prefix) + " " + f.key + " in angle mode " +
                         std::to_string(static_cast<int>(angle)));
            std::vector<uint64_t> costs;
            for (int i = 0; i < 201; ++i) {
                const TenDigit x = random.next(f.lowExponent, f.highExponent, true);
                calculator.press(keysFor(x) + " " + f.prefix);
                costs.push_back(calculator.pressCounting(f.key));
            }
            std::sort(costs.begin(), costs.end());
            EXPECT_LE(costs[costs.size() / 2], 3000u);
            EXPECT_LE(costs.back(), 5000u);
        }
    }
}

}  // namespace
}  // namespace quorvel::test
