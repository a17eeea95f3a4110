#pragma once

// Systems and values for the exact solution's tests.

#include "Matrix.h"
#include "RandomSystems.h"

#include <flint/fmpq.h>

#include <limits>
#include <string>

namespace lse::test {

// The doubles at the ends of the range.
inline constexpr double kMax = std::numeric_limits<double>::max();
inline constexpr double kTiny = std::numeric_limits<double>::denorm_min();
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInf = std::numeric_limits<double>::infinity();

// The seeded random system as the program holds it.
inline void toArrays(const reference::System& system, Matrix& A, Vector& b) {
    const int n = static_cast<int>(system.b.size());
    A.recreate(n, n, 1);
    b.recreate(n);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            A(i, j) = system.a[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
        b(i) = system.b[static_cast<std::size_t>(i - 1)];
    }
}

// A rational from a text "p" or "p/q" times 2^twos, plus sign * 2^nudge when sign is not 0:
// the values next to a rounding boundary that no double can hold.
struct RationalText {
    std::string text;
    long twos = 0;
    int sign = 0;
    long nudge = 0;
};

inline void setRational(fmpq_t out, const RationalText& value) {
    fmpq_set_str(out, value.text.c_str(), 10);
    fmpq_canonicalise(out);
    if (value.twos >= 0)
        fmpq_mul_2exp(out, out, static_cast<ulong>(value.twos));
    else
        fmpq_div_2exp(out, out, static_cast<ulong>(-value.twos));
    if (value.sign != 0) {
        fmpq_t step;
        fmpq_init(step);
        fmpq_set_si(step, value.sign, 1);
        if (value.nudge >= 0)
            fmpq_mul_2exp(step, step, static_cast<ulong>(value.nudge));
        else
            fmpq_div_2exp(step, step, static_cast<ulong>(-value.nudge));
        fmpq_add(out, out, step);
        fmpq_clear(step);
    }
}

} // namespace lse::test
