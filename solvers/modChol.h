#pragma once

#include "Matrix.h"
#include "Platform.h"

#include <cstdint>

namespace lse {

// Cholesky decomposition A = L * L^T and the solve that uses it. The decomposition is also
// the test of the symmetric positive definite condition. Between the two steps the object
// keeps the order, the diagonal of L and a copy of the decomposed matrix.
class modChol {
public:
    static constexpr const char* failureText = "Cholesky Decomposition Failed";

    // Decomposes W (a fresh copy of A) in place: L's strictly lower triangle goes into W's,
    // its diagonal into diag(). Returns false, after the "Cholesky Decomposition Failed"
    // message box, when A is not exactly symmetric, a pivot is not strictly positive, a step
    // overflows or the order is outside 0..kMaxOrder.
    bool cholDecompose(Matrix& W, std::int16_t n, Platform& platform);

    // Solves L * y = b, then L^T * x = y, into x, from the last decomposition alone. Returns
    // false, silently, when a step failed (a division by a zero pivot left by a failed
    // decomposition, an overflow, x or b too short); x keeps what was written up to there.
    bool cholSolve(const Vector& b, Vector& x) const;

    std::int16_t cholOrder() const { return cholOrder_; }
    const Vector& diag() const { return diag_; }
    const Matrix& factor() const { return factor_; }

private:
    void cholInit(std::int16_t n);
    void cholStoreFactor(const Matrix& W);
    bool decompose(Matrix& W, int n);

    std::int16_t cholOrder_ = 0;
    Vector diag_;
    Matrix factor_;
};

} // namespace lse
