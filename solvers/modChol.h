#pragma once

#include "Matrix.h"
#include "SolveOptions.h"

#include <cstdint>

namespace lse {

class StepObserver;

// How a Cholesky decomposition ended, in the manner of LAPACK's INFO.
enum class CholeskyStatus {
    decomposed,       // A = L * L^T; the solve may follow
    notSymmetric,     // A differs from its transpose
    pivotNotPositive, // the pivot of `column` is zero, negative or not a number
    arithmeticError,  // a step overflowed or was invalid
    orderNotServed,   // n is negative or above kMaxOrder, or W does not cover it
    cancelled,        // the caller asked it to stop (SolveOptions::cancel)
};

struct CholeskyOutcome {
    CholeskyStatus status = CholeskyStatus::decomposed;
    int column = 0; // the failing pivot's column, 1..n

    bool decomposed() const { return status == CholeskyStatus::decomposed; }
};

enum class CholeskySolveStatus {
    solved,          // x(1..cholOrder) holds the solution
    arithmeticError, // a step overflowed or divided by a zero pivot of a failed decomposition
    orderNotServed,  // b, x or the factor's W is shorter than cholOrder
};

// Cholesky decomposition A = L * L^T and the solve that uses it. The decomposition is also
// the test of the symmetric positive definite condition. Between the two steps the object
// keeps the order and the diagonal of L; L itself stays where it was made, in the caller's W,
// which the solve reads, so that no third n x n array is needed.
class modChol {
public:
    // Decomposes W (a fresh copy of A) in place: L's strictly lower triangle goes into W's,
    // its diagonal into diag(); W's diagonal and upper triangle are only read. W then serves
    // as the factor until it is changed. After a failure or a cancel the lower triangle of W
    // is scratch and the factor is taken as zero (factor() is null); an order that is not
    // served leaves an empty state.
    CholeskyOutcome cholDecompose(Matrix& W, std::int16_t n, const SolveOptions& options = {});

    // Solves L * y = b, then L^T * x = y, into x, from the last decomposition; the W it
    // decomposed must still hold L, unchanged. After a failure x keeps what was written up to
    // there. `steps`, when given, sees each value as it is found.
    CholeskySolveStatus cholSolve(const Vector& b, Vector& x, StepObserver* steps = nullptr) const;

    std::int16_t cholOrder() const { return cholOrder_; }
    const Vector& diag() const { return diag_; }
    // The W that holds L below its diagonal, or null when the last decomposition failed.
    const Matrix* factor() const { return factor_; }

private:
    void cholInit(std::int16_t n);
    CholeskyOutcome decompose(Matrix& W, int n, const SolveOptions& options);
    // The two substitutions, with entry(i, k) = L(i, k) for k < i.
    template <typename Entry>
    CholeskySolveStatus substitute(int m, Entry entry, const Vector& b, Vector& x,
                                   StepObserver* steps) const;

    std::int16_t cholOrder_ = 0;
    Vector diag_;
    const Matrix* factor_ = nullptr;
};

} // namespace lse
