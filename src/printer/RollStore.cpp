#include "printer/RollStore.h"

namespace quorvel {

void RollStore::appendRollLine(const std::string& text) {
    if (size() == rollLineLimit) lines_.erase(lines_.begin());
    lines_.push_back(text);
}

}  // namespace quorvel
