#pragma once

#include "FakePlatform.h"
#include "RandomSystems.h"
#include "modChol.h"
#include "modGauss.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace lse::reference {

// One system solved by the product the way the window solves it: a fresh working copy of A
// for each method, and a result only when the method reported one.
struct ProductRun {
    std::optional<std::vector<double>> x;
    std::vector<test::ShownMessage> messages;
    // A failed run must leave x as it was; x starts out as this.
    bool xKept = true;
};

namespace detail {

inline constexpr double kUntouched = -12345.678;

inline Matrix workingCopy(const System& system) {
    const int n = static_cast<int>(system.b.size());
    Matrix w;
    w.recreate(n, n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            w(i, j) = system.a[i - 1][j - 1];
    return w;
}

inline Vector vectorOf(const std::vector<double>& values) {
    Vector v;
    v.recreate(static_cast<int>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i)
        v(static_cast<int>(i) + 1) = values[i];
    return v;
}

inline ProductRun finish(bool solved, const Vector& x, test::FakePlatform& platform) {
    ProductRun run;
    run.messages = platform.messages;
    std::vector<double> values;
    for (int i = 1; i <= x.upper(); ++i)
        values.push_back(x(i));
    if (solved)
        run.x = values;
    return run;
}

} // namespace detail

inline ProductRun productGauss(const System& system) {
    test::FakePlatform platform;
    Matrix w = detail::workingCopy(system);
    const Vector b = detail::vectorOf(system.b);
    Vector x = detail::vectorOf(std::vector<double>(system.b.size(), detail::kUntouched));
    const Vector before = x;
    const bool solved =
        modGauss::gaussSolve(w, x, b, static_cast<std::int16_t>(system.b.size()), platform);
    ProductRun run = detail::finish(solved, x, platform);
    run.xKept = solved || x == before;
    return run;
}

// A failed decomposition's solve may write x; the window then shows nothing, so only the
// pair's outcome counts.
inline ProductRun productCholesky(const System& system) {
    test::FakePlatform platform;
    Matrix w = detail::workingCopy(system);
    const Vector b = detail::vectorOf(system.b);
    Vector x = detail::vectorOf(std::vector<double>(system.b.size(), detail::kUntouched));
    modChol chol;
    const bool decomposed =
        chol.cholDecompose(w, static_cast<std::int16_t>(system.b.size()), platform);
    const bool solved = chol.cholSolve(b, x);
    return detail::finish(decomposed && solved, x, platform);
}

} // namespace lse::reference
