#include "ConditionEstimate.h"

#include "FixedSums.h"

#include <cmath>

namespace lse {

namespace {

constexpr int kMaxIterations = 5; // dlacn2's ITMAX

double sumOfMagnitudes(const std::vector<double>& v) {
    return fixed::sumOfMagnitudes(static_cast<int>(v.size()) - 1, v.data() + 1);
}

// The first index of largest magnitude, as idamax.
int largestMagnitude(const std::vector<double>& v) {
    int j = 1;
    for (int i = 2; i < static_cast<int>(v.size()); ++i)
        if (std::fabs(v[i]) > std::fabs(v[j]))
            j = i;
    return j;
}

double signOf(double value) {
    return value >= 0 ? 1.0 : -1.0;
}

} // namespace

std::optional<double> estimateNorm1(int n, const Product& times, const Product& timesTransposed) {
    std::vector<double> x(static_cast<std::size_t>(n) + 1, 1.0 / n);
    x[0] = 0;
    std::vector<int> sign(static_cast<std::size_t>(n) + 1);

    // x := B (e / n).
    if (!times(x))
        return std::nullopt;
    if (n == 1)
        return std::fabs(x[1]);
    double estimate = sumOfMagnitudes(x);

    // x := B^T sign(x); the column to try next is where it is largest.
    for (int i = 1; i <= n; ++i) {
        x[i] = signOf(x[i]);
        sign[i] = static_cast<int>(x[i]);
    }
    if (!timesTransposed(x))
        return std::nullopt;
    int j = largestMagnitude(x);

    for (int iteration = 2;; ++iteration) {
        // x := B e_j.
        std::fill(x.begin(), x.end(), 0.0);
        x[j] = 1;
        if (!times(x))
            return std::nullopt;
        const double previous = estimate;
        estimate = sumOfMagnitudes(x);

        // A repeated sign vector: converged. An estimate that did not grow: cycling.
        bool signChanged = false;
        for (int i = 1; i <= n && !signChanged; ++i)
            signChanged = static_cast<int>(signOf(x[i])) != sign[i];
        if (!signChanged || estimate <= previous)
            break;

        // x := B^T sign(x); go on while the largest entry moves and iterations remain.
        for (int i = 1; i <= n; ++i) {
            x[i] = signOf(x[i]);
            sign[i] = static_cast<int>(x[i]);
        }
        if (!timesTransposed(x))
            return std::nullopt;
        const int last = j;
        j = largestMagnitude(x);
        if (!(x[last] != std::fabs(x[j]) && iteration < kMaxIterations))
            break;
    }

    // An alternating test vector guards against the matrices that fool the iteration.
    double alternating = 1;
    for (int i = 1; i <= n; ++i) {
        x[i] = alternating * (1.0 + static_cast<double>(i - 1) / static_cast<double>(n - 1));
        alternating = -alternating;
    }
    if (!times(x))
        return std::nullopt;
    const double tried = 2.0 * (sumOfMagnitudes(x) / static_cast<double>(3 * n));
    return tried > estimate ? tried : estimate;
}

} // namespace lse
