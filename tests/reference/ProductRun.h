#pragma once

#include "FakePlatform.h"
#include "Messages.h"
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

inline ProductRun finish(bool solved, const Vector& x, std::optional<Message> message) {
    ProductRun run;
    if (message)
        run.messages.push_back(*message);
    std::vector<double> values;
    for (int i = 1; i <= x.upper(); ++i)
        values.push_back(x(i));
    if (solved)
        run.x = values;
    return run;
}

} // namespace detail

inline ProductRun productGauss(const System& system, const SolveOptions& options = {}) {
    Matrix w = detail::workingCopy(system);
    const Vector b = detail::vectorOf(system.b);
    Vector x = detail::vectorOf(std::vector<double>(system.b.size(), detail::kUntouched));
    const Vector before = x;
    const GaussOutcome outcome =
        modGauss::gaussSolve(w, x, b, static_cast<std::int16_t>(system.b.size()), options);
    ProductRun run = detail::finish(outcome.solved(), x, messages::about(outcome));
    run.xKept = outcome.solved() || x == before;
    return run;
}

// A failed decomposition's solve may write x; the window then shows nothing, so only the
// pair's outcome counts.
inline ProductRun productCholesky(const System& system, const SolveOptions& options = {}) {
    Matrix w = detail::workingCopy(system);
    const Vector b = detail::vectorOf(system.b);
    Vector x = detail::vectorOf(std::vector<double>(system.b.size(), detail::kUntouched));
    modChol chol;
    const CholeskyOutcome decomposition =
        chol.cholDecompose(w, static_cast<std::int16_t>(system.b.size()), options);
    const CholeskySolveStatus solve = chol.cholSolve(b, x);
    return detail::finish(decomposition.decomposed() && solve == CholeskySolveStatus::solved, x,
                          messages::about(decomposition));
}

} // namespace lse::reference
