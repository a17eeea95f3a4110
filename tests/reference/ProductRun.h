#pragma once

#include "Calculate.h"
#include "FakePlatform.h"
#include "Messages.h"
#include "MethodTable.h"
#include "RandomSystems.h"
#include "WorkingCopy.h"

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

} // namespace detail

// The window's Calculate of one method: the driver on a fresh working copy, the message it
// would show, and x only when the method produced it.
inline ProductRun productRun(const MethodEntry& method, const System& system,
                             const SolveOptions& options) {
    Matrix w = test::workingCopy(system);
    const Vector b = test::vectorOf(system.b);
    Vector x = test::vectorOf(std::vector<double>(system.b.size(), detail::kUntouched));
    const Vector before = x;
    MethodState state;
    const CalculateOutcome outcome =
        method.solve(w, b, x, static_cast<std::int16_t>(system.b.size()), state, options);
    ProductRun run;
    if (const std::optional<Message> message = method.about(outcome))
        run.messages.push_back(*message);
    if (outcome.solved())
        run.x = std::vector<double>(x.data() + 1, x.data() + x.upper() + 1);
    run.xKept = outcome.solved() || x == before;
    return run;
}

inline ProductRun productGauss(const System& system, const SolveOptions& options = {}) {
    return productRun(*findMethod(builtInMethods(), "gauss"), system, options);
}

inline ProductRun productCholesky(const System& system, const SolveOptions& options = {}) {
    return productRun(*findMethod(builtInMethods(), "cholesky"), system, options);
}

} // namespace lse::reference
