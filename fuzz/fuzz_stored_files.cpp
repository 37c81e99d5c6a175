// The settings and roll readers on arbitrary files, damaged ones set aside included. The
// input is the file before scrambling, so plain-text seeds reach the header parsing.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "FuzzSupport.h"
#include "io/ScrambledFile.h"
#include "panel/Settings.h"
#include "printer/RollStore.h"
#include "printer/SpeedDialog.h"

using namespace quorvel;

namespace {

void writeScrambled(const std::string& path, const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    for (char& c : bytes) c = static_cast<char>(static_cast<unsigned char>(c) ^ scramblingByte);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A damaged file went aside whole, under a new name; nothing is left at the old one.
void checkSetAside(const DamagedFile& damage, const std::string& original) {
    if (!damage) return;
    if (damage.movedTo.empty()) fuzz::fail("a damaged file in a scratch folder did not move");
    if (std::filesystem::exists(damage.path)) fuzz::fail("the damaged file is still in place");
    if (contents(damage.movedTo) != original) fuzz::fail("the set-aside file changed");
    std::filesystem::remove(damage.movedTo);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string settingsPath = fuzz::scratchPath("cce73.ini");
    static const std::string rollPath = fuzz::scratchPath("pf73.dat");

    writeScrambled(settingsPath, data, size);
    const std::string settingsBytes = contents(settingsPath);
    PanelSettings settings;
    DamagedFile damage;
    readSettingsFile(settingsPath, settings, &damage);
    checkSetAside(damage, settingsBytes);
    if (settings.speedSetting < speedSettingMinimum ||
        settings.speedSetting > speedSettingMaximum || settings.leftMoveSpeed < leftSpeedMinimum ||
        settings.leftMoveSpeed > leftSpeedMaximum || settings.rightMoveSpeed < rightSpeedMinimum ||
        settings.rightMoveSpeed > rightSpeedMaximum) {
        fuzz::fail("a settings value outside its range");
    }
    // What was read is written and read back unchanged.
    if (!writeSettingsFile(settingsPath, settings)) fuzz::fail("writing the settings failed");
    PanelSettings again;
    readSettingsFile(settingsPath, again, &damage);
    if (damage || !(again == settings)) fuzz::fail("the settings did not survive a round trip");

    writeScrambled(rollPath, data, size);
    const std::string rollBytes = contents(rollPath);
    RollStore roll;
    const int lines = roll.loadRoll(rollPath, &damage);
    checkSetAside(damage, rollBytes);
    if (lines != roll.size() || lines > rollLineLimit) fuzz::fail("a roll beyond the limit");
    if (!roll.saveRoll(rollPath)) fuzz::fail("saving the roll failed");
    RollStore reloaded;
    reloaded.loadRoll(rollPath, &damage);
    if (damage || reloaded.rollLines() != roll.rollLines()) {
        fuzz::fail("the roll did not survive a round trip");
    }
    return 0;
}
