// Drives a powered-on calculator without a window and prints what a user would see.

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "io/TextUtils.h"
#include "panel/HeadlessCalculator.h"

using namespace quorvel;

namespace {

constexpr int exitOk = 0;
constexpr int exitUsage = 1;
constexpr int exitRunError = 2;
constexpr int exitStartup = 3;
constexpr int exitTimeout = 4;

const char* usageText =
    "usage: quorvel-run [--data DIR] [--mode man|all|norm] [--angle deg|grd|rad] [--trace]\n"
    "                   [--max-words N] KEY...\n"
    "KEY is the legend of a calculator key: SHIFT ENTER 0-9 . + - / X (or *) BS P F M ...\n";

int usage(const std::string& problem) {
    std::cerr << "quorvel-run: " << problem << "\n" << usageText;
    return exitUsage;
}

std::string executableFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    std::string text(path, static_cast<size_t>(length));
    const size_t slash = text.rfind('/');
    return slash == std::string::npos ? "." : text.substr(0, slash);
}

// Messages from the calculator use a carriage return as line break.
std::string forTerminal(std::string text) {
    for (char& c : text) {
        if (c == '\r') c = '\n';
    }
    return text;
}

void printMessages(const HeadlessCalculator& calculator) {
    for (const std::string& message : calculator.messages()) {
        std::cerr << forTerminal(message) << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataFolder = executableFolder();
    PrintModePosition mode = PrintModePosition::man;
    AnglePosition angle = AnglePosition::deg;
    bool trace = false;
    uint64_t maxWords = HeadlessCalculator::defaultWordLimit;
    std::vector<std::string> keys;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--data") {
            if (!value(dataFolder)) return usage("--data needs a folder");
        } else if (arg == "--mode") {
            if (!value(v)) return usage("--mode needs man, all or norm");
            if (v == "man") mode = PrintModePosition::man;
            else if (v == "all") mode = PrintModePosition::all;
            else if (v == "norm") mode = PrintModePosition::norm;
            else return usage("unknown print mode '" + v + "'");
        } else if (arg == "--angle") {
            if (!value(v)) return usage("--angle needs deg, grd or rad");
            if (v == "deg") angle = AnglePosition::deg;
            else if (v == "grd") angle = AnglePosition::grd;
            else if (v == "rad") angle = AnglePosition::rad;
            else return usage("unknown angle mode '" + v + "'");
        } else if (arg == "--trace") {
            trace = true;
        } else if (arg == "--max-words") {
            int n = 0;
            if (!value(v) || !parseDecimal(v, n) || n <= 0) {
                return usage("--max-words needs a positive number");
            }
            maxWords = static_cast<uint64_t>(n);
        } else if (arg == "--help" || arg == "-h") {
            std::cout << usageText;
            return exitOk;
        } else if (arg.size() > 2 && arg.rfind("--", 0) == 0) {
            return usage("unknown option '" + arg + "'");
        } else {
            if (keyIndexForName(arg) < 0) return usage("unknown key '" + arg + "'");
            keys.push_back(arg);
        }
    }

    HeadlessCalculator calculator(dataFolder);
    switch (calculator.start(mode, angle, maxWords)) {
        case HeadlessCalculator::Result::ok: break;
        case HeadlessCalculator::Result::startupFailed:
            printMessages(calculator);
            if (calculator.messages().empty()) {
                std::cerr << "quorvel-run: start-up failed (no face picture in " << dataFolder
                          << ")\n";
            }
            return exitStartup;
        case HeadlessCalculator::Result::runError:
            printMessages(calculator);
            return exitRunError;
        case HeadlessCalculator::Result::timeout:
            std::cerr << "quorvel-run: the calculator did not wait for a key within " << maxWords
                      << " words after power on\n";
            return exitTimeout;
    }

    for (const std::string& key : keys) {
        uint64_t used = 0;
        const auto result = calculator.pressKey(keyIndexForName(key), maxWords, &used);
        if (result == HeadlessCalculator::Result::runError) {
            printMessages(calculator);
            return exitRunError;
        }
        if (result == HeadlessCalculator::Result::timeout) {
            std::cerr << "quorvel-run: the calculator did not wait for a key within " << maxWords
                      << " words after key " << key << "\n";
            return exitTimeout;
        }
        if (trace) {
            std::cout << "key " << key << " words " << used << " display \""
                      << calculator.displayText() << "\"\n";
        }
    }

    std::cout << "display \"" << calculator.displayText() << "\"\n";
    for (const std::string& line : calculator.printedLines()) {
        std::cout << "tape \"" << calculator.tapeText(line) << "\"\n";
    }
    std::cout << "words " << calculator.wordsExecuted() << "\n";
    return exitOk;
}
