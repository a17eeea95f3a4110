#pragma once

#include "ExactReport.h"
#include "Matrix.h"
#include "WrittenValues.h"

#include <flint/fmpq_mat.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lse::exact {

// A x = b in exact rational arithmetic: a unique solution, verified by A x = b before it is
// handed out, or, without one, the ranks of A and [A | b] with a certificate of no solution or
// the general solution, each verified the same way.
class ExactSolution {
public:
    // The system as the methods got it: each double of A(1..n, 1..n) and b(1..n) taken as the
    // binary fraction it is. std::invalid_argument for an entry that is not finite;
    // std::logic_error if an answer fails its check (a fault in the arithmetic library, never
    // expected).
    static ExactSolution solve(const Matrix& A, const Vector& b, int n,
                               ExactDetail detail = ExactDetail::shown);

    ExactSolution(ExactSolution&&) noexcept;
    ExactSolution& operator=(ExactSolution&&) noexcept;
    ~ExactSolution();

    ExactStatus status() const;
    const ExactAnswer& answer() const;
    std::vector<ExactComponent> components() const { return answer().components; }
    // Each component as p/q in lowest terms ("p" when q is 1), however long.
    std::vector<std::string> fractions() const;
    // The error of a method's solution x̂(1..n); only for a solved system.
    MethodError judge(const Vector& xhat) const;
    // The error of another exact solution of the same order, both solved: its nearest doubles
    // in ulps from these, and its correct digits.
    MethodError judge(const ExactSolution& other) const;

    struct State;
    explicit ExactSolution(std::unique_ptr<State> state);

private:
    std::unique_ptr<State> state_;
};

// The system as written: each written decimal and fraction its own value, each other number
// its double's, and b the written A's row sums where it was made so. Each row is scaled to
// whole numbers by the least common multiple of its denominators, so that a system of
// decimals of d places costs what the same system times 10^d does. nullopt where every
// written value is its double, and where some written value is beyond what the exact
// arithmetic holds (counted in *notHeld when given): its double would make another system.
std::optional<ExactSolution> solveAsWritten(const Matrix& A, const Vector& b, int n,
                                            const WrittenValues& written,
                                            ExactDetail detail = ExactDetail::shown,
                                            WrittenNotHeld* notHeld = nullptr);

// [A | b] (n x (n + 1)) as written: each written decimal and fraction its own value, each other
// number its double's, b the written row sums where it was made so; the written values it could
// not hold are returned, and stand as their doubles. std::invalid_argument for an entry that
// is not finite.
WrittenNotHeld setWrittenSystem(fmpq_mat_t system, const Matrix& A, const Vector& b, int n,
                                const WrittenValues& written);

// The exact answers of the system as written and, where the written values differ from the
// doubles, of the doubles, with the input's rounding and each method's error told apart.
// std::invalid_argument also for a written text that is not a number.
// Where some written value is not held, only the doubles' system is solved, and the report
// says which values kept the written one from being solved (ExactReport::notHeld).
ExactReport solveAndJudge(const Matrix& A, const Vector& b, int n,
                          const std::vector<Vector>& methodSolutions,
                          const WrittenValues& written = {},
                          ExactDetail detail = ExactDetail::shown);

} // namespace lse::exact
