// Random key sequences in every print mode: no key may stop the processor with a run-time
// error or leave the calculator unable to take the next key, and afterwards it still
// computes. A quarter of the keys come after a SHIFT, so that every key is pressed both
// plain and shifted.

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "CalculatorHarness.h"
#include "panel/KeyTable.h"

namespace quorvel::test {
namespace {

void randomKeys(PrintModePosition mode, unsigned seed, int count) {
    Calculator calculator(mode);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> anyKey(0, keyCount - 1);
    std::uniform_int_distribution<int> quarter(0, 3);
    const int printKey = keyIndexForName("P");
    const int shiftKey = keyIndexForName("SHIFT");
    uint64_t costliest = 0;
    std::string costliestKeys;
    std::string recent;
    std::set<std::pair<int, bool>> pressed;  // key, after a SHIFT
    bool shifted = false;
    for (int i = 0; i < count; ++i) {
        int key = anyKey(random);
        if (key != shiftKey && !shifted && quarter(random) == 0) {
            key = shiftKey;
            --i;
        }
        uint64_t words = 0;
        const auto result =
            calculator.headless().pressKey(key, HeadlessCalculator::defaultWordLimit, &words);
        pressed.insert({key, shifted});
        shifted = key == shiftKey && !shifted;
        recent = (recent.size() > 200 ? recent.substr(recent.size() - 200) : recent) + " " +
                 keyTable[key].legend;
        ASSERT_EQ(result, HeadlessCalculator::Result::ok)
            << "after keys ..." << recent
            << (calculator.headless().messages().empty()
                    ? ""
                    : "\n" + calculator.headless().messages().back());
        ASSERT_EQ(calculator.display().find('?'), std::string::npos) << "after keys ..." << recent;
        // Without printing, no key may take the processor long.
        if (mode == PrintModePosition::man && key != printKey && words > costliest) {
            costliest = words;
            costliestKeys = recent;
        }
    }
    if (mode == PrintModePosition::man) {
        EXPECT_LT(costliest, 5000u) << "after keys ..." << costliestKeys;
    }
    for (int key = 0; key < keyCount; ++key) {
        EXPECT_TRUE(pressed.count({key, false})) << keyTable[key].legend;
        EXPECT_TRUE(pressed.count({key, true})) << "SHIFT " << keyTable[key].legend;
    }
    // BS clears an Error or a waiting prefix; then an ordinary calculation.
    calculator.press("BS BS F 2 SHIFT BS 2 ENTER 3 +");
    EXPECT_EQ(calculator.shown(), "5.00");
}

TEST(Robustness, RandomKeysInMan) {
    randomKeys(PrintModePosition::man, 1, 6000);
}
TEST(Robustness, RandomKeysInNorm) {
    randomKeys(PrintModePosition::norm, 2, 3000);
}
TEST(Robustness, RandomKeysInAll) {
    randomKeys(PrintModePosition::all, 3, 3000);
}

}  // namespace
}  // namespace quorvel::test
