// Checks that GMP, MPFR and FLINT as built for WebAssembly by scripts/web-exact-libs solve
// A x = b exactly and round the solution as the exact solver will: Dixon's solver against
// the fraction-free one and against A x = b itself, and MPFR's nearest double (subnormals
// included) and 17-digit decimal. Run under Node; prints one line per case.
#include <flint/fmpq_mat.h>
#include <flint/fmpz_mat.h>
#include <gmp.h>
#include <mpfr.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct Rounded {
    double nearest;
    std::string digits17;
};

// The exact solution's entries as the solver shows them: correctly rounded to a double,
// subnormals rounded once at their own precision, and to 17 significant digits.
Rounded roundEntry(const fmpq_t q) {
    mpfr_exp_t emin = mpfr_get_emin(), emax = mpfr_get_emax();
    mpfr_set_emin(-1073);
    mpfr_set_emax(1024);
    mpfr_t r;
    mpfr_init2(r, 53);
    const int inexact = fmpq_get_mpfr(r, q, MPFR_RNDN);
    mpfr_subnormalize(r, inexact, MPFR_RNDN);
    Rounded out{mpfr_get_d(r, MPFR_RNDN), {}};
    mpfr_set_emin(emin);
    mpfr_set_emax(emax);
    mpfr_set_prec(r, 128);
    fmpq_get_mpfr(r, q, MPFR_RNDN);
    char text[64];
    mpfr_snprintf(text, sizeof text, "%.16Re", r);
    out.digits17 = text;
    mpfr_clear(r);
    return out;
}

void setExact(fmpq_t q, double d) {
    mpq_t m;
    mpq_init(m);
    mpq_set_d(m, d);
    fmpq_set_mpq(q, m);
    mpq_clear(m);
}

struct Matrices {
    fmpq_mat_t a, b, x;
    Matrices(int n, const std::vector<double>& aRows, const std::vector<double>& bValues) {
        fmpq_mat_init(a, n, n);
        fmpq_mat_init(b, n, 1);
        fmpq_mat_init(x, n, 1);
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j)
                setExact(fmpq_mat_entry(a, i, j), aRows[i * n + j]);
            setExact(fmpq_mat_entry(b, i, 0), bValues[i]);
        }
    }
    ~Matrices() {
        fmpq_mat_clear(a);
        fmpq_mat_clear(b);
        fmpq_mat_clear(x);
    }
};

struct Fraction {
    double numerator, denominator; // each exact as a double; the quotient is exact in FLINT
};

struct SmallCase {
    const char* name;
    int n;
    std::vector<double> a, b;
    std::vector<Fraction> exact;        // empty: singular
    std::vector<std::uint64_t> nearest; // the bits of each rounded entry
    std::vector<const char*> digits17;
};

// Emscripten 3.1's library has no std::bit_cast.
std::uint64_t bitsOf(double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}

const double kTiny = std::ldexp(1.0, -1074); // the least subnormal

const std::vector<SmallCase> kSmallCases = {
    {"built-in 3 x 3",
     3,
     {4, 2, 14, 2, 17, -5, 14, -5, 83},
     {14, -101, 155},
     {{3, 1}, {-6, 1}, {1, 1}},
     {bitsOf(3), bitsOf(-6), bitsOf(1)},
     {"3.0000000000000000e+00", "-6.0000000000000000e+00", "1.0000000000000000e+00"}},
    {"fractions",
     2,
     {3, 1, 1, 2},
     {1, 0},
     {{2, 5}, {-1, 5}},
     {bitsOf(0.4), bitsOf(-0.2)},
     {"4.0000000000000000e-01", "-2.0000000000000000e-01"}},
    // 1 / 0.1 is just under 10: the double rounds to 10, the 17 digits show the difference.
    {"one over 0.1", 1, {0.1}, {1}, {{1, 0.1}}, {bitsOf(10)}, {"9.9999999999999994e+00"}},
    // 16/3 and 11/2 least subnormals: rounded at the subnormal's own precision, ties to even.
    {"subnormals",
     2,
     {3, 0, 0, 2},
     {16 * kTiny, 11 * kTiny},
     {{16 * kTiny, 3}, {11 * kTiny, 2}},
     {5, 6},
     {"2.6350167778199816e-323", "2.7173610521268560e-323"}},
    {"singular", 2, {1, 2, 2, 4}, {1, 2}, {}, {}, {}},
};

bool equalsFraction(const fmpq_t x, Fraction f) {
    fmpq_t num, den;
    fmpq_init(num);
    fmpq_init(den);
    setExact(num, f.numerator);
    setExact(den, f.denominator);
    fmpq_div(num, num, den);
    const bool equal = fmpq_equal(x, num);
    fmpq_clear(num);
    fmpq_clear(den);
    return equal;
}

bool checkSmall(const SmallCase& c) {
    Matrices m(c.n, c.a, c.b);
    const int solved = fmpq_mat_solve_dixon(m.x, m.a, m.b);
    bool ok = solved == !c.exact.empty();
    std::string shown = solved ? "" : "singular";
    for (int i = 0; solved && ok && i < c.n; ++i) {
        const fmpq* x = fmpq_mat_entry(m.x, i, 0);
        const Rounded r = roundEntry(x);
        ok = equalsFraction(x, c.exact[i]) && bitsOf(r.nearest) == c.nearest[i] &&
             r.digits17 == c.digits17[i];
        shown += (i ? ", " : "") + r.digits17;
    }
    std::printf("%-16s %s: %s\n", c.name, ok ? "ok" : "FAILED", shown.c_str());
    return ok;
}

// Random doubles of every magnitude between 2^-20 and 2^20, either sign, from a fixed seed.
std::vector<double> randomDoubles(std::mt19937_64& random, int count) {
    std::vector<double> out(count);
    for (double& d : out) {
        const double mantissa = static_cast<double>(random() >> 11) * std::ldexp(1.0, -53);
        d = std::ldexp(0.5 + mantissa / 2, static_cast<int>(random() % 41) - 20);
        if (random() & 1)
            d = -d;
    }
    return out;
}

// Numbers as typed: one decimal, -9.9 to 9.9 (each still a double with a long binary fraction).
std::vector<double> typedDoubles(std::mt19937_64& random, int count) {
    std::vector<double> out(count);
    for (double& d : out)
        d = static_cast<double>(static_cast<int>(random() % 199) - 99) / 10;
    return out;
}

struct RandomCase {
    const char* kind;
    std::vector<double> (*draw)(std::mt19937_64&, int);
    int n;
    bool bothRoutes; // the fraction-free solver takes much longer for large n
};

const std::vector<RandomCase> kRandomCases = {
    {"random", randomDoubles, 12, true},
    {"random", randomDoubles, 40, true},
    {"random", randomDoubles, 100, false},
    {"typed", typedDoubles, 100, false},
};

bool checkRandom(const RandomCase& c) {
    std::mt19937_64 random(20261208u + c.n);
    const std::vector<double> a = c.draw(random, c.n * c.n);
    const std::vector<double> b = c.draw(random, c.n);
    Matrices m(c.n, a, b);
    const auto start = std::chrono::steady_clock::now();
    bool ok = fmpq_mat_solve_dixon(m.x, m.a, m.b) != 0;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    fmpq_mat_t check;
    fmpq_mat_init(check, c.n, 1);
    fmpq_mat_mul(check, m.a, m.x);
    ok = ok && fmpq_mat_equal(check, m.b);
    if (c.bothRoutes) {
        ok = ok && fmpq_mat_solve_fraction_free(check, m.a, m.b) && fmpq_mat_equal(check, m.x);
    }
    fmpq_mat_clear(check);
    slong bits = 0;
    for (int i = 0; i < c.n; ++i)
        bits = FLINT_MAX(bits, fmpq_height_bits(fmpq_mat_entry(m.x, i, 0)));
    std::printf("%-6s %3d x %-3d %s: Dixon %.3f s, entries up to %ld bits\n", c.kind, c.n, c.n,
                ok ? "ok" : "FAILED", seconds, static_cast<long>(bits));
    return ok;
}

} // namespace

int main() {
    bool ok = true;
    for (const SmallCase& c : kSmallCases)
        ok = checkSmall(c) && ok;
    for (const RandomCase& c : kRandomCases)
        ok = checkRandom(c) && ok;
    flint_cleanup();
    return ok ? 0 : 1;
}
