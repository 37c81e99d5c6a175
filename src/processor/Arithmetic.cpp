// Class 3: register arithmetic over a field of digits.

#include "processor/ExecutorInternal.h"

namespace quorvel::detail {

namespace {

struct Field {
    int first;
    int last;  // inclusive; first > last is an empty field
};

Field fieldOf(const MachineState& m, int field) {
    const int p = m.pRegister;
    switch (field) {
        case 0: return p > topDigit ? Field{1, 0} : Field{p, p};
        case 1: return {3, 12};
        case 2: return {0, 2};
        case 3: return {0, 13};
        case 4: return {0, p > topDigit ? topDigit : p};
        case 5: return {3, 13};
        case 6: return {2, 2};
        default: return {13, 13};
    }
}

int32_t addDigit(MachineState& m, int32_t x, int32_t y) {
    const int32_t s = x + y + m.carry;
    if (s < m.numberBase) {
        m.carry = 0;
        return s;
    }
    m.carry = 1;
    return s - m.numberBase;
}

int32_t subtractDigit(MachineState& m, int32_t x, int32_t y) {
    const int32_t d = x - y - m.carry;
    if (d >= 0) {
        m.carry = 0;
        return d;
    }
    m.carry = 1;
    return d + m.numberBase;
}

// target[i] := op(x[i], y[i]) over the field, carry rippling upward.
template <typename Op>
void combine(MachineState& m, Field f, Register& target, const Register& x, const Register& y,
             Op op) {
    for (int i = f.first; i <= f.last; ++i) target[i] = op(m, x[i], y[i]);
}

void copyField(Field f, Register& target, const Register& source) {
    for (int i = f.first; i <= f.last; ++i) target[i] = source[i];
}

void exchangeField(Field f, Register& a, Register& b) {
    for (int i = f.first; i <= f.last; ++i) std::swap(a[i], b[i]);
}

void clearField(Field f, Register& r) {
    for (int i = f.first; i <= f.last; ++i) r[i] = 0;
}

void shiftLeft(Field f, Register& r) {
    if (f.first > f.last) return;
    for (int i = f.last; i > f.first; --i) r[i] = r[i - 1];
    r[f.first] = 0;
}

void shiftRight(Field f, Register& r) {
    if (f.first > f.last) return;
    for (int i = f.first; i < f.last; ++i) r[i] = r[i + 1];
    r[f.last] = 0;
}

// The condition holds (carry 0) when every digit of the field is zero.
void testAllZero(MachineState& m, Field f, const Register& r) {
    for (int i = f.first; i <= f.last; ++i) {
        if (r[i] > 0) {
            m.carry = 1;
            break;
        }
    }
    m.ifPending = true;
}

// The condition holds (carry 0) when some digit of the field is non-zero.
void testAnyNonZero(MachineState& m, Field f, const Register& r) {
    m.carry = 1;
    for (int i = f.first; i <= f.last; ++i) {
        if (r[i] > 0) {
            m.carry = 0;
            break;
        }
    }
    m.ifPending = true;
}

// The condition holds (no final borrow) when x >= y over the field.
void testGreaterOrEqual(MachineState& m, Field f, const Register& x, const Register& y) {
    for (int i = f.first; i <= f.last; ++i) subtractDigit(m, x[i], y[i]);
    m.ifPending = true;
}

const Register zeroRegister{};

}  // namespace

void executeArithmetic(MachineState& m, int operand) {
    const int operation = operand >> 3;
    const Field f = fieldOf(m, operand & 7);
    Register& a = m.regA;
    Register& b = m.regB;
    Register& c = m.regC;
    bool writesDisplay = false;

    switch (operation) {
        case 0: testAllZero(m, f, b); break;
        case 1: clearField(f, b); writesDisplay = true; break;
        case 2: testGreaterOrEqual(m, f, a, c); break;
        case 3: testAnyNonZero(m, f, c); break;
        case 4: copyField(f, c, b); break;
        case 5: combine(m, f, c, zeroRegister, c, subtractDigit); break;
        case 6: clearField(f, c); break;
        case 7: m.carry = 1; combine(m, f, c, zeroRegister, c, subtractDigit); break;
        case 8: shiftLeft(f, a); writesDisplay = true; break;
        case 9: copyField(f, b, a); writesDisplay = true; break;
        case 10: combine(m, f, c, a, c, subtractDigit); break;
        case 11: m.carry = 1; combine(m, f, c, c, zeroRegister, subtractDigit); break;
        case 12: copyField(f, a, c); writesDisplay = true; break;
        case 13: testAllZero(m, f, c); break;
        case 14: combine(m, f, c, a, c, addDigit); break;
        case 15: m.carry = 1; combine(m, f, c, c, zeroRegister, addDigit); break;
        case 16: testGreaterOrEqual(m, f, a, b); break;
        case 17: exchangeField(f, b, c); writesDisplay = true; break;
        case 18: shiftRight(f, c); break;
        case 19: testAnyNonZero(m, f, a); break;
        case 20: shiftRight(f, b); writesDisplay = true; break;
        case 21: combine(m, f, c, c, c, addDigit); break;
        case 22: shiftRight(f, a); writesDisplay = true; break;
        case 23: clearField(f, a); writesDisplay = true; break;
        case 24: combine(m, f, a, a, b, subtractDigit); writesDisplay = true; break;
        case 25: exchangeField(f, a, b); writesDisplay = true; break;
        case 26: combine(m, f, a, a, c, subtractDigit); writesDisplay = true; break;
        case 27: m.carry = 1; combine(m, f, a, a, zeroRegister, subtractDigit); writesDisplay = true; break;
        case 28: combine(m, f, a, a, b, addDigit); writesDisplay = true; break;
        case 29: exchangeField(f, a, c); writesDisplay = true; break;
        case 30: combine(m, f, a, a, c, addDigit); writesDisplay = true; break;
        default: m.carry = 1; combine(m, f, a, a, zeroRegister, addDigit); writesDisplay = true; break;
    }
    if (writesDisplay && m.displayOn) m.displayChanged = true;
}

}  // namespace quorvel::detail
