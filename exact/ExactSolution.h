#pragma once

#include "ExactReport.h"
#include "Matrix.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lse::exact {

// The solution of A x = b in exact rational arithmetic, each double of A(1..n, 1..n) and
// b(1..n) taken as the binary fraction it is. Verified by A x = b in exact arithmetic before
// it is handed out.
class ExactSolution {
public:
    // std::invalid_argument for an entry that is not finite; std::logic_error if the solution
    // fails its check (a fault in the arithmetic library, never expected).
    static ExactSolution solve(const Matrix& A, const Vector& b, int n);

    ExactSolution(ExactSolution&&) noexcept;
    ExactSolution& operator=(ExactSolution&&) noexcept;
    ~ExactSolution();

    ExactStatus status() const;
    std::vector<ExactComponent> components() const;
    // Each component as p/q in lowest terms ("p" when q is 1), however long.
    std::vector<std::string> fractions() const;
    // The error of a method's solution x̂(1..n); only for a solved system.
    MethodError judge(const Vector& xhat) const;

private:
    struct State;
    explicit ExactSolution(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// The solution with the errors of the given methods' solutions.
ExactReport solveAndJudge(const Matrix& A, const Vector& b, int n,
                          const std::vector<Vector>& methodSolutions);

} // namespace lse::exact
