#include "DecimalReference.h"

#include <algorithm>
#include <cstdint>

#include "CalculatorHarness.h"

namespace quorvel::test {

namespace {

Decimal normalised(Decimal value) {
    const size_t first = value.digits.find_first_not_of('0');
    if (first == std::string::npos) return Decimal{};
    value.digits.erase(0, first);
    return value;
}

// a and b as digit strings over the same exponent (the smaller of the two).
void align(const Decimal& a, const Decimal& b, std::string& da, std::string& db, int& exponent) {
    exponent = std::min(a.exponent, b.exponent);
    da = a.digits + std::string(static_cast<size_t>(a.exponent - exponent), '0');
    db = b.digits + std::string(static_cast<size_t>(b.exponent - exponent), '0');
    const size_t width = std::max(da.size(), db.size());
    da.insert(0, width - da.size(), '0');
    db.insert(0, width - db.size(), '0');
}

std::string addMagnitudes(const std::string& a, const std::string& b) {
    std::string sum(a.size() + 1, '0');
    int carry = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const size_t at = a.size() - 1 - i;
        const int digit = (a[at] - '0') + (b[at] - '0') + carry;
        sum[sum.size() - 1 - i] = static_cast<char>('0' + digit % 10);
        carry = digit / 10;
    }
    sum[0] = static_cast<char>('0' + carry);
    return sum;
}

// a - b with a >= b, both of the same width.
std::string subtractMagnitudes(const std::string& a, const std::string& b) {
    std::string difference(a.size(), '0');
    int borrow = 0;
    for (size_t i = a.size(); i-- > 0;) {
        int digit = (a[i] - '0') - (b[i] - '0') - borrow;
        borrow = digit < 0 ? 1 : 0;
        if (digit < 0) digit += 10;
        difference[i] = static_cast<char>('0' + digit);
    }
    return difference;
}

uint64_t valueOf(const std::string& digits) {
    uint64_t value = 0;
    for (char c : digits) value = value * 10 + static_cast<uint64_t>(c - '0');
    return value;
}

}  // namespace

Decimal decimalOf(bool negative, const std::string& tenDigits, int exponent) {
    return normalised(Decimal{negative, tenDigits, exponent - 9});
}

Decimal add(const Decimal& a, const Decimal& b) {
    if (a.digits.empty()) return b;
    if (b.digits.empty()) return a;
    std::string da, db;
    int exponent = 0;
    align(a, b, da, db, exponent);
    if (a.negative == b.negative)
        return normalised(Decimal{a.negative, addMagnitudes(da, db), exponent});
    if (da >= db) return normalised(Decimal{a.negative, subtractMagnitudes(da, db), exponent});
    return normalised(Decimal{b.negative, subtractMagnitudes(db, da), exponent});
}

Decimal subtract(const Decimal& a, const Decimal& b) {
    Decimal negated = b;
    negated.negative = !b.negative;
    return add(a, negated);
}

Decimal multiply(const Decimal& a, const Decimal& b) {
    if (a.digits.empty() || b.digits.empty()) return Decimal{};
    unsigned __int128 product =
        static_cast<unsigned __int128>(valueOf(a.digits)) * valueOf(b.digits);
    std::string digits;
    while (product > 0) {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(product % 10)));
        product /= 10;
    }
    return normalised(Decimal{a.negative != b.negative, digits, a.exponent + b.exponent});
}

Decimal divide(const Decimal& a, const Decimal& b) {
    if (a.digits.empty()) return Decimal{};
    const uint64_t divisor = valueOf(b.digits);
    // Long division of a's digits followed by enough zeros for 12 significant digits.
    std::string dividend = a.digits + std::string(12 + b.digits.size(), '0');
    std::string quotient;
    uint64_t remainder = 0;
    for (char c : dividend) {
        remainder = remainder * 10 + static_cast<uint64_t>(c - '0');
        quotient += static_cast<char>('0' + static_cast<int>(remainder / divisor));
        remainder %= divisor;
    }
    const int exponent = a.exponent - b.exponent - static_cast<int>(12 + b.digits.size());
    return normalised(Decimal{a.negative != b.negative, quotient, exponent});
}

TenDigits roundToTen(const Decimal& value) {
    TenDigits result;
    if (value.digits.empty()) return result;
    std::string digits = value.digits;
    int exponent = value.exponent + static_cast<int>(digits.size()) - 1;
    if (digits.size() < 10) digits.append(10 - digits.size(), '0');
    const bool up = digits.size() > 10 && digits[10] >= '5';
    digits.resize(10);
    if (up) {
        int at = 9;
        while (at >= 0 && digits[static_cast<size_t>(at)] == '9')
            digits[static_cast<size_t>(at--)] = '0';
        if (at < 0) {
            digits = "1000000000";
            ++exponent;
        } else {
            ++digits[static_cast<size_t>(at)];
        }
    }
    if (exponent > 99) {
        result.kind = TenDigits::Kind::overflow;
        return result;
    }
    if (exponent < -99) return result;
    result.kind = TenDigits::Kind::number;
    result.negative = value.negative;
    result.mantissa = digits;
    result.exponent = exponent;
    return result;
}

std::string sci9Display(const TenDigits& value) {
    switch (value.kind) {
        case TenDigits::Kind::overflow: return " Error         ";
        case TenDigits::Kind::zero: return sci9Cells(false, "0000000000", 0);
        case TenDigits::Kind::number: break;
    }
    return sci9Cells(value.negative, value.mantissa, value.exponent);
}

}  // namespace quorvel::test
