#include "modGauss.h"

#include "CheckedArithmetic.h"
#include "Limits.h"

#include <cmath>
#include <stdexcept>
#include <utility>

namespace lse::modGauss {

namespace {

// Row j becomes the row of largest magnitude in column j at or below it; the earliest row
// wins a tie. Columns left of j are not exchanged.
void pivot(Matrix& W, int j, int n) {
    int p = j;
    double m = checked(std::fabs(W(j, j)));
    for (int k = j + 1; k <= n; ++k) {
        const double candidate = checked(std::fabs(W(k, j)));
        if (candidate > m) {
            m = candidate;
            p = k;
        }
    }
    if (p != j) {
        for (int c = j; c <= n + 1; ++c)
            std::swap(W(j, c), W(p, c));
    }
}

} // namespace

bool gaussSolve(Matrix& W, Vector& x, const Vector& b, std::int16_t n, Platform& platform) {
    if (n < 1)
        return false;
    // An order beyond the limit or arrays that do not cover it are refused before anything
    // changes.
    if (n > kMaxOrder || W.rowsUpper() < n || W.colsUpper() < n || b.upper() < n || x.upper() < n) {
        gaussError(platform);
        return false;
    }
    try {
        const int augmented = n + 1;
        W.widen(augmented);
        for (int i = 1; i <= n; ++i)
            W(i, augmented) = b(i);

        for (int j = 1; j <= n - 1; ++j) {
            pivot(W, j, n);
            if (!gaussEliminate(W, static_cast<std::int16_t>(j), n, platform))
                return false;
        }
        gaussBackSubstitute(W, n);

        for (int i = 1; i <= n; ++i)
            x(i) = W(i, augmented);
        return true;
    } catch (const ArithmeticError&) {
    } catch (const std::out_of_range&) {
    }
    gaussError(platform);
    return false;
}

bool gaussEliminate(Matrix& W, std::int16_t j, std::int16_t n, Platform& platform) {
    if (W(j, j) == 0) {
        gaussError(platform);
        return false;
    }
    for (int i = j + 1; i <= n; ++i) {
        const double f = checked(W(i, j) / W(j, j));
        for (int c = j + 1; c <= n + 1; ++c) {
            const double product = checked(f * W(j, c));
            W(i, c) = W(i, c) - product;
            checked(W(i, c));
        }
    }
    return true;
}

void gaussBackSubstitute(Matrix& W, std::int16_t n) {
    const int rhs = n + 1;
    W(n, rhs) = W(n, rhs) / W(n, n);
    checked(W(n, rhs));
    for (int h = n - 1; h >= 1; --h) {
        double s = 0;
        for (int l = h + 1; l <= n; ++l)
            s = checked(checked(W(l, rhs) * W(h, l)) + s);
        W(h, rhs) = checked(W(h, rhs) - s) / W(h, h);
        checked(W(h, rhs));
    }
}

void gaussError(Platform& platform) {
    platform.messageBox(errorText, MessageStyle::OkOnlyCritical, errorTitle);
}

} // namespace lse::modGauss
