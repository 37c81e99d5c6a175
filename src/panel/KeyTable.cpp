#include "panel/KeyTable.h"

#include "io/TextUtils.h"

namespace quorvel {

const std::array<KeyEntry, keyCount> keyTable = {{
    {"SHIFT", {114, 231, 166, 259}, {1, 7, 53, 35}, 39, keyPlain, -1},
    {"V", {181, 231, 233, 259}, {62, 7, 114, 35}, 60, keyShiftClears, 50},
    {"Q", {245, 231, 297, 259}, {122, 7, 174, 35}, 34, keyShiftClears, 70},
    {"K", {114, 279, 166, 307}, {1, 55, 53, 83}, 124, keyPlain, -1},
    {"N", {181, 279, 233, 307}, {62, 55, 114, 83}, 115, keyPlain, -1},
    {"E", {245, 279, 297, 307}, {122, 55, 174, 83}, 128, keyPlain, -1},
    {"S", {114, 326, 166, 353}, {1, 101, 53, 129}, 121, keyPlain, -1},
    {"C", {181, 326, 233, 353}, {62, 101, 114, 129}, 91, keyPlain, -1},
    {"T", {245, 326, 297, 353}, {122, 101, 174, 129}, 51, keyPlain, -1},
    {"R", {114, 371, 166, 399}, {1, 147, 53, 175}, 131, keyShiftClears, 134},
    {"Y", {181, 371, 233, 399}, {62, 147, 114, 175}, 54, keyPlain, -1},
    {"Z", {245, 371, 297, 399}, {122, 147, 174, 175}, 94, keyPlain, -1},
    {"G", {114, 417, 166, 444}, {1, 192, 53, 220}, 68, keyPlain, -1},
    {"ENTER", {195, 414, 283, 449}, {76, 190, 164, 225}, 69, keyPlain, -1},
    {"H", {352, 227, 388, 262}, {187, 3, 223, 38}, 108, keyPlain, -1},
    {"J", {403, 227, 439, 262}, {238, 3, 274, 38}, 118, keyPlain, -1},
    {"Back Space", {453, 227, 489, 262}, {288, 3, 324, 38}, 88, keyPlain, -1},
    {"7", {352, 275, 388, 310}, {187, 51, 223, 86}, 110, keyShiftKeeps, 34},
    {"8", {403, 275, 439, 310}, {238, 51, 274, 86}, 40, keyShiftKeeps, 70},
    {"9", {453, 275, 489, 310}, {288, 51, 324, 86}, 20, keyPlain, -1},
    {"4", {352, 322, 388, 357}, {187, 98, 223, 133}, 23, keyShiftKeeps, 60},
    {"5", {403, 322, 439, 357}, {238, 98, 274, 133}, 22, keyShiftKeeps, 50},
    {"6", {453, 322, 489, 357}, {288, 98, 324, 133}, 21, keyPlain, -1},
    {"1", {352, 368, 388, 403}, {187, 144, 223, 179}, 114, keyShiftKeeps, 134},
    {"2", {403, 368, 439, 403}, {238, 144, 274, 179}, 25, keyShiftKeeps, 131},
    {"3", {453, 368, 489, 403}, {288, 144, 324, 179}, 24, keyPlain, -1},
    {"0", {354, 415, 440, 449}, {189, 191, 275, 225}, 27, keyPlain, -1},
    {".", {453, 414, 489, 449}, {288, 190, 324, 225}, 74, keyPlain, -1},
    {"/", {530, 227, 566, 262}, {335, 3, 371, 38}, 14, keyPlain, -1},
    {"P", {580, 227, 616, 262}, {385, 3, 421, 38}, 148, keyPlain, -1},
    {"X", {530, 275, 566, 310}, {335, 51, 371, 86}, 30, keyPlain, -1},
    {"F", {580, 275, 616, 310}, {385, 51, 421, 86}, 28, keyPlain, -1},
    {"-", {530, 322, 566, 357}, {335, 98, 371, 133}, 11, keyPlain, -1},
    {"M", {580, 322, 616, 357}, {385, 98, 421, 133}, 48, keyPlain, -1},
    {"+", {532, 368, 567, 448}, {337, 144, 372, 224}, 18, keyShiftClears, 138},
    {"L", {582, 368, 618, 403}, {387, 144, 423, 179}, 64, keyPlain, -1},
    {"W", {582, 413, 618, 448}, {387, 189, 423, 224}, 104, keyShiftClears, 58},
}};

int keyIndexAt(int32_t x, int32_t y) {
    for (int i = 0; i < keyCount; ++i) {
        if (keyTable[i].face.containsStrictly(x, y)) return i;
    }
    return -1;
}

namespace {

int keyIndexForLetter(char letter) {
    switch (letter) {
        case 'C': return 7;
        case 'E': return 5;
        case 'F': return 31;
        case 'G': return 12;
        case 'H': return 14;
        case 'J': return 15;
        case 'K': return 3;
        case 'L': return 35;
        case 'M': return 33;
        case 'N': return 4;
        case 'P': return 29;
        case 'Q': return 2;
        case 'R': return 9;
        case 'S': return 6;
        case 'T': return 8;
        case 'V': return 1;
        case 'W': return 36;
        case 'X': return 30;
        case 'Y': return 10;
        case 'Z': return 11;
        default: return -1;
    }
}

// Key index of each digit 0..9.
constexpr int digitKeys[10] = {26, 23, 24, 25, 20, 21, 22, 17, 18, 19};

}  // namespace

int keyIndexForVirtualKey(int32_t vk, KeyModifiers modifiers) {
    if (modifiers.shift && !modifiers.control && !modifiers.alt) return 0;
    if (modifiers.any()) return -1;
    if (vk >= '0' && vk <= '9') return digitKeys[vk - '0'];
    if (vk >= vkNumpad0 && vk <= vkNumpad0 + 9) return digitKeys[vk - vkNumpad0];
    if (vk >= 'A' && vk <= 'Z') return keyIndexForLetter(static_cast<char>(vk));
    switch (vk) {
        case vkBack: return 16;
        case vkReturn: return 13;
        case vkMultiply: return 30;
        case vkAdd:
        case vkOemPlus: return 34;
        case vkSubtract:
        case vkOemMinus: return 32;
        case vkDecimal:
        case vkOemPeriod: return 27;
        case vkDivide:
        case vkOem2: return 28;
        default: return -1;
    }
}

std::vector<int> keyIndicesForPcKey(int32_t virtualKey, KeyModifiers modifiers,
                                    const std::string& text) {
    if (modifiers.control || modifiers.alt || virtualKey == vkShift) return {};
    if (text.size() == 1) {
        switch (text[0]) {
            case '+': return {keyIndexForVirtualKey(vkAdd, {})};
            case '-': return {keyIndexForVirtualKey(vkSubtract, {})};
            case '*': return {keyIndexForVirtualKey(vkMultiply, {})};
            case '/': return {keyIndexForVirtualKey(vkDivide, {})};
            default: break;
        }
    }
    const int index = keyIndexForVirtualKey(virtualKey, {});
    if (index < 0) return {};
    if (modifiers.shift && index != 0) return {0, index};
    return {index};
}

int keyIndexForLegend(const std::string& legend) {
    for (int i = 0; i < keyCount; ++i) {
        if (sameTextIgnoringCase(keyTable[i].legend, legend)) return i;
    }
    return -1;
}

}  // namespace quorvel
