#include <gtest/gtest.h>

#include <cstdlib>

#include "panel/KeyTable.h"

namespace quorvel {
namespace {

TEST(KeyHitTest, AKeyTakesOnlyPointsStrictlyInsideItsRectangle) {
    for (int i = 0; i < keyCount; ++i) {
        const KeyRect& r = keyTable[i].face;
        const int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
        EXPECT_EQ(keyIndexAt(r.left + 1, r.top + 1), i) << keyTable[i].legend;
        EXPECT_EQ(keyIndexAt(r.right - 1, r.bottom - 1), i) << keyTable[i].legend;
        EXPECT_EQ(keyIndexAt(midX, midY), i) << keyTable[i].legend;
        for (auto [x, y] : {std::pair{r.left, midY}, std::pair{r.right, midY},
                            std::pair{midX, r.top}, std::pair{midX, r.bottom}}) {
            EXPECT_EQ(keyIndexAt(x, y), -1) << keyTable[i].legend << " edge " << x << "," << y;
        }
    }
    EXPECT_EQ(keyIndexAt(0, 0), -1);
    EXPECT_EQ(keyIndexAt(320, 300), -1) << "between the blocks";
}

TEST(KeyTable, PressedPicturesLieOnTheSheetAtTheSizeOfTheirKeys) {
    for (const KeyEntry& key : keyTable) {
        // the table gives a few pictures one row more than their keys; the press copies
        // the key's size from the picture's corner
        EXPECT_EQ(key.picture.width(), key.face.width()) << key.legend;
        EXPECT_LE(std::abs(key.picture.height() - key.face.height()), 1) << key.legend;
        EXPECT_LE(key.picture.right, 429);
        EXPECT_LE(key.picture.bottom, 233);
    }
}

TEST(KeyboardMapping, TakesTheTableKeysWithoutModifiers) {
    struct Case {
        int32_t virtualKey;
        int index;
    };
    const Case cases[] = {
        {vkBack, 16},      {vkReturn, 13},
        {'0', 26},         {vkNumpad0, 26},
        {'1', 23},         {vkNumpad0 + 1, 23},
        {'2', 24},         {'3', 25},
        {'4', 20},         {'5', 21},
        {'6', 22},         {'7', 17},
        {'8', 18},         {vkNumpad0 + 9, 19},
        {'C', 7},          {'E', 5},
        {'F', 31},         {'G', 12},
        {'H', 14},         {'J', 15},
        {'K', 3},          {'L', 35},
        {'M', 33},         {'N', 4},
        {'P', 29},         {'Q', 2},
        {'R', 9},          {'S', 6},
        {'T', 8},          {'V', 1},
        {'W', 36},         {'X', 30},
        {vkMultiply, 30},  {'Y', 10},
        {'Z', 11},         {vkAdd, 34},
        {vkOemPlus, 34},   {vkSubtract, 32},
        {vkOemMinus, 32},  {vkDecimal, 27},
        {vkOemPeriod, 27}, {vkDivide, 28},
        {vkOem2, 28},      {'A', -1},
        {'B', -1},         {'D', -1},
        {'I', -1},         {'O', -1},
        {'U', -1},         {vkEscape, -1},
        {vkShift, -1},     {0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(keyIndexForVirtualKey(c.virtualKey, {}), c.index) << "key " << c.virtualKey;
    }
}

TEST(KeyboardMapping, ShiftAlonePressesShiftAndOtherModifiersStopTheKey) {
    KeyModifiers shift;
    shift.shift = true;
    EXPECT_EQ(keyIndexForVirtualKey('8', shift), 0) << "Shift+8 is SHIFT, not 8";
    EXPECT_EQ(keyIndexForVirtualKey(vkShift, shift), 0);
    EXPECT_EQ(keyIndexForVirtualKey('A', shift), 0) << "even a key without a mapping";
    KeyModifiers control;
    control.control = true;
    KeyModifiers alt;
    alt.alt = true;
    KeyModifiers shiftControl = shift;
    shiftControl.control = true;
    for (const KeyModifiers& held : {control, alt, shiftControl}) {
        EXPECT_EQ(keyIndexForVirtualKey('5', held), -1);
    }
}

TEST(KeyboardMapping, TypedOperatorsGoByTheirCharacterAndShiftGivesTheShiftedKey) {
    const KeyModifiers none, shift{true, false, false}, control{false, true, false};
    struct Case {
        int32_t virtualKey;
        KeyModifiers modifiers;
        const char* text;
        std::vector<int> keys;
    };
    const Case cases[] = {
        {'Q', shift, "Q", {0, 2}},  // x squared: SHIFT, then Q
        {'Q', none, "q", {2}},
        {vkOemPlus, shift, "+", {34}},  // "+" on Shift+= is the + key, not SHIFT
        {'8', shift, "*", {30}},        // "*" on Shift+8 multiplies
        {'1', shift, "+", {34}},        // another layout's "+" on another key
        {'1', shift, "!", {0, 23}},     // a shifted digit is the digit
        {vkNumpad0 + 1, shift, "", {0, 23}},
        {0, none, "/", {28}},  // a key the mapping does not know
        {vkOemMinus, none, "-", {32}},
        {vkOemPlus, none, "=", {34}},  // the key itself where its character is no operator
        {'A', shift, "A", {}},
        {vkShift, shift, "", {}},  // Shift alone goes in when it comes up
        {'C', control, "\x03", {}},
        {'8', control, "*", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(keyIndicesForPcKey(c.virtualKey, c.modifiers, c.text), c.keys)
            << "key " << c.virtualKey << " text " << c.text;
    }
}

}  // namespace
}  // namespace quorvel
