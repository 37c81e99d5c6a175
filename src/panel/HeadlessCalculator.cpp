#include "panel/HeadlessCalculator.h"

#include <algorithm>

#include "io/TextUtils.h"
#include "panel/KeyTable.h"

namespace quorvel {

int keyIndexForName(const std::string& name) {
    const std::string lower = lowerCase(name);
    if (lower == "bs" || lower == "backspace") return keyIndexForLegend("Back Space");
    if (lower == "*") return keyIndexForLegend("X");
    return keyIndexForLegend(name);
}

HeadlessCalculator::HeadlessCalculator(const std::string& dataFolder)
    : session_(
          dataFolder,
          {.messages = this, .sounds = this, .events = this, .timers = this, .listener = this}) {
    session_.pausesEnabled = false;
}

HeadlessCalculator::Result HeadlessCalculator::start(PrintModePosition mode, AnglePosition angle,
                                                     uint64_t wordLimit) {
    if (!session_.loadInstructionTable() || !session_.loadCalculator()) {
        return Result::startupFailed;
    }
    session_.setPrintMode(mode, false);
    session_.setAngle(angle, false);
    session_.requestPower(true);
    return run(wordLimit);
}

HeadlessCalculator::Result HeadlessCalculator::run(uint64_t wordLimit) {
    const CalculatorSession::RunOutcome outcome = session_.runUntilIdle(wordLimit);
    collectPrintedLines();
    switch (outcome) {
        case CalculatorSession::RunOutcome::idle: return Result::ok;
        case CalculatorSession::RunOutcome::error: return Result::runError;
        case CalculatorSession::RunOutcome::wordLimit: return Result::timeout;
        case CalculatorSession::RunOutcome::stopped: break;
    }
    return session_.machine().errorText.empty() ? Result::timeout : Result::runError;
}

HeadlessCalculator::Result HeadlessCalculator::pressKey(int keyIndex, uint64_t wordLimit,
                                                        uint64_t* wordsUsed) {
    const uint64_t before = wordsExecuted();
    const bool kept = session_.pressKey(keyIndex);
    const Result result = run(wordLimit);
    if (kept) session_.releaseKey();
    if (wordsUsed) *wordsUsed = wordsExecuted() - before;
    return result;
}

HeadlessCalculator::Result HeadlessCalculator::pressKeys(const std::vector<std::string>& legends,
                                                         uint64_t wordLimit) {
    for (const std::string& legend : legends) {
        const int index = keyIndexForName(legend);
        if (index < 0) return Result::runError;
        const Result result = pressKey(index, wordLimit);
        if (result != Result::ok) return result;
    }
    return Result::ok;
}

HeadlessCalculator::Result HeadlessCalculator::typeKeys(const std::vector<std::string>& legends,
                                                        uint64_t wordLimit) {
    for (const std::string& legend : legends) {
        const int index = keyIndexForName(legend);
        if (index < 0) return Result::runError;
        if (session_.pressKey(index)) session_.releaseKey();
    }
    return run(wordLimit);
}

void HeadlessCalculator::collectPrintedLines() {
    const uint64_t appended = session_.rollLinesAppended() - rollLinesSeen_;
    rollLinesSeen_ = session_.rollLinesAppended();
    const auto& lines = session_.roll().rollLines();
    const size_t count = std::min<uint64_t>(appended, lines.size());
    printedLines_.insert(printedLines_.end(), lines.end() - static_cast<std::ptrdiff_t>(count),
                         lines.end());
}

}  // namespace quorvel
