#pragma once

#include "Matrix.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace lse {

// Products with A^-1 and A^-T from the factors a solve leaves, without changing them. v holds
// entries 1..n (entry 0 unused); each product returns false when a result is not finite.
// Two columns at once read the factors once, each column taking exactly the operations, in
// the same order, it takes alone; each gets its own answer.
using TwoColumns = std::array<std::vector<double>*, 2>;

// What of A the storage a method worked in still holds once it has made its factors.
enum class KeptOfA {
    all,           // the method worked on a copy: A is whole
    upperTriangle, // Cholesky reads A's lower triangle and leaves the upper one, all of a symmetric
                   // A
    nothing,       // the method overwrote all of A
};

// The factors written out, rows and columns 1..n: for showing and saving them.
struct FactorMatrices {
    // Gauss: P as the order of A's rows, row i of P A being row rowOrder[i] of A (1..n, entry
    // 0 unused), as the exchanges leave it. Empty for Cholesky.
    std::vector<int> rowOrder;
    Matrix L;                // Gauss: unit lower triangular, P A = L U; Cholesky: A = L L^T
    std::optional<Matrix> U; // Gauss only
};

// A method's factors as a value, in the manner of LAPACK's (A = P L U with IPIV, A = L L^T):
// what the accuracy figures and a check of the factorisation take, for any method. The n x n
// part is borrowed: the factors read W, the array the method worked in, which a second n x n
// array would double the memory of; they are valid while W is unchanged and alive. Everything
// else (pivots, a diagonal) they own.
class Factors {
public:
    virtual ~Factors() = default;

    virtual int order() const = 0;
    virtual bool symmetric() const = 0; // whether A^-T = A^-1
    // What of A the method left in the storage it worked in, were that A itself.
    virtual KeptOfA keptOfA() const = 0;

    virtual bool solve(std::vector<double>& v) const = 0;           // v := A^-1 v
    virtual bool solveTransposed(std::vector<double>& v) const = 0; // v := A^-T v
    virtual std::array<bool, 2> solve(const TwoColumns& v) const = 0;
    virtual std::array<bool, 2> solveTransposed(const TwoColumns& v) const = 0;

    // Row i of the matrix the factors multiply out to, into row(1..n), and the same product
    // of their magnitudes into magnitude(1..n), against which its rounding is measured.
    virtual void rebuildRow(int i, std::vector<double>& row,
                            std::vector<double>& magnitude) const = 0;
    // A multiplier or pivot fell below the normal doubles, so that the factors may multiply
    // out to another matrix than the one the method was given.
    virtual bool underflowed() const = 0;
    // max |U| / max |A|, the growth of the entries in the elimination (the reciprocal of
    // dgesvx's RPVGRW); none for a method whose entries cannot grow.
    virtual std::optional<double> pivotGrowth() const { return std::nullopt; }
    // Each factor as a matrix of its own (two n x n arrays for Gauss, one for Cholesky);
    // std::bad_alloc when they cannot be had.
    virtual FactorMatrices matrices() const = 0;
};

// Gauss: W as the elimination leaves it (U on and above the diagonal, each multiplier's
// numerator below it, where the step that made it left it), borrowed; the pivot rows of the
// steps and, up to a size, the multipliers divided once, owned.
class GaussFactors final : public Factors {
public:
    // Borrows W; largestOfA: max |A(i, j)|, taken before the elimination overwrote A.
    GaussFactors(const Matrix& W, std::vector<int> pivotRows, int n, double largestOfA);

    int order() const override { return n_; }
    bool symmetric() const override { return false; }
    KeptOfA keptOfA() const override { return KeptOfA::nothing; }

    bool solve(std::vector<double>& v) const override;
    bool solveTransposed(std::vector<double>& v) const override;
    std::array<bool, 2> solve(const TwoColumns& v) const override;
    std::array<bool, 2> solveTransposed(const TwoColumns& v) const override;

    void rebuildRow(int i, std::vector<double>& row, std::vector<double>& magnitude) const override;
    bool underflowed() const override { return underflowed_; }
    std::optional<double> pivotGrowth() const override { return growth_; }
    FactorMatrices matrices() const override;

private:
    template <std::size_t C> std::array<bool, C> solveColumns(std::array<double*, C> v) const;
    template <std::size_t C>
    std::array<bool, C> solveTransposedColumns(std::array<double*, C> v) const;

    // The multiplier of step k for the row then at i: the division the elimination made, kept
    // or made again.
    double multiplier(int i, int k) const {
        return multipliers_.empty() ? W_(i, k) / W_(k, k) : multipliers_[keptAt(i) + k - 1];
    }
    // Where row i's kept multipliers begin (step 1's).
    static std::size_t keptAt(int i) {
        return static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(i - 2) / 2;
    }
    void keepMultipliers();
    // Row i's multipliers of steps first .. first + width - 1: the kept ones, or made into
    // `made` from the steps' pivots; with the rows ahead asked for.
    const double* rowMultipliers(int i, int first, int width, const double* pivots,
                                 double* made) const;

    const Matrix& W_;
    // Each multiplier divided once, row by row below the diagonal (row i: steps 1..i-1), while
    // they take at most tuning::kGaussKeptMultipliersBytes; empty beyond, or without the
    // memory, when each solve divides again. The bits are the same either way. 16 MB at
    // n = 2000 had been a memset and 4096 faults of small pages before the first was written.
    ZeroedDoubles multipliers_;
    std::vector<int> pivotRows_;
    int n_;
    std::optional<double> growth_;
    bool underflowed_ = false;
};

// Cholesky: L's strictly lower triangle in W, borrowed, and its diagonal, kept apart by the
// decomposition and copied here, so that the method's state need not outlive the run. A^-1
// is symmetric.
class CholeskyFactors final : public Factors {
public:
    // Borrows W; copies diag(1..n).
    CholeskyFactors(const Matrix& W, const Vector& diag, int n);

    int order() const override { return n_; }
    bool symmetric() const override { return true; }
    KeptOfA keptOfA() const override { return KeptOfA::upperTriangle; }

    bool solve(std::vector<double>& v) const override; // v := A^-1 v = L^-T L^-1 v
    std::array<bool, 2> solve(const TwoColumns& v) const override;
    // A^-T = A^-1.
    bool solveTransposed(std::vector<double>& v) const override { return solve(v); }
    std::array<bool, 2> solveTransposed(const TwoColumns& v) const override { return solve(v); }

    void rebuildRow(int i, std::vector<double>& row, std::vector<double>& magnitude) const override;
    bool underflowed() const override { return underflowed_; }
    FactorMatrices matrices() const override;

private:
    template <std::size_t C> std::array<bool, C> solveColumns(std::array<double*, C> v) const;

    const Matrix& W_;
    Vector diag_;
    int n_;
    bool underflowed_ = false;
};

} // namespace lse
