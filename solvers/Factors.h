#pragma once

#include "Matrix.h"

#include <array>
#include <cstddef>
#include <vector>

namespace lse {

// Products with A^-1 and A^-T from the factors a solve leaves, without changing them. v holds
// entries 1..n (entry 0 unused); each product returns false when a result is not finite.
// Two columns at once read the factors once, each column taking exactly the operations, in
// the same order, it takes alone; each gets its own answer.
using TwoColumns = std::array<std::vector<double>*, 2>;

// Gauss: W as the elimination leaves it (U on and above the diagonal, each multiplier's
// numerator below it, where the step that made it left it) and the pivot rows of the steps.
class GaussFactors {
public:
    GaussFactors(const Matrix& W, const std::vector<int>& pivotRows, int n)
        : W_(W), pivotRows_(pivotRows), n_(n) {}

    static constexpr bool kSymmetric = false; // whether A^-T = A^-1

    bool solve(std::vector<double>& v) const;           // v := A^-1 v
    bool solveTransposed(std::vector<double>& v) const; // v := A^-T v
    std::array<bool, 2> solve(const TwoColumns& v) const;
    std::array<bool, 2> solveTransposed(const TwoColumns& v) const;

private:
    template <std::size_t C> std::array<bool, C> solveColumns(std::array<double*, C> v) const;
    template <std::size_t C>
    std::array<bool, C> solveTransposedColumns(std::array<double*, C> v) const;

    // The multiplier of step k for the row then at i: the division the elimination made.
    double multiplier(int i, int k) const { return W_(i, k) / W_(k, k); }

    const Matrix& W_;
    const std::vector<int>& pivotRows_;
    int n_;
};

// Cholesky: L's strictly lower triangle in W, its diagonal apart. A^-1 is symmetric.
class CholeskyFactors {
public:
    CholeskyFactors(const Matrix& W, const Vector& diag, int n) : W_(W), diag_(diag), n_(n) {}

    static constexpr bool kSymmetric = true;

    bool solve(std::vector<double>& v) const; // v := A^-1 v = L^-T L^-1 v
    std::array<bool, 2> solve(const TwoColumns& v) const;
    // A^-T = A^-1.
    bool solveTransposed(std::vector<double>& v) const { return solve(v); }
    std::array<bool, 2> solveTransposed(const TwoColumns& v) const { return solve(v); }

private:
    template <std::size_t C> std::array<bool, C> solveColumns(std::array<double*, C> v) const;

    const Matrix& W_;
    const Vector& diag_;
    int n_;
};

} // namespace lse
