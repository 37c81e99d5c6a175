#pragma once

#include <string>
#include <vector>

#include "io/ScrambledFile.h"
#include "platform/Bitmap.h"
#include "platform/Platform.h"
#include "printer/RollEntry.h"

namespace quorvel {

constexpr int rollLineLimit = 200;
inline constexpr const char* rollFileName = "pf73.dat";

// The roll counter picture (pcntImage) and its text colours.
constexpr int rollCounterWidth = 28;
constexpr int rollCounterHeight = 15;
constexpr Rgb rollCounterColour{133, 128, 105};
constexpr Rgb rollCounterFullColour{255, 0, 0};
constexpr Rgb rollCounterBaseColour{236, 232, 218};

// The counter's blank background drawn when no picture is supplied.
Bitmap rollCounterBasePicture();

// The printed roll: one text per printed or fed line, oldest first.
class RollStore : public RollLineSink {
  public:
    const std::vector<std::string>& rollLines() const { return lines_; }
    int size() const { return static_cast<int>(lines_.size()); }

    // Drops the oldest line when the store holds exactly the limit, then appends. A store
    // loaded with more lines than the limit keeps growing.
    void appendRollLine(const std::string& text) override;
    void clear() { lines_.clear(); }
    void assign(std::vector<std::string> lines) { lines_ = std::move(lines); }

    // Empties the store and reads the roll file into it, keeping the newest lines up to the
    // limit; a missing file gives an empty roll. A file that cannot be read whole is
    // renamed aside and the roll starts with the lines in front of the damage; `damage`
    // then says where the file went. Returns the number of lines in the store.
    int loadRoll(const std::string& path, DamagedFile* damage = nullptr);
    // Writes the store to the roll file. Nothing is written (false) while no roll has been
    // loaded: after a failed start-up the empty store must not replace the stored roll;
    // nor over a damaged file that could not be set aside, or a special file.
    // A failed write (false) leaves the old file as it was.
    bool saveRoll(const std::string& path) const;

    // The number of lines, centred on the counter's background, red from the limit on.
    void drawRollCounter(Bitmap& counterImage, const Bitmap& counterBase, TextDrawing& text) const;

  private:
    std::vector<std::string> lines_;
    bool loaded_ = false;
    std::string protectedPath_;  // a damaged or special file that stayed in place
};

}  // namespace quorvel
