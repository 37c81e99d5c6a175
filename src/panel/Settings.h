#pragma once

#include <string>
#include <vector>

#include "io/ScrambledFile.h"
#include "panel/SwitchPositions.h"

namespace quorvel {

inline constexpr const char* settingsFileName = "cce73.ini";

// What survives a restart, with the values the window starts with.
struct PanelSettings {
    PowerPosition power = PowerPosition::off;
    std::string key001;  // kept as read, for writing back
    int speedSetting = 55;
    bool keyLegend = false;
    bool sounds = true;
    int leftMoveSpeed = 47;
    int rightMoveSpeed = 24;
    PrintModePosition printMode = PrintModePosition::man;
    AnglePosition angle = AnglePosition::deg;

    friend bool operator==(const PanelSettings&, const PanelSettings&) = default;
};

// A truth value: a number is true unless it is zero, "True" and "False" in any case;
// anything else gives the default.
bool readTruthValue(const std::string& text, bool defaultValue);

// The values the program can use; a value read outside them is taken to the nearest end,
// and that is what gets written back. Beyond 100 the pacing would shrink again and from
// 200 on pause after every word; the head speeds are the speed dialog's ranges.
constexpr int speedSettingMinimum = 0;
constexpr int speedSettingMaximum = 100;

// Applies settings lines (three-digit key, then the value) in order; unknown keys and
// lines without a key are ignored, a later line of the same key wins.
void applySettingsLines(const std::vector<std::string>& lines, PanelSettings& settings);
// The nine lines 000 to 008 that the writer stores.
std::vector<std::string> settingsLines(const PanelSettings& settings);

// Reads the settings file over `settings`; a missing file changes nothing. A file that
// cannot be read whole is renamed aside and the lines in front of the damage apply;
// `damage` then says where it went.
void readSettingsFile(const std::string& path, PanelSettings& settings,
                      DamagedFile* damage = nullptr);
// Writes the settings file; the previous file survives a failed write. True when written.
bool writeSettingsFile(const std::string& path, const PanelSettings& settings);

}  // namespace quorvel
