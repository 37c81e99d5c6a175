#pragma once

// Where jumps land: the page, block and bank rules of the program counter. The executor,
// the assembler's label search and its reachability warning all use these.

#include <cstdint>

namespace quorvel::jump {

constexpr int32_t pageWords = 256;
constexpr int32_t blockWords = 1024;
constexpr int32_t bankWords = 4096;

constexpr int32_t pageStart(int32_t address) {
    return address & ~(pageWords - 1);
}
constexpr int32_t blockStart(int32_t address) {
    return address & ~(blockWords - 1);
}
constexpr int32_t bankStart(int32_t address) {
    return address & ~(bankWords - 1);
}

// The counter after the word at `address`: the next word, wrapping inside its bank.
constexpr int32_t nextAddress(int32_t address) {
    return (address & 0xFFF) == 0xFFF ? (address & bankWords) : address + 1;
}

// A call stays in the page of the counter (already past the call); a go to keeps the bank
// and page too.
constexpr int32_t callTarget(int32_t counter, int32_t low8) {
    return (counter & ~255) + low8;
}
constexpr int32_t gotoTarget(int32_t counter, int32_t low8) {
    return (counter & 0x1F00) | (low8 & 255);
}
// The 10-bit address word of a test's branch lands in the 1024-word block of that word.
constexpr int32_t branchWordTarget(int32_t addressWordAt, int32_t word) {
    return (addressWordAt & 0x1C00) + word;
}
// Selects waiting for the next jump: a bank (0 or 4096) replaces bank bit and bit 11, a
// page (page x 256) replaces the page.
constexpr int32_t withBank(int32_t target, int32_t bank) {
    return (target & 0x7FF) + bank;
}
constexpr int32_t withPage(int32_t target, int32_t pageBase) {
    return (target & 0x10FF) + pageBase;
}
// A go to (not a call) into the first four pages of bank 1 lands in bank 0.
constexpr int32_t foldGoto(int32_t target) {
    return target >= 4096 && target < 5120 ? target & 4095 : target;
}

}  // namespace quorvel::jump
