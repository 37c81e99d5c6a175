// Class 3: register arithmetic over a field of digits.

#include <array>
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

    // Worked in 64 bits: a digit far outside the base (only a damaged state holds one) then
    // wraps instead of overflowing; every digit a real calculation makes gives the same result.
    int32_t add(int32_t x, int32_t y) {
        const int64_t s = int64_t{x} + y + carry;
        carry = s < base ? 0 : 1;
        return static_cast<int32_t>(carry ? s - base : s);
    }
    int32_t subtract(int32_t x, int32_t y) {
        const int64_t d = int64_t{x} - y - carry;
        carry = d >= 0 ? 0 : 1;
        return static_cast<int32_t>(carry ? d + base : d);
    }
};

enum class Op { add, subtract };

// target[i] := x[i] op y[i] over the field, carry rippling upward.
template <Op O>
void combine(MachineState& m, Field f, Register& target, const Register& x, const Register& y) {
    Digits digits{m.carry, m.numberBase};
#pragma GCC unroll 14
    for (int i = f.first; i <= f.last; ++i) {
        const int32_t xi = x[i];
        const int32_t yi = y[i];
        target[i] = O == Op::add ? digits.add(xi, yi) : digits.subtract(xi, yi);
    }
    m.carry = digits.carry;
}

// r plus or minus the carry over the field, in place: the plus one and minus one. Once no
// carry comes in, a digit that the full sum would leave as it is (one below the base when
// adding, one not below zero when subtracting) is only looked at.
template <Op O>
[[gnu::always_inline]] inline void countField(MachineState& m, Field f, Register& r) {
    Digits digits{m.carry, m.numberBase};
#pragma GCC unroll 14
    for (int i = f.first; i <= f.last; ++i) {
        const int32_t digit = r[i];
        const bool stays = O == Op::add ? digit < digits.base : digit >= 0;
        if (digits.carry == 0 && stays) continue;
        r[i] = O == Op::add ? digits.add(digit, 0) : digits.subtract(digit, 0);
    }
    m.carry = digits.carry;
}

void copyField(Field f, Register& target, const Register& source) {
#pragma GCC unroll 14
    for (int i = f.first; i <= f.last; ++i) target[i] = source[i];
}

void exchangeField(Field f, Register& a, Register& b) {
#pragma GCC unroll 14
    for (int i = f.first; i <= f.last; ++i) std::swap(a[i], b[i]);
}

void clearField(Field f, Register& r) {
#pragma GCC unroll 14
    for (int i = f.first; i <= f.last; ++i) r[i] = 0;
}

void shiftLeft(Field f, Register& r) {
    if (f.first > f.last) return;
#pragma GCC unroll 14
    for (int i = f.last; i > f.first; --i) r[i] = r[i - 1];
    r[f.first] = 0;
}

void shiftRight(Field f, Register& r) {
    if (f.first > f.last) return;
#pragma GCC unroll 14
    for (int i = f.first; i < f.last; ++i) r[i] = r[i + 1];
    r[f.last] = 0;
}

// The condition holds (carry 0) when every digit of the field is zero.
void testAllZero(MachineState& m, Field f, const Register& r) {
#pragma GCC unroll 14
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
#pragma GCC unroll 14
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
#pragma GCC unroll 14
    for (int i = f.first; i <= f.last; ++i) digits.subtract(x[i], y[i]);
    m.carry = digits.carry;
}

const Register zeroRegister{};

}  // namespace

template <int Operation>
[[gnu::always_inline]] inline void operate(MachineState& m, const Field f, const Word& d) {
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
    if constexpr (Operation == 11) countField<Op::subtract>(m, f, c);
    if constexpr (Operation == 12) copyField(f, a, c);
    if constexpr (Operation == 13) testAllZero(m, f, c);
    if constexpr (Operation == 14) combine<Op::add>(m, f, c, a, c);
    if constexpr (Operation == 15) countField<Op::add>(m, f, c);
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
    if constexpr (Operation == 27) countField<Op::subtract>(m, f, a);
    if constexpr (Operation == 28) combine<Op::add>(m, f, a, a, b);
    if constexpr (Operation == 29) exchangeField(f, a, c);
    if constexpr (Operation == 30) combine<Op::add>(m, f, a, a, c);
    if constexpr (Operation == 31) countField<Op::add>(m, f, a);
    if (d.writesDisplay && m.displayOn) m.displayChanged = true;
}

// Every operation is named by the instruction set.
template <int Operation>
void arithmetic(MachineState& m, const Word& d, Io&) {
    operate<Operation>(m, fieldOf(m, d), d);
}

// The fields that do not follow P, known when the word is decoded, so that the digit
// loops are unrolled.
template <int Operation, int FieldNumber>
void arithmeticOnFixedField(MachineState& m, const Word& d, Io&) {
    constexpr Field field{fieldDigits[FieldNumber][0], fieldDigits[FieldNumber][1]};
    operate<Operation>(m, field, d);
}

namespace {

constexpr bool fixedField(int field) {
    return field != 0 && field != 4;
}

template <size_t... Words>
constexpr std::array<InstructionHandler, 256> fixedFieldHandlers(std::index_sequence<Words...>) {
    return {
        (fixedField(Words & 7)
             ? &arithmeticOnFixedField<static_cast<int>(Words >> 3), static_cast<int>(Words & 7)>
             : nullptr)...};
}

constexpr std::array<InstructionHandler, 256> fixedFieldTable =
    fixedFieldHandlers(std::make_index_sequence<256>{});

}  // namespace

InstructionHandler fixedFieldArithmetic(int32_t word) {
    return fixedFieldTable[word & 255];
}

// clang-format off
template void arithmetic<0>(MachineState&, const Word&, Io&);
template void arithmetic<1>(MachineState&, const Word&, Io&);
template void arithmetic<2>(MachineState&, const Word&, Io&);
template void arithmetic<3>(MachineState&, const Word&, Io&);
template void arithmetic<4>(MachineState&, const Word&, Io&);
template void arithmetic<5>(MachineState&, const Word&, Io&);
template void arithmetic<6>(MachineState&, const Word&, Io&);
template void arithmetic<7>(MachineState&, const Word&, Io&);
template void arithmetic<8>(MachineState&, const Word&, Io&);
template void arithmetic<9>(MachineState&, const Word&, Io&);
template void arithmetic<10>(MachineState&, const Word&, Io&);
template void arithmetic<11>(MachineState&, const Word&, Io&);
template void arithmetic<12>(MachineState&, const Word&, Io&);
template void arithmetic<13>(MachineState&, const Word&, Io&);
template void arithmetic<14>(MachineState&, const Word&, Io&);
template void arithmetic<15>(MachineState&, const Word&, Io&);
template void arithmetic<16>(MachineState&, const Word&, Io&);
template void arithmetic<17>(MachineState&, const Word&, Io&);
template void arithmetic<18>(MachineState&, const Word&, Io&);
template void arithmetic<19>(MachineState&, const Word&, Io&);
template void arithmetic<20>(MachineState&, const Word&, Io&);
template void arithmetic<21>(MachineState&, const Word&, Io&);
template void arithmetic<22>(MachineState&, const Word&, Io&);
template void arithmetic<23>(MachineState&, const Word&, Io&);
template void arithmetic<24>(MachineState&, const Word&, Io&);
template void arithmetic<25>(MachineState&, const Word&, Io&);
template void arithmetic<26>(MachineState&, const Word&, Io&);
template void arithmetic<27>(MachineState&, const Word&, Io&);
template void arithmetic<28>(MachineState&, const Word&, Io&);
template void arithmetic<29>(MachineState&, const Word&, Io&);
template void arithmetic<30>(MachineState&, const Word&, Io&);
template void arithmetic<31>(MachineState&, const Word&, Io&);
// clang-format on

}  // namespace quorvel::detail
