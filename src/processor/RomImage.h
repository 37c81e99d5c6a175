#pragma once

#include <cstdint>
#include <vector>

namespace quorvel {

// One ROM word as the assembler leaves it.
struct RomWord {
    int32_t word = 0;         // the instruction word, or the target of an address word
    uint8_t addressWord = 0;  // 1: the 10-bit target of a "then go to" after an "if"
};

using RomImage = std::vector<RomWord>;

// The internal instruction word's class, in bits 8 to 11.
constexpr int instructionClass(int32_t word) {
    return (word >> 8) & 15;
}

}  // namespace quorvel
