#pragma once

#include <string>
#include <vector>

namespace quorvel {

constexpr int rollLineLimit = 200;
inline constexpr const char* blankRollLine = "Blank";

// The printed roll: one text per printed or fed line, oldest first.
class RollStore {
public:
    const std::vector<std::string>& rollLines() const { return lines_; }
    int size() const { return static_cast<int>(lines_.size()); }

    // Drops the oldest line when the store holds exactly the limit, then appends.
    void appendRollLine(const std::string& text);
    void clear() { lines_.clear(); }
    void assign(std::vector<std::string> lines) { lines_ = std::move(lines); }

private:
    std::vector<std::string> lines_;
};

}  // namespace quorvel
