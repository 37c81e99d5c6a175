// Class 3: register arithmetic over a field of digits.

#include <utility>

#include "processor/ExecutorInternal.h"

namespace quorvel::detail {

namespace {

struct Field {
    int first;
    int last;  // inclusive; first > last is an empty field
};

Field fieldOf(const MachineState& m, const Word& d) {
    if (d.first >= 0) return {d.first, d.last};
    const int p = m.pRegister;
    if (d.first == fieldAtP) return p > topDigit ? Field{1, 0} : Field{p, p};
    return {0, p > topDigit ? topDigit : p};
}

// The carry and base are kept in locals while a field is worked: the registers live in
// the machine state too, so the compiler could not keep them in registers otherwise.
struct Digits {
    int32_t carry;
    int32_t base;

    int32_t add(int32_t x, int32_t y) {
        const int32_t s = x + y + carry;
        carry = s < base ? 0 : 1;
        return carry ? s - base : s;
    }
    int32_t subtract(int32_t x, int32_t y) {
        const int32_t d = x - y - carry;
        carry = d >= 0 ? 0 : 1;
        return carry ? d + base : d;
    }
};

enum class Op { add, subtract };

// target[i] := x[i] op y[i] over the field, carry rippling upward.
template <Op O>
void combine(MachineState& m, Field f, Register& target, const Register& x, const Register& y) {
    Digits digits{m.carry, m.numberBase};
    for (int i = f.first; i <= f.last; ++i) {
        const int32_t xi = x[i];
        const int32_t yi = y[i];
        target[i] = O == Op::add ? digits.add(xi, yi) : digits.subtract(xi, yi);
    }
    m.carry = digits.carry;
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
}

// The condition holds (no final borrow) when x >= y over the field.
void testGreaterOrEqual(MachineState& m, Field f, const Register& x, const Register& y) {
    Digits digits{m.carry, m.numberBase};
    for (int i = f.first; i <= f.last; ++i) digits.subtract(x[i], y[i]);
    m.carry = digits.carry;
}

const Register zeroRegister{};

}  // namespace

template <int Operation>
void arithmetic(MachineState& m, const Word& d, Io&) {
    const Field f = fieldOf(m, d);
    Register& a = m.regA;
    Register& b = m.regB;
    Register& c = m.regC;
    if constexpr (Operation == 0) testAllZero(m, f, b);
    if constexpr (Operation == 1) clearField(f, b);
    if constexpr (Operation == 2) testGreaterOrEqual(m, f, a, c);
    if constexpr (Operation == 3) testAnyNonZero(m, f, c);
    if constexpr (Operation == 4) copyField(f, c, b);
    if constexpr (Operation == 5) combine<Op::subtract>(m, f, c, zeroRegister, c);
    if constexpr (Operation == 6) clearField(f, c);
    if constexpr (Operation == 7 || Operation == 11 || Operation == 15 || Operation == 27 ||
                  Operation == 31) {
        m.carry = 1;  // the one of minus one or plus one enters as the carry
    }
    if constexpr (Operation == 7) combine<Op::subtract>(m, f, c, zeroRegister, c);
    if constexpr (Operation == 8) shiftLeft(f, a);
    if constexpr (Operation == 9) copyField(f, b, a);
    if constexpr (Operation == 10) combine<Op::subtract>(m, f, c, a, c);
    if constexpr (Operation == 11) combine<Op::subtract>(m, f, c, c, zeroRegister);
    if constexpr (Operation == 12) copyField(f, a, c);
    if constexpr (Operation == 13) testAllZero(m, f, c);
    if constexpr (Operation == 14) combine<Op::add>(m, f, c, a, c);
    if constexpr (Operation == 15) combine<Op::add>(m, f, c, c, zeroRegister);
    if constexpr (Operation == 16) testGreaterOrEqual(m, f, a, b);
    if constexpr (Operation == 17) exchangeField(f, b, c);
    if constexpr (Operation == 18) shiftRight(f, c);
    if constexpr (Operation == 19) testAnyNonZero(m, f, a);
    if constexpr (Operation == 20) shiftRight(f, b);
    if constexpr (Operation == 21) combine<Op::add>(m, f, c, c, c);
    if constexpr (Operation == 22) shiftRight(f, a);
    if constexpr (Operation == 23) clearField(f, a);
    if constexpr (Operation == 24) combine<Op::subtract>(m, f, a, a, b);
    if constexpr (Operation == 25) exchangeField(f, a, b);
    if constexpr (Operation == 26) combine<Op::subtract>(m, f, a, a, c);
    if constexpr (Operation == 27) combine<Op::subtract>(m, f, a, a, zeroRegister);
    if constexpr (Operation == 28) combine<Op::add>(m, f, a, a, b);
    if constexpr (Operation == 29) exchangeField(f, a, c);
    if constexpr (Operation == 30) combine<Op::add>(m, f, a, a, c);
    if constexpr (Operation == 31) combine<Op::add>(m, f, a, a, zeroRegister);
    if (d.writesDisplay && m.displayOn) m.displayChanged = true;
}

// Every operation is named by the instruction set.
#define QUORVEL_ARITHMETIC(n) template void arithmetic<n>(MachineState&, const Word&, Io&);
QUORVEL_ARITHMETIC(0)
QUORVEL_ARITHMETIC(1) QUORVEL_ARITHMETIC(2) QUORVEL_ARITHMETIC(3) QUORVEL_ARITHMETIC(4)
    QUORVEL_ARITHMETIC(5) QUORVEL_ARITHMETIC(6) QUORVEL_ARITHMETIC(7) QUORVEL_ARITHMETIC(8)
        QUORVEL_ARITHMETIC(9) QUORVEL_ARITHMETIC(10) QUORVEL_ARITHMETIC(11) QUORVEL_ARITHMETIC(12)
            QUORVEL_ARITHMETIC(13) QUORVEL_ARITHMETIC(14) QUORVEL_ARITHMETIC(15)
                QUORVEL_ARITHMETIC(16) QUORVEL_ARITHMETIC(17) QUORVEL_ARITHMETIC(18)
                    QUORVEL_ARITHMETIC(19) QUORVEL_ARITHMETIC(20) QUORVEL_ARITHMETIC(21)
                        QUORVEL_ARITHMETIC(22) QUORVEL_ARITHMETIC(23) QUORVEL_ARITHMETIC(24)
                            QUORVEL_ARITHMETIC(25) QUORVEL_ARITHMETIC(26) QUORVEL_ARITHMETIC(27)
                                QUORVEL_ARITHMETIC(28) QUORVEL_ARITHMETIC(29) QUORVEL_ARITHMETIC(30)
                                    QUORVEL_ARITHMETIC(31)
#undef QUORVEL_ARITHMETIC

}  // namespace quorvel::detail
