#pragma once

#include <string>
#include <vector>

#include "io/ScrambledFile.h"
#include "panel/SwitchPositions.h"
#include "printer/PrintMechanism.h"

namespace quorvel {

inline constexpr const char* settingsFileName = "cce73.ini";

// The processor's speed setting (its bursts between pauses) a first start runs at.
constexpr int defaultSpeedSetting = 55;

// What survives a restart, with the values the window starts with.
struct PanelSettings {
    PowerPosition power = PowerPosition::off;
    std::string key001;  // kept as read, for writing back
    int speedSetting = defaultSpeedSetting;
    bool keyLegend = false;
    bool sounds = true;
    int leftMoveSpeed = defaultLeftMoveSpeed;
    int rightMoveSpeed = defaultRightMoveSpeed;
    PrintModePosition printMode = PrintModePosition::man;
    AnglePosition angle = AnglePosition::deg;
    // Beyond the nine above: the window's top left corner (not placed: centred), the zoom
    // in percent and Fast.
    bool windowPlaced = false;
    int windowLeft = 0;
    int windowTop = 0;
    int zoomPercent = 100;
    bool fast = false;
    // The file the roll was last printed to (key 013); empty: none yet.
    std::string printFile;

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
// A corner beyond this is no screen's; the window then stands centred on the screen.
constexpr int windowCoordinateLimit = 32767;
// The zooms the window offers; a stored value goes to the nearest of them.
constexpr int zoomChoices[] = {100, 150, 200};
int nearestZoom(int percent);

// Applies settings lines (three-digit key, then the value) in order; unknown keys and
// lines without a key are ignored, a later line of the same key wins.
void applySettingsLines(const std::vector<std::string>& lines, PanelSettings& settings);
// The lines the writer stores: 000 to 008, then 009 and 010 (the window's corner, when
// placed), 011 (zoom), 012 (Fast) and 013 (the last print file, when there is one).
std::vector<std::string> settingsLines(const PanelSettings& settings);

// Reads the settings file over `settings`; a missing file changes nothing. A file that
// cannot be read whole is renamed aside and the lines in front of the damage apply;
// `damage` then says where it went.
void readSettingsFile(const std::string& path, PanelSettings& settings,
                      DamagedFile* damage = nullptr);
// Writes the settings file; the previous file survives a failed write. True when written.
bool writeSettingsFile(const std::string& path, const PanelSettings& settings);

}  // namespace quorvel
