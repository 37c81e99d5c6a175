#pragma once

// Exact decimal arithmetic on the calculator's operands, written for the tests: the
// result a ten-digit calculator must show is the exact result rounded once.

#include <string>

namespace quorvel::test {

// sign x digits x 10^exponent; digits most significant first, no leading zeros, empty
// for zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// d.ddddddddd x 10^exponent.
Decimal decimalOf(bool negative, const std::string& tenDigits, int exponent);

Decimal add(const Decimal& a, const Decimal& b);
Decimal subtract(const Decimal& a, const Decimal& b);
Decimal multiply(const Decimal& a, const Decimal& b);
// The quotient truncated after at least 12 significant digits (enough to round to ten).
// b must not be zero.
Decimal divide(const Decimal& a, const Decimal& b);

// A value rounded to ten significant digits, half away from zero.
struct TenDigits {
    enum class Kind { zero, number, overflow };
    Kind kind = Kind::zero;
    bool negative = false;
    std::string mantissa;  // ten digits
    int exponent = 0;
};

// Below 1 E-99 in size gives zero, beyond 9.999999999 E99 overflow.
TenDigits roundToTen(const Decimal& value);

// The display in SCI 9 ("Error" for an overflow).
std::string sci9Display(const TenDigits& value);

}  // namespace quorvel::test
