#include "CalculatorHarness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace quorvel::test {

std::vector<std::string> keyList(const std::string& keys) {
    std::istringstream in(keys);
    std::vector<std::string> list;
    std::string key;
    while (in >> key) list.push_back(key);
    return list;
}

namespace {

std::vector<std::unique_ptr<HeadlessCalculator>>& sparePool() {
    static std::vector<std::unique_ptr<HeadlessCalculator>> spares;
    return spares;
}

}  // namespace

Calculator::Calculator(PrintModePosition mode, AnglePosition angle) {
    auto& spares = sparePool();
    if (spares.empty()) {
        calculator_ = std::make_unique<HeadlessCalculator>(QUORVEL_DATA_DIR);
        const auto result = calculator_->start(mode, angle);
        healthy_ = result == HeadlessCalculator::Result::ok;
        EXPECT_TRUE(healthy_) << "start-up";
    } else {
        calculator_ = std::move(spares.back());
        spares.pop_back();
        // Power on again: the machine is reset and its RAM cleared as at a first start.
        CalculatorSession& session = calculator_->session();
        session.setPrintMode(mode, false);
        session.setAngle(angle, false);
        session.requestPower(true);
        const auto outcome = session.runUntilIdle(HeadlessCalculator::defaultWordLimit);
        healthy_ = outcome == CalculatorSession::RunOutcome::idle;
        EXPECT_TRUE(healthy_) << "power on";
    }
    firstLine_ = calculator_->printedLines().size();
    messageCount_ = calculator_->messages().size();
}

Calculator::~Calculator() {
    if (healthy_ && calculator_->messages().size() == messageCount_)
        sparePool().push_back(std::move(calculator_));
}

void Calculator::press(const std::string& keys) {
    for (const std::string& key : keyList(keys)) pressCounting(key);
}

uint64_t Calculator::pressCounting(const std::string& key) {
    const int index = keyIndexForName(key);
    EXPECT_GE(index, 0) << "unknown key " << key;
    if (index < 0) return 0;
    uint64_t words = 0;
    const auto result = calculator_->pressKey(index, HeadlessCalculator::defaultWordLimit, &words);
    if (result != HeadlessCalculator::Result::ok) healthy_ = false;
    EXPECT_EQ(result, HeadlessCalculator::Result::ok)
        << "key " << key
        << (calculator_->messages().empty() ? "" : ": " + calculator_->messages().back());
    return words;
}

std::string Calculator::shown() const {
    const std::string cells = display();
    const size_t first = cells.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    const size_t last = cells.find_last_not_of(' ');
    return cells.substr(first, last - first + 1);
}

std::vector<std::string> Calculator::tape() const {
    std::vector<std::string> lines;
    const auto& printed = calculator_->printedLines();
    for (size_t i = firstLine_; i < printed.size(); ++i)
        lines.push_back(calculator_->tapeText(printed[i]));
    return lines;
}

std::vector<std::string> Calculator::tapeTrimmed() const {
    std::vector<std::string> lines = tape();
    for (std::string& line : lines) {
        const size_t last = line.find_last_not_of(' ');
        line.erase(last == std::string::npos ? 0 : last + 1);
    }
    return lines;
}

std::string sci9Cells(bool negative, const std::string& tenDigits, int exponent) {
    std::string cells = negative ? "-" : " ";
    cells += tenDigits.substr(0, 1) + "." + tenDigits.substr(1);
    cells += exponent < 0 ? "-" : " ";
    const int size = std::abs(exponent);
    cells += static_cast<char>('0' + size / 10);
    cells += static_cast<char>('0' + size % 10);
    return cells;
}

std::string keysForNumber(bool negative, const std::string& tenDigits, int exponent) {
    std::string keys;
    for (size_t i = 0; i < tenDigits.size(); ++i) {
        keys += tenDigits.substr(i, 1) + " ";
        if (i == 0) keys += ". ";
    }
    if (negative) keys += "H ";
    const int size = std::abs(exponent);
    keys += "E " + std::to_string(size / 10) + " " + std::to_string(size % 10);
    if (exponent < 0) keys += " H";
    return keys;
}

}  // namespace quorvel::test
