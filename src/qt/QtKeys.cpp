#include "QtKeys.h"

namespace quorvel {

namespace {

// xkb keycodes (evdev + 8) of the top row's 1..9, 0 and of the keypad's 0..9; the same on
// every layout.
constexpr quint32 xkbTopRowOne = 10;
constexpr quint32 xkbTopRowZero = 19;
constexpr quint32 xkbKeypad[10] = {90, 87, 88, 89, 83, 84, 85, 79, 80, 81};

// The digit key's virtual key ('0'..'9' or a keypad digit) by its place, 0 for another key.
int32_t digitByPlace(NativeKeys native, quint32 scanCode, quint32 virtualKey) {
    switch (native) {
        case NativeKeys::xkbKeycode:
            if (scanCode >= xkbTopRowOne && scanCode <= xkbTopRowZero) {
                return '0' + static_cast<int32_t>((scanCode - xkbTopRowOne + 1) % 10);
            }
            for (int32_t digit = 0; digit < 10; ++digit) {
                if (scanCode == xkbKeypad[digit]) return vkNumpad0 + digit;
            }
            return 0;
        case NativeKeys::windowsVirtualKey:
            if (virtualKey >= '0' && virtualKey <= '9') return static_cast<int32_t>(virtualKey);
            if (virtualKey >= vkNumpad0 && virtualKey <= vkNumpad0 + 9) {
                return static_cast<int32_t>(virtualKey);
            }
            return 0;
        case NativeKeys::unknown: return 0;
    }
    return 0;
}

}  // namespace

NativeKeys nativeKeysOfPlatform(const QString& platformName) {
    if (platformName == "xcb" || platformName.startsWith("wayland")) return NativeKeys::xkbKeycode;
    if (platformName == "windows") return NativeKeys::windowsVirtualKey;
    return NativeKeys::unknown;
}

TranslatedKey translateKey(int qtKey, Qt::KeyboardModifiers qtModifiers, NativeKeys native,
                           quint32 nativeScanCode, quint32 nativeVirtualKey) {
    TranslatedKey out;
    out.modifiers.shift = qtModifiers.testFlag(Qt::ShiftModifier) || qtKey == Qt::Key_Shift;
    out.modifiers.control = qtModifiers.testFlag(Qt::ControlModifier);
    // The Windows key counts as a modifier that stops a key, like Alt.
    out.modifiers.alt =
        qtModifiers.testFlag(Qt::AltModifier) || qtModifiers.testFlag(Qt::MetaModifier);
    const bool keypad = qtModifiers.testFlag(Qt::KeypadModifier);

    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        out.virtualKey = keypad ? vkNumpad0 + (qtKey - Qt::Key_0) : '0' + (qtKey - Qt::Key_0);
    } else if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        out.virtualKey = 'A' + (qtKey - Qt::Key_A);
    } else {
        switch (qtKey) {
            case Qt::Key_Backspace: out.virtualKey = vkBack; break;
            case Qt::Key_Return:
            case Qt::Key_Enter: out.virtualKey = vkReturn; break;
            case Qt::Key_Escape: out.virtualKey = vkEscape; break;
            case Qt::Key_Shift: out.virtualKey = vkShift; break;
            case Qt::Key_Asterisk: out.virtualKey = keypad ? vkMultiply : 0; break;
            case Qt::Key_Plus: out.virtualKey = keypad ? vkAdd : vkOemPlus; break;
            case Qt::Key_Equal: out.virtualKey = vkOemPlus; break;
            case Qt::Key_Minus: out.virtualKey = keypad ? vkSubtract : vkOemMinus; break;
            case Qt::Key_Period: out.virtualKey = keypad ? vkDecimal : vkOemPeriod; break;
            case Qt::Key_Comma: out.virtualKey = keypad ? vkDecimal : 0; break;
            case Qt::Key_Slash: out.virtualKey = keypad ? vkDivide : vkOem2; break;
            default: out.virtualKey = 0; break;
        }
    }
    const int32_t digit = digitByPlace(native, nativeScanCode, nativeVirtualKey);
    const bool keypadDigit = digit >= vkNumpad0;
    // A keypad key without Shift keeps what Num Lock made of it (an arrow does nothing).
    if (digit != 0 && (!keypadDigit || out.modifiers.shift || out.virtualKey == digit)) {
        out.virtualKey = digit;
    }
    return out;
}

}  // namespace quorvel
