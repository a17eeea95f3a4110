#include "ExactSolution.h"

#include "Digits.h"
#include "Rational.h"

#include <flint/fmpq_mat.h>
#include <flint/fmpz_mat.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace lse::exact {

namespace {

// An fmpz_mat_t that clears itself.
struct IntegerMatrix {
    fmpz_mat_t value;
    IntegerMatrix(slong rows, slong cols) { fmpz_mat_init(value, rows, cols); }
    IntegerMatrix(const IntegerMatrix&) = delete;
    IntegerMatrix& operator=(const IntegerMatrix&) = delete;
    ~IntegerMatrix() { fmpz_mat_clear(value); }
};

// Each row of [A | b] times the power of two that makes its entries integers with no common
// factor of two: the solution is the same, and FLINT's integer solvers need no denominators.
void setIntegralSystem(fmpz_mat_t M, fmpz_mat_t B, const Matrix& A, const Vector& b, int n) {
    std::vector<BinaryFraction> row(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) {
        int lowest = std::numeric_limits<int>::max();
        for (int j = 1; j <= n + 1; ++j) {
            const double value = j <= n ? A(i, j) : b(i);
            if (!std::isfinite(value))
                throw std::invalid_argument("the system holds a number that is not finite");
            BinaryFraction& entry = row[static_cast<std::size_t>(j - 1)];
            entry = binaryFraction(value);
            if (entry.mantissa != 0)
                lowest = std::min(lowest, entry.exponent);
        }
        for (int j = 1; j <= n + 1; ++j) {
            const BinaryFraction& entry = row[static_cast<std::size_t>(j - 1)];
            fmpz* target = j <= n ? fmpz_mat_entry(M, i - 1, j - 1) : fmpz_mat_entry(B, i - 1, 0);
            setInteger(target, entry.mantissa);
            if (entry.mantissa != 0)
                fmpz_mul_2exp(target, target, static_cast<ulong>(entry.exponent - lowest));
        }
    }
}

// A X = B exactly, checked as A * num = B * den with X = num / den: a second computation,
// independent of the solver's own.
bool satisfies(const fmpz_mat_t A, const fmpz_mat_t B, const fmpq_mat_t X) {
    const slong n = fmpz_mat_nrows(A);
    IntegerMatrix numerators(n, 1), left(n, 1), right(n, 1);
    fmpz_t denominator;
    fmpz_init(denominator);
    fmpq_mat_get_fmpz_mat_matwise(numerators.value, denominator, X);
    fmpz_mat_mul(left.value, A, numerators.value);
    fmpz_mat_scalar_mul_fmpz(right.value, B, denominator);
    fmpz_clear(denominator);
    return fmpz_mat_equal(left.value, right.value) != 0;
}

ExactComponent describe(const fmpq_t value) {
    ExactComponent component;
    if (std::optional<std::string> fraction = fractionText(value)) {
        component.isFraction = true;
        component.text = std::move(*fraction);
    } else {
        component.text = decimalText(value);
    }
    component.nearest = nearestDouble(value);
    return component;
}

} // namespace

struct ExactSolution::State {
    int n;
    ExactStatus status = ExactStatus::noUniqueSolution;
    fmpq_mat_t x;
    std::vector<ExactComponent> components;

    explicit State(int order) : n(order) { fmpq_mat_init(x, order, 1); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() { fmpq_mat_clear(x); }
};

ExactSolution::ExactSolution(std::unique_ptr<State> state) : state_(std::move(state)) {}
ExactSolution::ExactSolution(ExactSolution&&) noexcept = default;
ExactSolution& ExactSolution::operator=(ExactSolution&&) noexcept = default;
ExactSolution::~ExactSolution() = default;

ExactSolution ExactSolution::solve(const Matrix& A, const Vector& b, int n) {
    auto state = std::make_unique<State>(n);
    IntegerMatrix M(n, n), B(n, 1);
    setIntegralSystem(M.value, B.value, A, b, n);
    // FLINT picks the method: fraction-free elimination for small orders, Dixon's p-adic
    // lifting above. Either proves a singular matrix singular.
    if (!fmpq_mat_solve_fmpz_mat(state->x, M.value, B.value))
        return ExactSolution(std::move(state));
    if (!satisfies(M.value, B.value, state->x))
        throw std::logic_error("the exact solution failed its check A x = b");
    state->status = ExactStatus::solved;
    for (slong i = 0; i < n; ++i)
        state->components.push_back(describe(fmpq_mat_entry(state->x, i, 0)));
    return ExactSolution(std::move(state));
}

ExactStatus ExactSolution::status() const {
    return state_->status;
}

std::vector<ExactComponent> ExactSolution::components() const {
    return state_->components;
}

std::vector<std::string> ExactSolution::fractions() const {
    std::vector<std::string> texts;
    if (state_->status == ExactStatus::solved)
        for (int i = 0; i < state_->n; ++i)
            texts.push_back(
                *fractionText(fmpq_mat_entry(state_->x, i, 0), std::numeric_limits<int>::max()));
    return texts;
}

MethodError ExactSolution::judge(const Vector& xhat) const {
    if (state_->status != ExactStatus::solved)
        throw std::logic_error("judging against a system with no unique solution");
    MethodError error;
    error.largestUlps = 0;
    Rational difference, largestDifference, magnitude, largestMagnitude, methodValue;
    bool finite = true;
    for (int i = 1; i <= state_->n; ++i) {
        const fmpq* exactValue = fmpq_mat_entry(state_->x, i - 1, 0);
        const std::optional<double>& nearest =
            state_->components[static_cast<std::size_t>(i - 1)].nearest;
        std::optional<std::uint64_t> ulps;
        if (nearest)
            ulps = doublesBetween(xhat(i), *nearest);
        error.ulps.push_back(ulps);
        if (!ulps)
            error.largestUlps.reset();
        else if (error.largestUlps)
            error.largestUlps = std::max(*error.largestUlps, *ulps);

        fmpq_abs(magnitude.value, exactValue);
        if (fmpq_cmp(magnitude.value, largestMagnitude.value) > 0)
            fmpq_set(largestMagnitude.value, magnitude.value);
        if (!std::isfinite(xhat(i))) {
            finite = false;
            continue;
        }
        setExact(methodValue.value, xhat(i));
        fmpq_sub(difference.value, exactValue, methodValue.value);
        fmpq_abs(difference.value, difference.value);
        if (fmpq_cmp(difference.value, largestDifference.value) > 0)
            fmpq_set(largestDifference.value, difference.value);
    }
    double relative = std::numeric_limits<double>::infinity();
    if (finite && fmpq_is_zero(largestDifference.value)) {
        relative = 0;
    } else if (finite && !fmpq_is_zero(largestMagnitude.value)) {
        fmpq_div(difference.value, largestDifference.value, largestMagnitude.value);
        relative = doubleAbove(difference.value);
    }
    error.correctDigits = significantDigits(relative);
    return error;
}

ExactReport solveAndJudge(const Matrix& A, const Vector& b, int n,
                          const std::vector<Vector>& methodSolutions) {
    const ExactSolution solution = ExactSolution::solve(A, b, n);
    ExactReport report;
    report.status = solution.status();
    if (report.status != ExactStatus::solved)
        return report;
    report.components = solution.components();
    for (const Vector& xhat : methodSolutions)
        report.errors.push_back(solution.judge(xhat));
    return report;
}

} // namespace lse::exact
