#include "FunctionReference.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "CalculatorHarness.h"

namespace quorvel::test {

namespace {

constexpr mpfr_prec_t precision = 400;

std::string numberText(const TenDigit& number) {
    return std::string(number.negative ? "-" : "") + number.digits.substr(0, 1) + "." +
           number.digits.substr(1) + "e" + std::to_string(number.exponent);
}

// Ten digits rounded half away from zero and the decimal exponent of the first.
struct Rounded {
    bool zero = true;
    bool negative = false;
    std::string digits;
    long exponent = 0;
};

Rounded roundToTenDigits(const Exact& exact) {
    Rounded result;
    if (mpfr_zero_p(exact.get())) return result;
    mpfr_exp_t exponent = 0;
    char* text = mpfr_get_str(nullptr, &exponent, 10, 40, exact.get(), MPFR_RNDZ);
    std::string digits = text;
    mpfr_free_str(text);
    result.zero = false;
    result.negative = digits[0] == '-';
    if (result.negative) digits.erase(0, 1);
    std::string ten = digits.substr(0, 10);
    long e = static_cast<long>(exponent) - 1;
    if (digits[10] >= '5') {
        int i = 9;
        while (i >= 0 && ten[static_cast<size_t>(i)] == '9') ten[static_cast<size_t>(i--)] = '0';
        if (i < 0) {
            ten = "1000000000";
            ++e;
        } else {
            ++ten[static_cast<size_t>(i)];
        }
    }
    result.digits = ten;
    result.exponent = e;
    return result;
}

// The decimal exponent of the first significant digit of a non-zero value.
long leadingExponent(const Exact& exact) {
    mpfr_exp_t exponent = 0;
    char* text = mpfr_get_str(nullptr, &exponent, 10, 40, exact.get(), MPFR_RNDZ);
    mpfr_free_str(text);
    return static_cast<long>(exponent) - 1;
}

bool parseDisplay(const std::string& display, Exact& shown) {
    if (display.size() != 15 || display[2] != '.') return false;
    for (int i : {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14}) {
        if (display[static_cast<size_t>(i)] < '0' || display[static_cast<size_t>(i)] > '9')
            return false;
    }
    const std::string text = std::string(display[0] == '-' ? "-" : "") + display.substr(1, 11) +
                             "e" + (display[12] == '-' ? "-" : "") + display.substr(13, 2);
    mpfr_set_str(shown.get(), text.c_str(), 10, nearest);
    return true;
}

}  // namespace

Exact::Exact() {
    mpfr_init2(value_, precision);
}
Exact::Exact(const TenDigit& number) : Exact() {
    mpfr_set_str(value_, numberText(number).c_str(), 10, nearest);
}
Exact::Exact(const char* decimal) : Exact() {
    mpfr_set_str(value_, decimal, 10, nearest);
}
Exact::Exact(const Exact& other) : Exact() {
    mpfr_set(value_, other.value_, nearest);
}
Exact& Exact::operator=(const Exact& other) {
    mpfr_set(value_, other.value_, nearest);
    return *this;
}
Exact::~Exact() {
    mpfr_clear(value_);
}

TenDigit tenDigitOf(const char* decimal) {
    const Rounded rounded = roundToTenDigits(Exact(decimal));
    TenDigit number;
    if (rounded.zero) return number;
    number.negative = rounded.negative;
    number.digits = rounded.digits;
    number.exponent = static_cast<int>(rounded.exponent);
    return number;
}

std::string keysFor(const TenDigit& number) {
    if (number.digits == "0000000000") return "0";
    return keysForNumber(number.negative, number.digits, number.exponent);
}

std::string cellsOf(const TenDigit& number) {
    return sci9Cells(number.negative, number.digits, number.exponent);
}

std::string idealDisplay(const Exact& exact) {
    const Rounded rounded = roundToTenDigits(exact);
    if (rounded.zero || rounded.exponent < -99) return " 0.000000000 00";
    if (rounded.exponent > 99) return " Error         ";
    return sci9Cells(rounded.negative, rounded.digits, static_cast<int>(rounded.exponent));
}

double unitsOff(const std::string& display, const Exact& exact) {
    Exact shown;
    if (!parseDisplay(display, shown)) return std::numeric_limits<double>::infinity();
    if (mpfr_zero_p(exact.get())) {
        return mpfr_zero_p(shown.get()) ? 0.0 : std::numeric_limits<double>::infinity();
    }
    Exact difference;
    mpfr_sub(difference.get(), shown.get(), exact.get(), nearest);
    mpfr_abs(difference.get(), difference.get(), nearest);
    Exact unit;
    mpfr_set_si(unit.get(), 10, nearest);
    mpfr_pow_si(unit.get(), unit.get(), leadingExponent(exact) - 9, nearest);
    mpfr_div(difference.get(), difference.get(), unit.get(), nearest);
    return mpfr_get_d(difference.get(), nearest);
}

bool withinOneUnit(const std::string& display, const Exact& exact) {
    if (display == idealDisplay(exact)) return true;
    if (unitsOff(display, exact) < 1.0) return true;
    // Next to the underflow limit an ideal 1 E-99 may also come out as 0.
    if (display == " 0.000000000 00" && !mpfr_zero_p(exact.get())) {
        Exact size;
        mpfr_abs(size.get(), exact.get(), nearest);
        return mpfr_cmp_d(size.get(), 1.0000000001e-99) < 0;
    }
    return false;
}

TenDigit RandomNumbers::next(int low, int high, bool allowNegative) {
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> first(1, 9);
    std::uniform_int_distribution<int> exponent(low, high);
    TenDigit number;
    number.digits[0] = static_cast<char>('0' + first(random_));
    for (size_t i = 1; i < 10; ++i) number.digits[i] = static_cast<char>('0' + digit(random_));
    number.exponent = exponent(random_);
    number.negative = allowNegative && digit(random_) < 5;
    return number;
}

}  // namespace quorvel::test
