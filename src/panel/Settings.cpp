#include "panel/Settings.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "io/ScrambledFile.h"
#include "io/TextUtils.h"
#include "printer/SpeedDialog.h"

namespace quorvel {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal number with optional blanks around it, a sign, a fraction and an exponent.
// Gives whether the text is one, and whether it is zero.
bool readNumber(const std::string& text, bool& isZero) {
    size_t i = 0;
    const size_t n = text.size();
    auto skipBlanks = [&] {
        while (i < n && text[i] == ' ') ++i;
    };
    skipBlanks();
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false;
    bool nonZero = false;
    for (; i < n && isDigit(text[i]); ++i) {
        digits = true;
        nonZero = nonZero || text[i] != '0';
    }
    if (i < n && text[i] == '.') {
        for (++i; i < n && isDigit(text[i]); ++i) {
            digits = true;
            nonZero = nonZero || text[i] != '0';
        }
    }
    if (!digits) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        if (i >= n || !isDigit(text[i])) return false;
        while (i < n && isDigit(text[i])) ++i;
    }
    skipBlanks();
    if (i != n) return false;
    isZero = !nonZero;
    return true;
}

int readInteger(const std::string& text, int defaultValue) {
    int value = defaultValue;
    return parseDecimal(text, value) ? value : defaultValue;
}

int readInteger(const std::string& text, int defaultValue, int minimum, int maximum) {
    return std::clamp(readInteger(text, defaultValue), minimum, maximum);
}

std::string truthText(bool value) {
    return value ? "-1" : "0";
}

}  // namespace

int nearestZoom(int percent) {
    int best = zoomChoices[0];
    for (int choice : zoomChoices) {
        if (std::abs(choice - percent) < std::abs(best - percent)) best = choice;
    }
    return best;
}

bool readTruthValue(const std::string& text, bool defaultValue) {
    bool isZero = false;
    if (readNumber(text, isZero)) return !isZero;
    if (sameTextIgnoringCase(text, "True")) return true;
    if (sameTextIgnoringCase(text, "False")) return false;
    return defaultValue;
}

void applySettingsLines(const std::vector<std::string>& lines, PanelSettings& s) {
    for (std::string value : lines) {
        const int index = takeThreeDigitPrefix(value, true);
        switch (index) {
            case 0:
                s.power = readTruthValue(value, false) ? PowerPosition::on : PowerPosition::off;
                break;
            case 1: s.key001 = value; break;
            case 2:
                s.speedSetting = readInteger(value, defaultSpeedSetting, speedSettingMinimum,
                                             speedSettingMaximum);
                break;
            case 3: s.keyLegend = readTruthValue(value, false); break;
            case 4: s.sounds = readTruthValue(value, false); break;
            case 5:
                s.leftMoveSpeed =
                    readInteger(value, defaultLeftMoveSpeed, leftSpeedMinimum, leftSpeedMaximum);
                break;
            case 6:
                s.rightMoveSpeed =
                    readInteger(value, defaultRightMoveSpeed, rightSpeedMinimum, rightSpeedMaximum);
                break;
            case 7:
                switch (readInteger(value, 0)) {
                    case 0: s.printMode = PrintModePosition::all; break;
                    case 1: s.printMode = PrintModePosition::norm; break;
                    default: s.printMode = PrintModePosition::man; break;
                }
                break;
            case 8:
                switch (readInteger(value, 0)) {
                    case 0: s.angle = AnglePosition::deg; break;
                    case 1: s.angle = AnglePosition::rad; break;
                    default: s.angle = AnglePosition::grd; break;
                }
                break;
            case 9:
            case 10: {
                int coordinate = 0;
                if (!parseDecimal(value, coordinate)) break;
                // A corner far off is no place: the window is centred.
                if (std::abs(coordinate) > windowCoordinateLimit) {
                    s.windowPlaced = false;
                    break;
                }
                (index == 9 ? s.windowLeft : s.windowTop) = coordinate;
                s.windowPlaced = true;
                break;
            }
            case 11: s.zoomPercent = nearestZoom(readInteger(value, 100, 100, 200)); break;
            case 12: s.fast = readTruthValue(value, false); break;
            case 13: s.printFile = value; break;
            default: break;
        }
    }
}

std::vector<std::string> settingsLines(const PanelSettings& s) {
    int printMode = 2;
    if (s.printMode == PrintModePosition::all) printMode = 0;
    if (s.printMode == PrintModePosition::norm) printMode = 1;
    int angle = 0;
    if (s.angle == AnglePosition::rad) angle = 1;
    if (s.angle == AnglePosition::grd) angle = 2;
    std::vector<std::string> lines = {
        "000" + truthText(s.power == PowerPosition::on),
        "001" + s.key001,
        "002" + std::to_string(s.speedSetting),
        "003" + truthText(s.keyLegend),
        "004" + truthText(s.sounds),
        "005" + std::to_string(s.leftMoveSpeed),
        "006" + std::to_string(s.rightMoveSpeed),
        "007" + std::to_string(printMode),
        "008" + std::to_string(angle),
    };
    if (s.windowPlaced) {
        lines.push_back("009" + std::to_string(s.windowLeft));
        lines.push_back("010" + std::to_string(s.windowTop));
    }
    lines.push_back("011" + std::to_string(s.zoomPercent));
    lines.push_back("012" + truthText(s.fast));
    if (!s.printFile.empty()) lines.push_back("013" + s.printFile);
    return lines;
}

void readSettingsFile(const std::string& path, PanelSettings& settings, DamagedFile* damage) {
    if (damage) *damage = DamagedFile{};
    std::vector<std::string> lines;
    const ListFile result = readScrambledList(path, lines);
    if (result == ListFile::damaged || result == ListFile::unreadable) {
        const DamagedFile found{path, setFileAside(path), static_cast<int>(lines.size())};
        if (damage) *damage = found;
    }
    applySettingsLines(lines, settings);
}

bool writeSettingsFile(const std::string& path, const PanelSettings& settings) {
    return saveScrambledList(path, settingsLines(settings));
}

}  // namespace quorvel
