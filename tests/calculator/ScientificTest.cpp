// The scientific functions against a 400-bit reference: the edges of every domain and
// random arguments. √x, x², 1/x and % must show the exact result rounded once; every other
// function must lie within one unit of the tenth significant digit. A larger random sweep
// runs when QUORVEL_SWEEP is set to a multiplier (for example QUORVEL_SWEEP=20).

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <iostream>
#include <vector>

#include "CalculatorHarness.h"
#include "FunctionReference.h"

namespace quorvel::test {
namespace {

using ExactFunction = std::function<bool(Exact& result, const Exact& x)>;
using ExactFunction2 = std::function<bool(Exact& result, const Exact& y, const Exact& x)>;

const char* const errorDisplay = " Error         ";

int sweepFactor() {
    const char* text = std::getenv("QUORVEL_SWEEP");
    const int factor = text ? std::atoi(text) : 1;
    return factor > 0 ? factor : 1;
}

// Runs the functions in SCI 9 and keeps the largest error seen, in units of the tenth
// digit, for the report at the end of each test.
class Checker {
  public:
    explicit Checker(const char* name, AnglePosition angle = AnglePosition::deg)
        : name_(name), calculator_(PrintModePosition::man, angle) {
        calculator_.press("SHIFT F 9");
    }
    ~Checker() {
        std::cout << "[ accuracy ] " << name_ << ": " << count_ << " arguments, largest error "
                  << worst_ << " units" << (worstAt_.empty() ? "" : " at " + worstAt_) << "\n";
    }

    // x, then the function keys.
    void unary(const TenDigit& x, const char* keys, const ExactFunction& function,
               bool correctlyRounded = false) {
        calculator_.press(keysFor(x) + " " + keys);
        Exact result;
        const bool defined = function(result, Exact(x));
        judge(cellsOf(x) + " " + keys, defined, result, correctlyRounded);
    }

    // y ENTER x, then the function keys.
    void binary(const TenDigit& y, const TenDigit& x, const char* keys,
                const ExactFunction2& function, bool correctlyRounded = false) {
        calculator_.press(keysFor(y) + " ENTER " + keysFor(x) + " " + keys);
        Exact result;
        const bool defined = function(result, Exact(y), Exact(x));
        judge(cellsOf(y) + " ENTER " + cellsOf(x) + " " + keys, defined, result, correctlyRounded);
    }

    // y ENTER x, then the keys of a function with two results: what X and Y must show.
    void pair(const TenDigit& y, const TenDigit& x, const char* keys,
              const std::function<bool(Exact& inX, Exact& inY, const Exact& y, const Exact& x)>&
                  function) {
        calculator_.press(keysFor(y) + " ENTER " + keysFor(x) + " " + keys);
        Exact inX;
        Exact inY;
        const bool defined = function(inX, inY, Exact(y), Exact(x));
        const std::string what = cellsOf(y) + " ENTER " + cellsOf(x) + " " + keys;
        const bool error = calculator_.display() == errorDisplay;
        judge(what + " (x)", defined, inX, false);
        if (!defined || error) return;
        calculator_.press("V");
        judge(what + " (y)", true, inY, false);
    }

    // The points (keyed as x alone, Sigma+), then x mean and s against the data.
    void statistics(const std::vector<TenDigit>& data) {
        calculator_.press("SHIFT M");
        Exact sum;
        mpfr_set_zero(sum.get(), 1);
        std::string what = "data";
        for (const TenDigit& x : data) {
            calculator_.press(keysFor(x) + " W");
            mpfr_add(sum.get(), sum.get(), Exact(x).get(), nearest);
            what += " " + cellsOf(x);
        }
        Exact mean;
        mpfr_div_ui(mean.get(), sum.get(), static_cast<unsigned long>(data.size()), nearest);
        Exact squares;
        mpfr_set_zero(squares.get(), 1);
        for (const TenDigit& x : data) {
            Exact d;
            mpfr_sub(d.get(), Exact(x).get(), mean.get(), nearest);
            mpfr_sqr(d.get(), d.get(), nearest);
            mpfr_add(squares.get(), squares.get(), d.get(), nearest);
        }
        Exact deviation;
        mpfr_div_ui(deviation.get(), squares.get(), static_cast<unsigned long>(data.size() - 1),
                    nearest);
        mpfr_sqrt(deviation.get(), deviation.get(), nearest);
        calculator_.press("SHIFT /");
        judge(what + " SHIFT /", true, mean, false);
        calculator_.press("SHIFT X");
        judge(what + " SHIFT X", true, deviation, false);
    }

    Calculator& calculator() { return calculator_; }

  private:
    void judge(const std::string& what, bool defined, const Exact& result, bool correctlyRounded) {
        ++count_;
        const std::string shown = calculator_.display();
        if (!defined) {
            EXPECT_EQ(shown, errorDisplay) << what;
        } else if (correctlyRounded) {
            EXPECT_EQ(shown, idealDisplay(result)) << what;
        } else {
            EXPECT_TRUE(withinOneUnit(shown, result))
                << what << " shows " << shown << ", ideal " << idealDisplay(result) << " ("
                << unitsOff(shown, result) << " units off)";
        }
        if (defined && shown != errorDisplay) {
            const double off = unitsOff(shown, result);
            if (off > worst_ && off < 1e9) {
                worst_ = off;
                worstAt_ = what;
            }
        }
        if (shown == errorDisplay) calculator_.press("BS");
    }

    std::string name_;
    Calculator calculator_;
    int count_ = 0;
    double worst_ = 0;
    std::string worstAt_;
};

std::vector<TenDigit> numbers(std::initializer_list<const char*> texts) {
    std::vector<TenDigit> list;
    for (const char* text : texts) list.push_back(tenDigitOf(text));
    return list;
}

// ------------------------------------------------------------------ reference functions

bool exactSqrt(Exact& r, const Exact& x) {
    if (mpfr_sgn(x.get()) < 0) return false;
    mpfr_sqrt(r.get(), x.get(), nearest);
    return true;
}
bool exactSquare(Exact& r, const Exact& x) {
    mpfr_sqr(r.get(), x.get(), nearest);
    return true;
}
bool exactReciprocal(Exact& r, const Exact& x) {
    if (mpfr_zero_p(x.get())) return false;
    mpfr_ui_div(r.get(), 1, x.get(), nearest);
    return true;
}
bool exactPercent(Exact& r, const Exact& y, const Exact& x) {
    mpfr_mul(r.get(), y.get(), x.get(), nearest);
    mpfr_div_ui(r.get(), r.get(), 100, nearest);
    return true;
}
bool exactPercentChange(Exact& r, const Exact& y, const Exact& x) {
    if (mpfr_zero_p(y.get())) return false;
    mpfr_sub(r.get(), x.get(), y.get(), nearest);
    mpfr_div(r.get(), r.get(), y.get(), nearest);
    mpfr_mul_ui(r.get(), r.get(), 100, nearest);
    return true;
}
bool exactInteger(Exact& r, const Exact& x) {
    mpfr_trunc(r.get(), x.get());
    return true;
}
bool exactFraction(Exact& r, const Exact& x) {
    mpfr_frac(r.get(), x.get(), nearest);
    return true;
}
bool exactAbsolute(Exact& r, const Exact& x) {
    mpfr_abs(r.get(), x.get(), nearest);
    return true;
}

// ------------------------------------------------------------------ tests

TEST(Scientific, SquareRootIsCorrectlyRounded) {
    Checker check("square root");
    for (const TenDigit& x :
         numbers({"0", "1", "2", "4", "10", "99", "1e99", "9.999999999e99", "1e-99", "2e-99",
                  "9.999999999e-99", "1.000000001", "9.999999999", "0.25", "6.25e-4",
                  "1.234567891e5", "-2", "-1e-99"})) {
        check.unary(x, "Q", exactSqrt, true);
    }
    RandomNumbers random(11);
    for (int i = 0; i < 150 * sweepFactor(); ++i) {
        check.unary(random.next(-99, 99, false), "Q", exactSqrt, true);
    }
    // Perfect squares of ten-digit roots stay exact.
    check.unary(tenDigitOf("1.522756e10"), "Q", exactSqrt, true);
}

TEST(Scientific, SquareReciprocalAndPercentAreCorrectlyRounded) {
    Checker check("x², 1/x, %");
    for (const TenDigit& x : numbers({"0", "3", "-7", "1e50", "1e-50", "9.999999999e49",
                                      "3.16227766e49", "1.414213562", "1e-60", "3"})) {
        check.unary(x, "SHIFT Q", exactSquare, true);
        check.unary(x, "N", exactReciprocal, true);
    }
    for (const auto& [y, x] : std::vector<std::pair<TenDigit, TenDigit>>{
             {tenDigitOf("200"), tenDigitOf("15")},
             {tenDigitOf("1e-99"), tenDigitOf("5")},     // below the range: 0
             {tenDigitOf("1e10"), tenDigitOf("5e-99")},  // x/100 alone would underflow
             {tenDigitOf("9.999999999e99"), tenDigitOf("100")},
             {tenDigitOf("9.999999999e99"), tenDigitOf("101")},
             {tenDigitOf("-3.333333333"), tenDigitOf("33.33333333")}}) {
        check.binary(y, x, "Z", exactPercent, true);
    }
    RandomNumbers random(12);
    for (int i = 0; i < 60 * sweepFactor(); ++i) {
        check.unary(random.next(-60, 60, true), "SHIFT Q", exactSquare, true);
        check.unary(random.next(-99, 99, true), "N", exactReciprocal, true);
        check.binary(random.next(-60, 60, true), random.next(-60, 60, true), "Z", exactPercent,
                     true);
    }
}

TEST(Scientific, PercentChange) {
    Checker check("percent change");
    for (const auto& [y, x] : std::vector<std::pair<TenDigit, TenDigit>>{
             {tenDigitOf("50"), tenDigitOf("75")},
             {tenDigitOf("1.234567891"), tenDigitOf("1.234567892")},  // cancellation
             {tenDigitOf("9.87654321e-5"), tenDigitOf("1.234567891")},
             {tenDigitOf("0"), tenDigitOf("5")},
             {tenDigitOf("3"), tenDigitOf("3")},
             {tenDigitOf("1e-99"), tenDigitOf("9.9e99")},
             {tenDigitOf("-4"), tenDigitOf("1")}}) {
        check.binary(y, x, "SHIFT Z", exactPercentChange);
    }
    RandomNumbers random(13);
    for (int i = 0; i < 100 * sweepFactor(); ++i) {
        const TenDigit y = random.next(-20, 20, true);
        TenDigit x = random.next(-20, 20, true);
        if (i % 3 == 0) x = y, x.digits[9] = static_cast<char>('0' + (i % 10));  // near y
        check.binary(y, x, "SHIFT Z", exactPercentChange);
    }
}

TEST(Scientific, IntegerFractionAndAbsoluteValue) {
    Checker check("INT, FRAC, ABS");
    for (const TenDigit& x :
         numbers({"0", "12.75", "-12.75", "0.5", "-0.999999999", "1", "1e9", "123456789.9",
                  "-1234567891", "1e99", "1.000000001", "9.999999999e-99", "-5.5e-50"})) {
        check.unary(x, "SHIFT H", exactInteger, true);
        check.unary(x, "SHIFT -", exactFraction, true);
        check.unary(x, "SHIFT R", exactAbsolute, true);
    }
    RandomNumbers random(14);
    for (int i = 0; i < 40 * sweepFactor(); ++i) {
        const TenDigit x = random.next(-3, 11, true);
        check.unary(x, "SHIFT H", exactInteger, true);
        check.unary(x, "SHIFT -", exactFraction, true);
    }
}

TEST(Scientific, FactorialOfEveryIntegerUpTo69) {
    Checker check("n!");
    for (int n = 0; n <= 69; ++n) {
        check.unary(tenDigitOf(std::to_string(n).c_str()), "SHIFT N", [n](Exact& r, const Exact&) {
            mpfr_fac_ui(r.get(), static_cast<unsigned long>(n), nearest);
            return true;
        });
    }
    const auto undefined = [](Exact&, const Exact&) { return false; };
    for (const TenDigit& x :
         numbers({"70", "71", "100", "1e50", "-1", "-69", "2.5", "0.5", "68.5", "1e-5"})) {
        check.unary(x, "SHIFT N", undefined);
    }
}

// Sigma+ keeps n, the sums of x, x^2, y, y^2 and xy in .0 to .5; the mean and the sample
// standard deviation of x come from the exact sum and the squared deviations kept beside
// them, so that data far from 0 lose nothing.
TEST(Scientific, StatisticsRegisters) {
    struct Case {
        const char* keys;
        const char* registers;  // .0 to .5, then x mean and s, as FIX 2 shows them
    };
    const Case cases[] = {
        {"2 ENTER 1 W 4 ENTER 3 W 6 ENTER 5 W", "3.00 9.00 35.00 12.00 56.00 44.00 3.00 2.00"},
        {"2 ENTER 1 W 4 ENTER 3 W 6 ENTER 5 W 4 ENTER 3 SHIFT W",
         "2.00 6.00 26.00 8.00 40.00 32.00 3.00 2.83"},
        {"1 . 5 H W 2 . 5 W", "2.00 1.00 8.50 0.00 0.00 0.00 0.50 2.83"},
        {"1 E 4 0 W 1 H E 4 0 W", "2.00 0.00 2.00        80 0.00 0.00 0.00 0.00 1.41        40"},
        {"1 0 0 0 0 0 1 W 1 0 0 0 0 0 2 W 1 0 0 0 0 0 3 W",
         "3.00 3000006.00 3.00        12 0.00 0.00 0.00 1000002.00 1.00"},
        {"4 6 7 4 2 0 7 8 . 8 W 4 6 7 4 2 0 7 8 . 8 W",
         "2.00 93484157.60 4.37        15 0.00 0.00 0.00 46742078.80 0.00"},
        {"1 W 2 W 3 W 4 W SHIFT W", "3.00 6.00 14.00 0.00 0.00 0.00 2.00 1.00"},
        // a STO into the sums: x mean and s follow the registers again
        {"5 W 7 W 9 M . 1 1 0 1 M . 2", "2.00 9.00 101.00 0.00 0.00 0.00 4.50 7.78"},
    };
    for (const Case& c : cases) {
        Calculator calculator;
        calculator.press(c.keys);
        std::string shown;
        for (const char* r : {"0", "1", "2", "3", "4", "5"}) {
            calculator.press(std::string("R . ") + r);
            shown += calculator.shown() + " ";
        }
        calculator.press("SHIFT /");
        shown += calculator.shown() + " ";
        calculator.press("SHIFT X");
        shown += calculator.shown();
        EXPECT_EQ(shown, c.registers) << c.keys;
    }
}

// x mean and s of random data against the data as keyed in: mixed sizes, data that share
// their leading digits (where the textbook sums cancel), equal points.
TEST(Scientific, MeanAndDeviationOfTheData) {
    Checker check("x mean, s");
    RandomNumbers random(29);
    std::mt19937 pick(31);
    std::uniform_int_distribution<int> count(2, 9);
    std::uniform_int_distribution<int> shared(0, 9);
    for (int i = 0; i < 60 * sweepFactor(); ++i) {
        std::vector<TenDigit> data;
        const int n = count(pick);
        const TenDigit base = random.next(-12, 12, true);
        const int keep = shared(pick);  // leading digits all points share
        for (int k = 0; k < n; ++k) {
            TenDigit x = random.next(base.exponent - 3, base.exponent + 3, true);
            if (i % 3 != 0) {
                x.digits = base.digits.substr(0, static_cast<size_t>(keep)) +
                           x.digits.substr(static_cast<size_t>(keep));
                x.exponent = base.exponent;
                x.negative = base.negative;
            }
            if (i % 7 == 0 && k > 0) x = data.front();  // equal points
            data.push_back(x);
        }
        check.statistics(data);
    }
    check.statistics({tenDigitOf("1000001"), tenDigitOf("1000002"), tenDigitOf("1000003")});
    check.statistics({tenDigitOf("46742078.8"), tenDigitOf("46742078.8")});
}

TEST(Scientific, StatisticsEdges) {
    struct Case {
        const char* keys;
        const char* shown;
    };
    const Case cases[] = {
        {"SHIFT /", "Error"},                          // no data: n = 0
        {"5 W SHIFT X", "Error"},                      // s needs two points
        {"5 W", "1.00"},                               // X shows n
        {"5 W 7", "7"},                                // and the lift is disabled
        {"5 W 7 ENTER 9 W SHIFT /", "7.00"},           // the 7 replaced n
        {"5 W SHIFT V", "5.00"},                       // LAST x is x
        {"5 W 5 W 5 W SHIFT X", "0.00"},               // no spread
        {"3 W 3 SHIFT W 3 SHIFT W SHIFT X", "Error"},  // n = -1
        {"5 W SHIFT M SHIFT /", "Error"},              // CLEAR REG clears the sums
        {"1 E 5 0 W", "Error"},                        // x^2 overflows
        {"1 E 5 0 W BS R . 0", "0.00"},                // and no sum changed
        {"1 E 5 0 W BS R . 1", "0.00"},
        {"1 E 5 0 W BS SHIFT /", "Error"},
        {"4 2 M 4 1 ENTER 2 W R 4", "42.00"},                     // 0 to 9 are the user's alone
        {"3 W 3 SHIFT W 3 SHIFT W 3 W 3 W 5 W SHIFT X", "1.41"},  // through n = -1
        {"5 W 7 W SHIFT M SHIFT /", "Error"},
        {"5 W 7 W SHIFT M 2 W 4 W SHIFT X", "1.41"},  // CLEAR REG also clears the wide sums
    };
    for (const Case& c : cases) {
        Calculator calculator;
        calculator.press(c.keys);
        EXPECT_EQ(calculator.shown(), c.shown) << c.keys;
    }
}

bool exactLog10(Exact& r, const Exact& x) {
    if (mpfr_sgn(x.get()) <= 0) return false;
    mpfr_log10(r.get(), x.get(), nearest);
    return true;
}
bool exactLn(Exact& r, const Exact& x) {
    if (mpfr_sgn(x.get()) <= 0) return false;
    mpfr_log(r.get(), x.get(), nearest);
    return true;
}

TEST(Scientific, Logarithms) {
    Checker check("LOG, LN");
    for (const TenDigit& x : numbers({"1",
                                      "10",
                                      "2",
                                      "0.5",
                                      "1e99",
                                      "9.999999999e99",
                                      "1e-99",
                                      "1.000000001",
                                      "0.9999999999",
                                      "0.999999999",
                                      "1.000000001e1",
                                      "9.999999999",
                                      "9.999999999e-1",
                                      "3.162277660",
                                      "3.162277661",
                                      "3.16227766e-50",
                                      "2.718281828",
                                      "0",
                                      "-1",
                                      "-1e-99",
                                      "1.1",
                                      "0.9",
                                      "1.00001",
                                      "0.99999",
                                      "5",
                                      "2.2"})) {
        check.unary(x, "G", exactLog10);
        check.unary(x, "L", exactLn);
    }
    RandomNumbers random(15);
    for (int i = 0; i < 150 * sweepFactor(); ++i) {
        const TenDigit x = random.next(-99, 99, false);
        check.unary(x, "G", exactLog10);
        check.unary(x, "L", exactLn);
        TenDigit near = random.next(-1, 0, false);  // close to 1 from either side
        near.digits = (near.exponent == 0 ? "1000" : "9999") + near.digits.substr(4);
        check.unary(near, "G", exactLog10);
        check.unary(near, "L", exactLn);
    }
}

bool exactTenPower(Exact& r, const Exact& x) {
    mpfr_exp10(r.get(), x.get(), nearest);
    return true;
}
bool exactExp(Exact& r, const Exact& x) {
    mpfr_exp(r.get(), x.get(), nearest);
    return true;
}
bool exactPower(Exact& r, const Exact& y, const Exact& x) {
    if (mpfr_sgn(y.get()) < 0) return false;
    if (mpfr_zero_p(y.get())) {
        mpfr_set_ui(r.get(), 0, nearest);
        return mpfr_sgn(x.get()) > 0;
    }
    mpfr_pow(r.get(), y.get(), x.get(), nearest);
    return true;
}
bool exactRoot(Exact& r, const Exact& y, const Exact& x) {
    if (mpfr_zero_p(x.get()) || mpfr_sgn(y.get()) < 0) return false;
    if (mpfr_zero_p(y.get())) {
        mpfr_set_ui(r.get(), 0, nearest);
        return mpfr_sgn(x.get()) > 0;
    }
    Exact reciprocal;
    mpfr_ui_div(reciprocal.get(), 1, x.get(), nearest);
    mpfr_pow(r.get(), y.get(), reciprocal.get(), nearest);
    return true;
}
// Beyond the range an ideal calculator shows Error (or 0 below it).
bool inRange(const Exact& r) {
    return mpfr_cmp_d(r.get(), 9.9999999995e99) < 0 && mpfr_cmp_d(r.get(), -9.9999999995e99) > 0;
}

TEST(Scientific, Exponentials) {
    Checker check("10^x, e^x");
    const auto ten = [](Exact& r, const Exact& x) { return exactTenPower(r, x) && inRange(r); };
    const auto e = [](Exact& r, const Exact& x) { return exactExp(r, x) && inRange(r); };
    for (const TenDigit& x : numbers({"0",
                                      "1",
                                      "-1",
                                      "2",
                                      "0.5",
                                      "99",
                                      "99.99999999",
                                      "100",
                                      "-99",
                                      "-99.5",
                                      "-100",
                                      "-101",
                                      "1e-20",
                                      "-1e-20",
                                      "1e-9",
                                      "2.302585093",
                                      "230",
                                      "230.2585092",
                                      "230.2585093",
                                      "-230.2585092",
                                      "-227.9559242",
                                      "-228",
                                      "1e99",
                                      "-1e99",
                                      "0.4342944819",
                                      "1.234567891e-5"})) {
        check.unary(x, "SHIFT G", ten);
        check.unary(x, "SHIFT L", e);
    }
    RandomNumbers random(16);
    for (int i = 0; i < 150 * sweepFactor(); ++i) {
        TenDigit x = random.next(-12, 1, true);
        check.unary(x, "SHIFT G", ten);
        x = random.next(-12, 2, true);
        if (x.exponent == 2 && x.digits[0] > '2') x.digits[0] = '2';
        check.unary(x, "SHIFT L", e);
    }
}

TEST(Scientific, PowersAndRoots) {
    Checker check("y^x, x-th root of y");
    const auto power = [](Exact& r, const Exact& y, const Exact& x) {
        return exactPower(r, y, x) && inRange(r);
    };
    const auto root = [](Exact& r, const Exact& y, const Exact& x) {
        return exactRoot(r, y, x) && inRange(r);
    };
    const std::vector<std::pair<const char*, const char*>> pairs = {
        {"2", "10"},
        {"2", "0.5"},
        {"27", "3"},
        {"10", "99"},
        {"10", "100"},
        {"10", "-99"},
        {"10", "-100"},
        {"0", "3"},
        {"0", "0"},
        {"0", "-2"},
        {"-2", "2"},
        {"5", "0"},
        {"1", "1e99"},
        {"1.00001", "1e7"},
        {"0.99999", "2e7"},
        {"9.999999999e99", "1"},
        {"1e-99", "1"},
        {"1e-99", "-1"},
        {"3", "209.5"},
        {"0.5", "-332.19"},
        {"1.000000001", "2.3e11"},
        {"2", "-332.1928094"},
        {"7", "1e-15"},
        {"123", "-0.25"},
        // a root near the top of the range from a small x of many digits
        {"4.80328848e-16", "-0.1685998571"},
        {"4.80328848e-16", "-0.1685998"},
        // a y within 1E-5 of 1, with an x that makes the most of its logarithm
        {"1.000000005", "-7.445069037e7"},
        {"1.000000001e-51", "-54.14255095"},
        {"1.000009999", "1.2345e6"},
        {"0.9999900001", "-9.87654321e6"},
        {"1.000001739", "-1.3e8"},
        {"1.0000099", "2.2e7"}};
    for (const auto& [y, x] : pairs) {
        check.binary(tenDigitOf(y), tenDigitOf(x), "Y", power);
        check.binary(tenDigitOf(y), tenDigitOf(x), "SHIFT Y", root);
    }
    RandomNumbers random(17);
    for (int i = 0; i < 120 * sweepFactor(); ++i) {
        const TenDigit y = random.next(-20, 20, false);
        const TenDigit x = random.next(-2, 1, true);
        check.binary(y, x, "Y", power);
        check.binary(y, x, "SHIFT Y", root);
        // Results near the ends of the range, where x log y is near 100.
        const TenDigit base = random.next(-3, 3, false);
        Exact logBase;
        mpfr_log10(logBase.get(), Exact(base).get(), nearest);
        if (mpfr_zero_p(logBase.get())) continue;
        Exact target;
        mpfr_set_d(target.get(), (i % 2 ? 1 : -1) * (90.0 + (i % 97) / 10.0), nearest);
        mpfr_div(target.get(), target.get(), logBase.get(), nearest);
        char text[64];
        mpfr_snprintf(text, sizeof text, "%.12Re", target.get());
        check.binary(base, tenDigitOf(text), "Y", power);
        mpfr_ui_div(target.get(), 1, target.get(), nearest);
        mpfr_snprintf(text, sizeof text, "%.12Re", target.get());
        check.binary(base, tenDigitOf(text), "SHIFT Y", root);
    }
}

// sin, cos, tan of x in a unit of which a full turn is `turn` (360, 400 or 2 pi).
struct Turn {
    AnglePosition angle;
    const char* name;
    unsigned long units;  // 0: radians
};
const Turn turns[] = {{AnglePosition::deg, "DEG", 360},
                      {AnglePosition::grd, "GRD", 400},
                      {AnglePosition::rad, "RAD", 0}};

ExactFunction trigFunction(int which, const Turn& turn) {
    return [which, turn](Exact& r, const Exact& x) {
        if (turn.units == 0) {
            if (which == 0) mpfr_sin(r.get(), x.get(), nearest);
            if (which == 1) mpfr_cos(r.get(), x.get(), nearest);
            if (which == 2) mpfr_tan(r.get(), x.get(), nearest);
        } else {
            if (which == 0) mpfr_sinu(r.get(), x.get(), turn.units, nearest);
            if (which == 1) mpfr_cosu(r.get(), x.get(), turn.units, nearest);
            if (which == 2) mpfr_tanu(r.get(), x.get(), turn.units, nearest);
        }
        return !mpfr_inf_p(r.get()) && inRange(r);
    };
}

void checkTrigonometry(const Turn& turn, const std::vector<TenDigit>& edges, int maxExponent) {
    Checker check((std::string("SIN, COS, TAN in ") + turn.name).c_str(), turn.angle);
    const char* keys[] = {"S", "C", "T"};
    for (const TenDigit& x : edges) {
        for (int which = 0; which < 3; ++which)
            check.unary(x, keys[which], trigFunction(which, turn));
    }
    RandomNumbers random(18 + turn.units);
    for (int i = 0; i < 80 * sweepFactor(); ++i) {
        const TenDigit x = random.next(-4, maxExponent, true);
        for (int which = 0; which < 3; ++which)
            check.unary(x, keys[which], trigFunction(which, turn));
    }
}

TEST(Scientific, TrigonometryInDegrees) {
    checkTrigonometry(
        turns[0],
        numbers({"0", "30", "45", "60", "90", "180", "270", "360", "-30", "1e10", "1e99", "-1e99",
                 "9.999999999e99", "1e-99", "1e-7", "89.99999999", "90.00000001", "45.00000001",
                 "44.99999999", "1e-50", "123456.789", "9", "359.9999999", "0.9999962727",
                 "1234567891", "1.234567891e15", "-540", "720.5",
                 // tan(psi / 2) or tan psi just above a power of ten
                 "11.45", "5.72", "-29426388.56", "-11.4213"}),
        20);
}

TEST(Scientific, TrigonometryInGrads) {
    checkTrigonometry(
        turns[1],
        numbers({"0", "50", "100", "200", "300", "400", "-50", "1e10", "1e99", "99.99999999",
                 "100.0000001", "1e-60", "3.3e7", "12.72", "6.36", "-12.70109927"}),
        20);
}

ExactFunction inverseFunction(int which, const Turn& turn) {
    return [which, turn](Exact& r, const Exact& x) {
        if (which < 2 && mpfr_cmpabs_ui(x.get(), 1) > 0) return false;
        if (turn.units == 0) {
            if (which == 0) mpfr_asin(r.get(), x.get(), nearest);
            if (which == 1) mpfr_acos(r.get(), x.get(), nearest);
            if (which == 2) mpfr_atan(r.get(), x.get(), nearest);
        } else {
            if (which == 0) mpfr_asinu(r.get(), x.get(), turn.units, nearest);
            if (which == 1) mpfr_acosu(r.get(), x.get(), turn.units, nearest);
            if (which == 2) mpfr_atanu(r.get(), x.get(), turn.units, nearest);
        }
        return true;
    };
}

TEST(Scientific, InverseTrigonometry) {
    const char* keys[] = {"SHIFT S", "SHIFT C", "SHIFT T"};
    const std::vector<TenDigit> edges = numbers({"0",
                                                 "1",
                                                 "-1",
                                                 "0.5",
                                                 "-0.5",
                                                 "0.7071067812",
                                                 "0.7071067811",
                                                 "1e-99",
                                                 "1e-7",
                                                 "-1e-50",
                                                 "0.9999999999",
                                                 "-0.9999999999",
                                                 "0.9999962724",
                                                 "1.000000001",
                                                 "-1.000000001",
                                                 "2",
                                                 "1e99",
                                                 "-1e99",
                                                 "1e10",
                                                 "0.1",
                                                 "0.9999999",
                                                 "0.001"});
    for (const Turn& turn : turns) {
        Checker check((std::string("SIN-1, COS-1, TAN-1 in ") + turn.name).c_str(), turn.angle);
        for (const TenDigit& x : edges) {
            for (int which = 0; which < 3; ++which) {
                check.unary(x, keys[which], inverseFunction(which, turn));
            }
        }
        RandomNumbers random(30 + turn.units);
        for (int i = 0; i < 50 * sweepFactor(); ++i) {
            const TenDigit x = random.next(-8, 0, true);
            for (int which = 0; which < 2; ++which) {
                check.unary(x, keys[which], inverseFunction(which, turn));
            }
            check.unary(random.next(-8, 8, true), keys[2], inverseFunction(2, turn));
        }
    }
}

// Radians are reduced exactly below 10^5; a larger x is an Error.
TEST(Scientific, TrigonometryInRadians) {
    checkTrigonometry(
        turns[2],
        numbers({"0", "1", "-1", "0.7853981633", "0.7853981634", "1.570796327", "1.570796326",
                 "3.141592654", "3.141592653", "-3.141592654", "52174", "6.283185307",
                 "4.712388980", "10000", "99999.99999", "355", "1e-99", "1e-7", "0.1", "2",
                 "31415.92654", "62831.85307", "78539.81634", "65536", "99999.99999",
                 "-99999.99999",
                 // just below n times 1.57079632: the exact second step
                 "1.5705", "-1.570319261", "3.1412", "4.7121", "-589.0483861", "0.1997", "0.0998",
                 // n rounded up or not at an odd multiple of pi/4; a large n
                 // with a tiny rest
                 "2.356194490", "2.356194491", "-5.497787144", "70685.83471"}),
        4);
    Calculator calculator(PrintModePosition::man, AnglePosition::rad);
    calculator.press("1 E 5 S");
    EXPECT_EQ(calculator.shown(), "Error");
}

// To polar: x in X, y in Y give r in X and the angle of (x, y) in Y, -180 < angle <= 180.
TEST(Scientific, ToPolar) {
    const std::vector<std::pair<const char*, const char*>> edges = {
        // y, x
        {"0", "0"},
        {"0", "5"},
        {"0", "-5"},
        {"5", "0"},
        {"-5", "0"},
        {"3", "4"},
        {"-3", "4"},
        {"3", "-4"},
        {"-3", "-4"},
        {"1", "1"},
        {"-1", "-1"},
        {"1", "-1"},
        {"1e-99", "0"},
        {"0", "-1e-99"},
        {"1e-99", "1e-99"},
        {"-1e-99", "-9.999999999e99"},
        {"9.999999999e99", "1e-99"},
        {"7e99", "7e99"},
        {"7.071067812e99", "7.071067811e99"},
        {"9.9e99", "9.9e99"},
        {"-9.999999999e99", "1"},
        {"6e99", "8e99"},
        {"1e-60", "1e60"},
        {"1", "1.000000001"},
        {"1.000000001", "1"},
        {"-1e-10", "-1"},
        {"1e-10", "-1"},
        {"1.732050808", "1"},
        {"-1", "-1.732050808"},
        {"2.5e-50", "-3.1e-50"},
        {"6.927480296", "6.927485559"},
        {"-6.98288", "6.982885894"},
        {"5.999999", "6"}};
    for (const Turn& turn : turns) {
        Checker check((std::string("to polar in ") + turn.name).c_str(), turn.angle);
        const auto polar = [turn](Exact& r, Exact& angle, const Exact& y, const Exact& x) {
            mpfr_hypot(r.get(), x.get(), y.get(), nearest);
            if (turn.units == 0)
                mpfr_atan2(angle.get(), y.get(), x.get(), nearest);
            else
                mpfr_atan2u(angle.get(), y.get(), x.get(), turn.units, nearest);
            return inRange(r);
        };
        for (const auto& [y, x] : edges) check.pair(tenDigitOf(y), tenDigitOf(x), "J", polar);
        RandomNumbers random(40 + turn.units);
        for (int i = 0; i < 40 * sweepFactor(); ++i) {
            check.pair(random.next(-99, 99, true), random.next(-99, 99, true), "J", polar);
            check.pair(random.next(-3, 3, true), random.next(-3, 3, true), "J", polar);
            TenDigit y = random.next(-2, 2, true);  // near the diagonals
            TenDigit x = y;
            x.negative = i % 2;
            x.digits.replace(6, 4, random.next(0, 0, false).digits.substr(0, 4));
            check.pair(y, x, "J", polar);
        }
    }
}

// To rectangular: r in X, the angle in Y give r cos(angle) in X and r sin(angle) in Y. Where
// the angle reduces exactly to an axis the small coordinate is an exact 0.
TEST(Scientific, ToRectangular) {
    const std::vector<std::pair<const char*, const char*>> edges = {
        // angle in DEG, r
        {"0", "1"},
        {"30", "2"},
        {"45", "1"},
        {"60", "-2"},
        {"90", "3"},
        {"135", "1"},
        {"180", "1"},
        {"225", "1"},
        {"270", "5"},
        {"315", "1"},
        {"360", "1"},
        {"-30", "1"},
        {"-90", "1"},
        {"-180", "7"},
        {"-135", "1"},
        {"1e99", "1"},
        {"-1e99", "2"},
        {"1e-99", "1"},
        {"89.99999999", "1"},
        {"90.00000001", "-1"},
        {"44.99999999", "1"},
        {"45.00000001", "1"},
        {"1234567891", "1"},
        {"30", "9.999999999e99"},
        {"0", "9.999999999e99"},
        {"-90", "-9.999999999e99"},
        {"45", "1e-99"},
        {"30", "0"},
        {"1e-50", "1e50"},
        {"359.9999999", "1"},
        {"11.45", "3"},
        {"-29426388.56", "-5.244934191e-44"}};
    for (const Turn& turn : turns) {
        Checker check((std::string("to rectangular in ") + turn.name).c_str(), turn.angle);
        const auto rectangular = [turn](Exact& x, Exact& y, const Exact& angle, const Exact& r) {
            if (turn.units == 0) {
                if (mpfr_cmpabs_ui(angle.get(), 100000) >= 0) return false;
                mpfr_cos(x.get(), angle.get(), nearest);
                mpfr_sin(y.get(), angle.get(), nearest);
            } else {
                mpfr_cosu(x.get(), angle.get(), turn.units, nearest);
                mpfr_sinu(y.get(), angle.get(), turn.units, nearest);
            }
            mpfr_mul(x.get(), x.get(), r.get(), nearest);
            mpfr_mul(y.get(), y.get(), r.get(), nearest);
            return true;
        };
        for (const auto& [angle, r] : edges) {
            TenDigit theta = tenDigitOf(angle);
            if (turn.units == 400 && theta.exponent < 20) {  // the same points in grads
                Exact grads(theta);
                mpfr_mul_ui(grads.get(), grads.get(), 10, nearest);
                mpfr_div_ui(grads.get(), grads.get(), 9, nearest);
                char text[64];
                mpfr_snprintf(text, sizeof text, "%.12Re", grads.get());
                theta = tenDigitOf(text);
            }
            check.pair(theta, tenDigitOf(r), "SHIFT J", rectangular);
        }
        RandomNumbers random(50 + turn.units);
        const int maxExponent = turn.units == 0 ? 4 : 20;
        for (int i = 0; i < 60 * sweepFactor(); ++i) {
            check.pair(random.next(-4, maxExponent, true), random.next(-99, 99, true), "SHIFT J",
                       rectangular);
        }
        if (turn.units == 0) {
            for (const char* angle :
                 {"1.570796327", "3.141592654", "-4.71238898", "1.5705", "-589.0483861", "0.1997",
                  "99999.99999", "1e5", "-1e5", "1e99"}) {
                check.pair(tenDigitOf(angle), tenDigitOf("2"), "SHIFT J", rectangular);
            }
        }
    }
}

// Each step of 9, SIN, COS, TAN, TAN-1, COS-1, SIN-1 in DEG as a ten-digit calculator that
// rounds every result correctly would show it.
TEST(Scientific, TheClassicChain) {
    Calculator calculator;
    calculator.press("SHIFT F 9 9");
    const std::pair<const char*, const char*> steps[] = {
        {"S", " 1.564344650-01"},       {"C", " 9.999962727-01"},
        {"T", " 1.745499985-02"},       {"SHIFT T", " 9.999962724-01"},
        {"SHIFT C", " 1.564416604-01"}, {"SHIFT S", " 9.000417403 00"}};
    for (const auto& [keys, shown] : steps) {
        calculator.press(keys);
        EXPECT_EQ(calculator.display(), shown) << keys;
    }
}

TEST(Scientific, PiIsRecalledWithTheLift) {
    Calculator calculator;
    calculator.press("SHIFT F 9 2 SHIFT E");
    EXPECT_EQ(calculator.display(), " 3.141592654 00");
    calculator.press("V");  // x<>y: the 2 was lifted into Y
    EXPECT_EQ(calculator.display(), " 2.000000000 00");
}

}  // namespace
}  // namespace quorvel::test
