#pragma once

// The exact solve in-process, as the child program and the page's Worker do it: for the
// window's logic behind the FakePlatform, in the tests that link exact/.

#include "ExactSolution.h"
#include "Platform.h"

#include <optional>

namespace lse::test {

// Solves and judges as the child does, and counts its calls.
struct InProcessExact {
    int calls = 0;
    std::optional<ExactOutcome> operator()(const ExactProblem& p, WorkStatus&) {
        ++calls;
        return ExactOutcome{ExactOutcome::Ending::solved,
                            exact::solveAndJudge(p.A, p.b, p.n, p.methodSolutions, p.written),
                            {}};
    }
};

} // namespace lse::test
