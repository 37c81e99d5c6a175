#include "panel/HeadlessCalculator.h"

#include <algorithm>
#include <cctype>

namespace quorvel {

namespace {

PanelServices servicesOf(MessageBoxes* messages, SoundOutput* sounds, EventDispatch* events,
                         PanelTimers* timers, PanelWindow* window) {
    PanelServices services;
    services.messages = messages;
    services.sounds = sounds;
    services.events = events;
    services.timers = timers;
    services.window = window;
    return services;
}

}  // namespace

int keyIndexForName(const std::string& name) {
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "BS" || upper == "BACKSPACE") return keyIndexForLegend("Back Space");
    if (upper == "*") return keyIndexForLegend("X");
    return keyIndexForLegend(name);
}

HeadlessCalculator::HeadlessCalculator(const std::string& dataFolder)
    : panel(dataFolder, servicesOf(this, this, this, this, this)) {
    panel.pausesEnabled = false;
    panel.storedStateEnabled = false;
}

HeadlessCalculator::Result HeadlessCalculator::start(PrintModePosition mode, AnglePosition angle,
                                                     uint64_t wordLimit) {
    panel.setPrintMode(mode, false);
    panel.setAngle(angle, false);
    if (!panel.FormActivate()) return Result::startupFailed;
    panel.requestPower(true);
    return run(wordLimit);
}

HeadlessCalculator::Result HeadlessCalculator::run(uint64_t wordLimit) {
    const MainPanel::RunOutcome outcome = panel.runUntilIdle(wordLimit);
    collectPrintedLines();
    switch (outcome) {
        case MainPanel::RunOutcome::idle:
            return Result::ok;
        case MainPanel::RunOutcome::error:
            return Result::runError;
        case MainPanel::RunOutcome::wordLimit:
            return Result::timeout;
        case MainPanel::RunOutcome::stopped:
            break;
    }
    return panel.machine.errorText.empty() ? Result::timeout : Result::runError;
}

HeadlessCalculator::Result HeadlessCalculator::pressKey(int keyIndex, uint64_t wordLimit,
                                                        uint64_t* wordsUsed) {
    const uint64_t before = wordsExecuted();
    panel.setKeyIndex(keyIndex);
    panel.press();
    const Result result = run(wordLimit);
    panel.release();
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
        panel.setKeyIndex(index);
        panel.press();
        panel.release();
    }
    return run(wordLimit);
}

void HeadlessCalculator::collectPrintedLines() {
    const uint64_t appended = panel.rollLinesAppended - rollLinesSeen_;
    rollLinesSeen_ = panel.rollLinesAppended;
    const auto& lines = panel.roll.rollLines();
    const size_t count = std::min<uint64_t>(appended, lines.size());
    printedLines_.insert(printedLines_.end(), lines.end() - static_cast<std::ptrdiff_t>(count),
                         lines.end());
}

}  // namespace quorvel
