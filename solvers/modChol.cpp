#include "modChol.h"

#include "CheckedArithmetic.h"
#include "Limits.h"
#include "NumberText.h"

#include <stdexcept>

namespace lse {

bool modChol::cholDecompose(Matrix& W, std::int16_t n, Platform& platform) {
    // An order that cannot describe a system leaves an empty state, so that a following
    // solve writes nothing.
    const bool orderValid = n >= 0 && n <= kMaxOrder;
    cholInit(orderValid ? n : 0);
    if (orderValid && decompose(W, n))
        return true;
    platform.messageBox(failureText, MessageStyle::OkOnly);
    return false;
}

bool modChol::decompose(Matrix& W, int n) {
    try {
        // The columns below read only the upper triangle; a matrix whose lower triangle
        // differs would be decomposed as some other, symmetric, matrix.
        for (int i = 1; i <= n; ++i)
            for (int j = i + 1; j <= n; ++j)
                if (W(j, i) != W(i, j))
                    return false;

        for (int i = 1; i <= n; ++i) {
            for (int j = i; j <= n; ++j) {
                double sum = W(i, j);
                for (int k = i - 1; k >= 1; --k)
                    sum = checked(sum - checked(W(i, k) * W(j, k)));
                if (i == j) {
                    // A zero pivot is singular, so not positive definite either.
                    if (!(sum > 0))
                        return false;
                    diag_(i) = checked(power(sum, 0.5));
                } else {
                    W(j, i) = sum / diag_(i);
                    checked(W(j, i));
                }
            }
        }
        cholStoreFactor(W);
        return true;
    } catch (const ArithmeticError&) {
    } catch (const std::out_of_range&) {
    }
    return false;
}

void modChol::cholInit(std::int16_t n) {
    cholOrder_ = n;
    diag_.recreate(n);
    factor_.recreate(n, n);
}

void modChol::cholStoreFactor(const Matrix& W) {
    for (int i = 1; i <= cholOrder_; ++i)
        for (int j = 1; j <= cholOrder_; ++j)
            factor_(i, j) = W(i, j);
}

bool modChol::cholSolve(const Vector& b, Vector& x) const {
    const int m = cholOrder_;
    try {
        for (int i = 1; i <= m; ++i) {
            double sum = b(i);
            for (int k = i - 1; k >= 1; --k)
                sum = checked(sum - checked(x(k) * factor_(i, k)));
            x(i) = sum / diag_(i);
            checked(x(i));
        }
        for (int i = m; i >= 1; --i) {
            double sum = x(i);
            for (int k = i + 1; k <= m; ++k)
                sum = checked(sum - checked(x(k) * factor_(k, i)));
            x(i) = sum / diag_(i);
            checked(x(i));
        }
        return true;
    } catch (const ArithmeticError&) {
    } catch (const std::out_of_range&) {
    }
    return false;
}

} // namespace lse
