#include "ReferenceSolvers.h"

#include <cmath>
#include <utility>

namespace lse::reference {

namespace {

// Records whether every result so far was finite, the failure test of both solvers.
struct FiniteGuard {
    bool ok = true;
    double operator()(double value) {
        ok = ok && std::isfinite(value);
        return value;
    }
};

} // namespace

std::optional<std::vector<double>> gauss(Rows a, std::vector<double> b) {
    const std::size_t n = b.size();
    FiniteGuard keep;
    for (std::size_t i = 0; i < n; ++i)
        a[i].push_back(b[i]); // column n is the right-hand side

    for (std::size_t j = 0; j + 1 < n; ++j) {
        std::size_t pivotRow = j;
        for (std::size_t k = j + 1; k < n; ++k)
            if (std::fabs(a[k][j]) > std::fabs(a[pivotRow][j]))
                pivotRow = k;
        for (std::size_t c = j; c <= n; ++c)
            std::swap(a[j][c], a[pivotRow][c]);
        if (a[j][j] == 0)
            return std::nullopt;
        for (std::size_t i = j + 1; i < n; ++i) {
            const double f = keep(a[i][j] / a[j][j]);
            for (std::size_t c = j + 1; c <= n; ++c) {
                const double product = keep(f * a[j][c]);
                a[i][c] = keep(a[i][c] - product);
            }
        }
        if (!keep.ok)
            return std::nullopt;
    }

    std::vector<double> x(n);
    for (std::size_t h = n; h-- > 0;) {
        double s = 0;
        for (std::size_t l = h + 1; l < n; ++l) {
            const double product = keep(x[l] * a[h][l]);
            s = keep(product + s);
        }
        const double difference = keep(a[h][n] - s);
        x[h] = keep(difference / a[h][h]);
    }
    if (!keep.ok)
        return std::nullopt;
    return x;
}

CholeskyResult cholesky(const Rows& a, const std::vector<double>& b) {
    const std::size_t n = b.size();
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            if (a[i][j] != a[j][i])
                return {};

    FiniteGuard keep;
    Rows lower(n, std::vector<double>(n, 0.0)); // strictly below the diagonal
    std::vector<double> diagonal(n);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i; j < n; ++j) {
            double sum = a[i][j];
            for (std::size_t k = i; k-- > 0;) {
                const double product = keep(lower[i][k] * lower[j][k]);
                sum = keep(sum - product);
            }
            if (!keep.ok)
                return {};
            if (i == j) {
                if (!(sum > 0))
                    return {};
                diagonal[i] = keep(std::sqrt(sum)); // correctly rounded, unlike pow
            } else {
                lower[j][i] = keep(sum / diagonal[i]);
            }
        }
    }
    if (!keep.ok)
        return {};

    CholeskyResult result;
    result.decomposed = true;
    std::vector<double> y(n);
    for (std::size_t i = 0; i < n; ++i) {
        double sum = b[i];
        for (std::size_t k = i; k-- > 0;) {
            const double product = keep(y[k] * lower[i][k]);
            sum = keep(sum - product);
        }
        y[i] = keep(sum / diagonal[i]);
    }
    std::vector<double> x(n);
    for (std::size_t i = n; i-- > 0;) {
        double sum = y[i];
        for (std::size_t k = i + 1; k < n; ++k) {
            const double product = keep(x[k] * lower[k][i]);
            sum = keep(sum - product);
        }
        x[i] = keep(sum / diagonal[i]);
    }
    if (keep.ok)
        result.x = std::move(x);
    return result;
}

} // namespace lse::reference
