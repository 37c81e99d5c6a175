#include <gtest/gtest.h>

#include "panel/HeadlessCalculator.h"
#include "printer/RollText.h"

namespace quorvel {
namespace {

// A roll printed by the calculator itself, with a fed blank line in it: the symbols come
// out as the characters the tape shows, the numbers keep their place on the line.
TEST(RollText, ARealRollAsTheTapeReads) {
    HeadlessCalculator calculator(QUORVEL_DATA_DIR);
    ASSERT_EQ(calculator.start(PrintModePosition::norm), HeadlessCalculator::Result::ok);
    ASSERT_EQ(calculator.pressKeys({"2", "ENTER", "3", "X", "4", "/"}),
              HeadlessCalculator::Result::ok);
    CalculatorSession& session = calculator.session();
    session.startFeed();
    for (int tick = 0; tick < 20; ++tick) session.feedTick(false);
    ASSERT_EQ(calculator.pressKeys({"Q", "SHIFT", "E", "SHIFT", "W"}),
              HeadlessCalculator::Result::ok);
    EXPECT_EQ(rollText(session.roll(), session.characterSet()),
              "           2.00 ENT↑\n"
              "           3.00    ×\n"
              "           4.00    ÷\n"
              "\n"
              "                  √X\n"
              "                   π\n"
              "                  Σ-\n");
}

}  // namespace
}  // namespace quorvel
