#pragma once

// Drives the calculator's microcode through the headless calculator, the same code the
// runner and the window use, with keys written as the runner takes them ("2 ENTER 3 +").

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "panel/HeadlessCalculator.h"

namespace quorvel::test {

std::vector<std::string> keyList(const std::string& keys);

// Each calculator starts powered on from a clean state. Assembling the microcode is the
// costly part of a start, so finished calculators are kept and switched off and on again
// for the next test instead of being started anew.
class Calculator {
  public:
    explicit Calculator(PrintModePosition mode = PrintModePosition::man,
                        AnglePosition angle = AnglePosition::deg);
    ~Calculator();
    Calculator(const Calculator&) = delete;
    Calculator& operator=(const Calculator&) = delete;

    // Presses the keys one after the other; a run-time error or a key after which the
    // calculator does not wait for the next one fails the test.
    void press(const std::string& keys);
    // Presses one key and returns the words it cost.
    uint64_t pressCounting(const std::string& key);

    // The 15 display cells.
    std::string display() const { return calculator_->displayText(); }
    // The display without the blanks around it, for example "5.00" or "-1.23    -05".
    std::string shown() const;
    // Every printed line, as its 20 characters.
    std::vector<std::string> tape() const;
    // The printed lines with trailing blanks removed.
    std::vector<std::string> tapeTrimmed() const;

    HeadlessCalculator& headless() { return *calculator_; }

  private:
    std::unique_ptr<HeadlessCalculator> calculator_;
    size_t firstLine_ = 0;     // printed lines before this calculator's start
    size_t messageCount_ = 0;  // messages before it; more means it cannot be reused
    bool healthy_ = true;
};

// The display of a result in SCI 9: sign cell, d.ddddddddd, exponent sign cell and two
// exponent digits, 15 cells in all.
std::string sci9Cells(bool negative, const std::string& tenDigits, int exponent);

// The keys that enter d.ddddddddd E exponent with the given signs.
std::string keysForNumber(bool negative, const std::string& tenDigits, int exponent);

}  // namespace quorvel::test
