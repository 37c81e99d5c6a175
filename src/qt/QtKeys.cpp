#include "QtKeys.h"

namespace quorvel {

TranslatedKey translateKey(int qtKey, Qt::KeyboardModifiers qtModifiers) {
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
            case Qt::Key_Backspace:
                out.virtualKey = vkBack;
                break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                out.virtualKey = vkReturn;
                break;
            case Qt::Key_Escape:
                out.virtualKey = vkEscape;
                break;
            case Qt::Key_Shift:
                out.virtualKey = vkShift;
                break;
            case Qt::Key_Asterisk:
                out.virtualKey = keypad ? vkMultiply : 0;
                break;
            case Qt::Key_Plus:
                out.virtualKey = keypad ? vkAdd : vkOemPlus;
                break;
            case Qt::Key_Equal:
                out.virtualKey = vkOemPlus;
                break;
            case Qt::Key_Minus:
                out.virtualKey = keypad ? vkSubtract : vkOemMinus;
                break;
            case Qt::Key_Period:
                out.virtualKey = keypad ? vkDecimal : vkOemPeriod;
                break;
            case Qt::Key_Comma:
                out.virtualKey = keypad ? vkDecimal : 0;
                break;
            case Qt::Key_Slash:
                out.virtualKey = keypad ? vkDivide : vkOem2;
                break;
            default:
                out.virtualKey = 0;
                break;
        }
    }
    return out;
}

}  // namespace quorvel
