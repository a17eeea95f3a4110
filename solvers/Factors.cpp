#include "Factors.h"

#include "FixedSums.h"

#include <utility>

namespace lse {

// The steps of the elimination are E_k P_k (P_k exchanges rows k and p(k), E_k subtracts the
// multiples of row k), so A^-1 = U^-1 E_(n-1) P_(n-1) ... E_1 P_1: the elimination replayed on
// v, then back substitution. Each multiplier stays where its step left it, below the
// diagonal of W, and later exchanges do not move it, so replaying the steps in their order
// finds each at its place.
bool GaussFactors::solve(std::vector<double>& v) const {
    const int n = n_;
    // Solve L y = P b, the elimination's steps in turn.
    for (int k = 1; k <= n - 1; ++k) {
        std::swap(v[k], v[pivotRows_[k]]);
        const double vk = v[k];
        for (int i = k + 1; i <= n; ++i)
            v[i] = v[i] - multiplier(i, k) * vk;
    }
    // Solve U x = y, row by row.
    for (int i = n; i >= 1; --i) {
        const double* const row = W_.row(i);
        v[i] = (v[i] - fixed::dot(n - i, row + i + 1, v.data() + i + 1)) / row[i];
    }
    return fixed::allFinite(n, v.data() + 1);
}

// A^-T = P_1 E_1^T ... P_(n-1) E_(n-1)^T U^-T.
bool GaussFactors::solveTransposed(std::vector<double>& v) const {
    const int n = n_;
    // Solve U^T y = b, a row of U at a time.
    for (int j = 1; j <= n; ++j) {
        const double* const row = W_.row(j);
        v[j] = v[j] / row[j];
        fixed::subtractMultiple(n - j, v[j], row + j + 1, v.data() + j + 1);
    }
    // Solve L^T P x = y, the steps backwards: each takes the multipliers of its column.
    for (int k = n - 1; k >= 1; --k) {
        double s[fixed::kLanes] = {};
        int i = k + 1;
        for (; i + fixed::kLanes <= n + 1; i += fixed::kLanes)
            for (int l = 0; l < fixed::kLanes; ++l)
                s[l] = s[l] + multiplier(i + l, k) * v[i + l];
        for (int l = 0; i + l <= n; ++l)
            s[l] = s[l] + multiplier(i + l, k) * v[i + l];
        v[k] = v[k] - fixed::combine(s);
        std::swap(v[k], v[pivotRows_[k]]);
    }
    return fixed::allFinite(n, v.data() + 1);
}

bool CholeskyFactors::solve(std::vector<double>& v) const {
    const int n = n_;
    // Solve L y = b, row by row.
    for (int i = 1; i <= n; ++i)
        v[i] = (v[i] - fixed::dot(i - 1, W_.row(i) + 1, v.data() + 1)) / diag_(i);
    // Solve L^T x = y, a row of L at a time, from the last.
    for (int i = n; i >= 1; --i) {
        v[i] = v[i] / diag_(i);
        fixed::subtractMultiple(i - 1, v[i], W_.row(i) + 1, v.data() + 1);
    }
    return fixed::allFinite(n, v.data() + 1);
}

} // namespace lse
