#pragma once

#include "Matrix.h"
#include "SolveOptions.h"

#include <cstdint>

namespace lse {

// How a Cholesky decomposition ended, in the manner of LAPACK's INFO.
enum class CholeskyStatus {
    decomposed,       // A = L * L^T; the solve may follow
    notSymmetric,     // A differs from its transpose
    pivotNotPositive, // the pivot of `column` is zero, negative or not a number
    arithmeticError,  // a step overflowed or was invalid
    orderNotServed,   // n is negative or above kMaxOrder, or W does not cover it
};

struct CholeskyOutcome {
    CholeskyStatus status = CholeskyStatus::decomposed;
    int column = 0; // the failing pivot's column, 1..n

    bool decomposed() const { return status == CholeskyStatus::decomposed; }
};

enum class CholeskySolveStatus {
    solved,          // x(1..cholOrder) holds the solution
    arithmeticError, // a step overflowed or divided by a zero pivot of a failed decomposition
    orderNotServed,  // b or x is shorter than cholOrder
};

// Cholesky decomposition A = L * L^T and the solve that uses it. The decomposition is also
// the test of the symmetric positive definite condition. Between the two steps the object
// keeps the order, the diagonal of L and a copy of the decomposed matrix.
class modChol {
public:
    // Decomposes W (a fresh copy of A) in place: L's strictly lower triangle goes into W's,
    // its diagonal into diag(); W's diagonal and upper triangle are only read. After a
    // failure the lower triangle of W is scratch and factor() is zero; an order that is not
    // served leaves an empty state.
    CholeskyOutcome cholDecompose(Matrix& W, std::int16_t n, const SolveOptions& options = {});

    // Solves L * y = b, then L^T * x = y, into x, from the last decomposition alone. After a
    // failure x keeps what was written up to there.
    CholeskySolveStatus cholSolve(const Vector& b, Vector& x) const;

    std::int16_t cholOrder() const { return cholOrder_; }
    const Vector& diag() const { return diag_; }
    const Matrix& factor() const { return factor_; }

private:
    void cholInit(std::int16_t n);
    void cholStoreFactor(const Matrix& W);
    CholeskyOutcome decompose(Matrix& W, int n, const SolveOptions& options);

    std::int16_t cholOrder_ = 0;
    Vector diag_;
    Matrix factor_;
};

} // namespace lse
