#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvel {

struct KeyRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    // Strictly inside: a point on an edge is outside.
    bool containsStrictly(int32_t x, int32_t y) const {
        return left < x && x < right && top < y && y < bottom;
    }
};

// Kinds of key: plain, or with an alternate code used while the shift bit is set
// (kind 1 keeps the bit, kind 3 clears it).
enum KeyKind : int32_t { keyPlain = 0, keyShiftKeeps = 1, keyShiftClears = 3 };

struct KeyEntry {
    const char* legend;  // the PC key's name
    KeyRect face;        // on the face picture, window client pixels
    KeyRect picture;     // the pressed picture inside the sheet of pressed keys
    int32_t code;
    int32_t kind;
    int32_t alternateCode;  // -1 when the key has none
};

constexpr int keyCount = 37;
extern const std::array<KeyEntry, keyCount> keyTable;

// The key under a point of the face, -1 when none.
int keyIndexAt(int32_t x, int32_t y);

// Virtual-key codes of the PC keyboard, as the front ends deliver them.
enum VirtualKey : int32_t {
    vkBack = 8,
    vkReturn = 13,
    vkShift = 16,
    vkEscape = 27,
    vkNumpad0 = 96,
    vkMultiply = 106,
    vkAdd = 107,
    vkSubtract = 109,
    vkDecimal = 110,
    vkDivide = 111,
    vkOemPlus = 187,
    vkOemMinus = 189,
    vkOemPeriod = 190,
    vkOem2 = 191,
};

// Modifier state of a key event.
struct KeyModifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool any() const { return shift || control || alt; }
};

// The key index a PC key presses: 0 (SHIFT) for any key while exactly Shift is held,
// -1 when the key does nothing (another modifier, or an unmapped key).
int keyIndexForVirtualKey(int32_t virtualKey, KeyModifiers modifiers);

// The calculator keys a PC key press gives, in order. The characters + - * / give their
// operation by the character typed, whatever key and layout produced it; with Shift held a
// key gives its shifted function (SHIFT, then the key). Shift itself gives nothing here:
// SHIFT goes in when Shift comes up without another key between. Ctrl, Alt or an unmapped
// key give nothing.
std::vector<int> keyIndicesForPcKey(int32_t virtualKey, KeyModifiers modifiers,
                                    const std::string& text);

// Index of the key with this legend, compared without regard to case; -1 when none.
int keyIndexForLegend(const std::string& legend);

}  // namespace quorvel
