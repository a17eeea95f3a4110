#pragma once

#include "Matrix.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lse::exact {

enum class ExactStatus { solved, noUniqueSolution };

inline constexpr const char* kNoUniqueSolutionText = "The system has no unique solution.";

// One component of the exact solution, as it is shown.
struct ExactComponent {
    // True: `text` is the value itself, p/q in lowest terms ("3", "-7/2"). False: the fraction
    // is too long to read and `text` is the value rounded to 17 significant digits, shown
    // after "≈".
    bool isFraction = false;
    std::string text;
    // The double nearest to the value, ties to even, subnormals included; nullopt when that
    // lies beyond the largest double.
    std::optional<double> nearest;

    bool operator==(const ExactComponent&) const = default;
};

// How far one method's solution lies from the exact one.
struct MethodError {
    // Per component, in order: how many doubles lie between the method's value and the nearest
    // double to the exact value (0: the method found it); nullopt where the exact value is
    // beyond the doubles or the method's value is not a number.
    std::vector<std::optional<std::uint64_t>> ulps;
    // The largest of ulps; nullopt when any component has none.
    std::optional<std::uint64_t> largestUlps;
    // significantDigits(|x - x̂|∞ / |x|∞), the quotient from the exact x rounded up, so the
    // digits are never overstated.
    int correctDigits = 0;

    bool operator==(const MethodError&) const = default;
};

// The exact solution with the error of each method's solution that was judged against it.
struct ExactReport {
    ExactStatus status = ExactStatus::noUniqueSolution;
    std::vector<ExactComponent> components; // x1..xn; empty without a unique solution
    std::vector<MethodError> errors;        // one per judged solution, in order

    bool operator==(const ExactReport&) const = default;
};

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
