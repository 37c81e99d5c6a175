#pragma once

#include <QKeyEvent>

#include "panel/KeyTable.h"

namespace quorvel {

// A Qt key event as the virtual key of the PC keyboard and its modifiers; 0 for a key the
// calculator does not know.
struct TranslatedKey {
    int32_t virtualKey = 0;
    KeyModifiers modifiers;
};

// How the platform numbers its keys (QKeyEvent::nativeScanCode / nativeVirtualKey): X11 and
// Wayland give the keyboard's xkb keycode, Windows its virtual key.
enum class NativeKeys { unknown, xkbKeycode, windowsVirtualKey };
NativeKeys nativeKeysOfPlatform(const QString& platformName);

// The digit keys go by their place on the keyboard, not by what they type, so Shift+1 is
// still the 1 key (the typed "!" means nothing to the calculator) and the keypad's digits
// stay digits while Shift turns them into arrows.
TranslatedKey translateKey(int qtKey, Qt::KeyboardModifiers qtModifiers,
                           NativeKeys native = NativeKeys::unknown, quint32 nativeScanCode = 0,
                           quint32 nativeVirtualKey = 0);

}  // namespace quorvel
