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

TranslatedKey translateKey(int qtKey, Qt::KeyboardModifiers qtModifiers);

}  // namespace quorvel
