#pragma once

// High-precision reference for the scientific functions (MPFR, 400 bits): the exact value
// of a function of ten-digit operands, what an ideal ten-digit calculator shows for it,
// and how far a shown result lies from it in units of the tenth significant digit.

#include <mpfr.h>

#include <random>
#include <string>

namespace quorvel::test {

// d.ddddddddd x 10^exponent; ten digits, the first not 0 (all zeros for 0).
struct TenDigit {
    bool negative = false;
    std::string digits = "0000000000";
    int exponent = 0;
};

// A decimal text rounded to ten digits, for writing test tables ("1.5e-3", "-2").
TenDigit tenDigitOf(const char* decimal);
std::string keysFor(const TenDigit& number);
std::string cellsOf(const TenDigit& number);  // as SCI 9 shows it

// An MPFR number with the reference precision.
class Exact {
  public:
    Exact();
    explicit Exact(const TenDigit& number);
    explicit Exact(const char* decimal);
    Exact(const Exact& other);
    Exact& operator=(const Exact& other);
    ~Exact();
    mpfr_ptr get() { return value_; }
    mpfr_srcptr get() const { return value_; }

  private:
    mpfr_t value_;
};

inline constexpr mpfr_rnd_t nearest = MPFR_RNDN;

// The display an ideal calculator shows in SCI 9: the exact value rounded once to ten
// digits, half away from zero; 0 below 1 E-99, " Error" beyond 9.999999999 E99.
std::string idealDisplay(const Exact& exact);

// The distance of a SCI 9 display from the exact value in units of the exact value's
// tenth significant digit; a huge number when the display is not a number.
double unitsOff(const std::string& display, const Exact& exact);

// A display counts as right when it is within one unit, or when both it and the ideal
// display are the edge of the range (Error or 0 next to the limits).
bool withinOneUnit(const std::string& display, const Exact& exact);

// Random ten-digit numbers with exponents in [low, high].
class RandomNumbers {
  public:
    explicit RandomNumbers(unsigned seed) : random_(seed) {}
    TenDigit next(int low, int high, bool allowNegative);

  private:
    std::mt19937 random_;
};

}  // namespace quorvel::test
