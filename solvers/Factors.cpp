#include "Factors.h"

#include "FixedSums.h"
#include "kernels/Tuning.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <new>
#include <utility>

namespace lse {

namespace {

using tuning::kReplayBlock;
using tuning::kReplayRowsAhead;

void prefetchRow(const Matrix& W, int i, int n, int first, int width) {
    if (i + kReplayRowsAhead <= n)
        for (int t = 0; t < width; t += 8)
            __builtin_prefetch(W.row(i + kReplayRowsAhead) + first + t);
}

// The rows at or below `end` that the exchanges of steps [first, end) reach, ascending and
// each once, marked in `marked`.
std::vector<int> reached(const std::vector<int>& pivotRows, int first, int end,
                         std::vector<char>& marked) {
    std::vector<int> rows;
    for (int k = first; k < end; ++k) {
        const int p = pivotRows[static_cast<std::size_t>(k)];
        if (p >= end && !marked[static_cast<std::size_t>(p)]) {
            marked[static_cast<std::size_t>(p)] = 1;
            rows.push_back(p);
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void unmark(const std::vector<int>& rows, std::vector<char>& marked) {
    for (const int row : rows)
        marked[static_cast<std::size_t>(row)] = 0;
}

template <std::size_t C> std::array<bool, C> finite(const std::array<double*, C>& v, int n) {
    std::array<bool, C> out;
    for (std::size_t c = 0; c < C; ++c)
        out[c] = fixed::allFinite(n, v[c] + 1);
    return out;
}

template <std::size_t C> std::array<const double*, C> constant(const std::array<double*, C>& v) {
    std::array<const double*, C> out;
    for (std::size_t c = 0; c < C; ++c)
        out[c] = v[c];
    return out;
}

template <std::size_t C> std::array<double*, C> offset(const std::array<double*, C>& v, int by) {
    std::array<double*, C> out;
    for (std::size_t c = 0; c < C; ++c)
        out[c] = v[c] + by;
    return out;
}

std::array<double*, 1> columns(std::vector<double>& v) {
    return {v.data()};
}

std::array<double*, 2> columns(const TwoColumns& v) {
    return {v[0]->data(), v[1]->data()};
}

} // namespace

GaussFactors::GaussFactors(const Matrix& W, std::vector<int> pivotRows, int n, double largestOfA)
    : W_(W), pivotRows_(std::move(pivotRows)), n_(n) {
    // A multiplier below the normal doubles has lost bits, or all of them, and what it
    // multiplies may be large: then L U is no longer A to working precision. Row by row, each
    // numerator against its pivot's threshold.
    std::vector<double> threshold(static_cast<std::size_t>(std::max(n, 0)) + 1);
    for (int k = 1; k <= n; ++k) {
        const double pivot = std::fabs(W(k, k));
        underflowed_ = underflowed_ || pivot < DBL_MIN;
        threshold[static_cast<std::size_t>(k)] = DBL_MIN * pivot;
    }
    // Branch-free, with four running maxima, so that the pass runs at the speed of memory.
    int small = 0;
    double m[4] = {};
    for (int i = 1; i <= n; ++i) {
        const double* const row = W.row(i);
        const double* const limit = threshold.data();
        for (int k = 1; k < i; ++k)
            small |= static_cast<int>(row[k] != 0) & static_cast<int>(std::fabs(row[k]) < limit[k]);
        int j = i;
        for (; j + 4 <= n + 1; j += 4)
            for (int l = 0; l < 4; ++l)
                m[l] = std::max(m[l], std::fabs(row[j + l]));
        for (; j <= n; ++j)
            m[0] = std::max(m[0], std::fabs(row[j]));
    }
    underflowed_ = underflowed_ || small != 0;
    keepMultipliers();
    const double largestOfU = std::max(std::max(m[0], m[1]), std::max(m[2], m[3]));
    if (largestOfA > 0 && std::isfinite(largestOfA)) {
        const double growth = largestOfU / largestOfA;
        if (std::isfinite(growth))
            growth_ = growth;
    }
}

void GaussFactors::keepMultipliers() {
    const int n = n_;
    const std::size_t count = n >= 2 ? keptAt(n + 1) : 0;
    if (count == 0 || count * sizeof(double) > tuning::kGaussKeptMultipliersBytes)
        return;
    try {
        multipliers_.resize(count);
    } catch (const std::bad_alloc&) {
        return;
    }
    std::vector<double> pivots(static_cast<std::size_t>(n) + 1);
    for (int k = 1; k <= n; ++k)
        pivots[static_cast<std::size_t>(k)] = W_(k, k);
    for (int i = 2; i <= n; ++i) {
        const double* const numerators = W_.row(i);
        const std::size_t at = keptAt(i) - 1;
        for (int k = 1; k < i; ++k)
            multipliers_[at + static_cast<std::size_t>(k)] =
                numerators[k] / pivots[static_cast<std::size_t>(k)];
    }
}

const double* GaussFactors::rowMultipliers(int i, int first, int width, const double* pivots,
                                           double* made) const {
    const int ahead = i + kReplayRowsAhead;
    if (!multipliers_.empty()) {
        if (ahead <= n_)
            for (int t = 0; t < width; t += 8)
                __builtin_prefetch(multipliers_.data() + keptAt(ahead) + (first - 1) + t);
        return multipliers_.data() + keptAt(i) + (first - 1);
    }
    prefetchRow(W_, i, n_, first, width);
    const double* const numerators = W_.row(i) + first;
    int t = 0;
    for (; t + 2 <= width; t += 2)
        fixed::store(made + t, fixed::load(numerators + t) / fixed::load(pivots + t));
    if (t < width)
        made[t] = numerators[t] / pivots[t];
    return made;
}

// Row i of A = P_1 E_1^-1 ... P_(n-1) E_(n-1)^-1 U: e_i^T taken through the steps in their
// order, then times U.
void GaussFactors::rebuildRow(int i, std::vector<double>& row,
                              std::vector<double>& magnitude) const {
    const int n = n_;
    std::vector<double> r(static_cast<std::size_t>(n) + 1);
    std::vector<double> rm(static_cast<std::size_t>(n) + 1);
    r[static_cast<std::size_t>(i)] = 1;
    rm[static_cast<std::size_t>(i)] = 1;
    for (int k = 1; k < n; ++k) {
        const auto p = static_cast<std::size_t>(pivotRows_[static_cast<std::size_t>(k)]);
        std::swap(r[static_cast<std::size_t>(k)], r[p]);
        std::swap(rm[static_cast<std::size_t>(k)], rm[p]);
        for (int j = k + 1; j <= n; ++j) {
            const double m = multiplier(j, k);
            r[static_cast<std::size_t>(k)] += r[static_cast<std::size_t>(j)] * m;
            rm[static_cast<std::size_t>(k)] += rm[static_cast<std::size_t>(j)] * std::fabs(m);
        }
    }
    row.assign(static_cast<std::size_t>(n) + 1, 0.0);
    magnitude.assign(static_cast<std::size_t>(n) + 1, 0.0);
    for (int k = 1; k <= n; ++k)
        for (int j = k; j <= n; ++j) {
            row[static_cast<std::size_t>(j)] += r[static_cast<std::size_t>(k)] * W_(k, j);
            magnitude[static_cast<std::size_t>(j)] +=
                rm[static_cast<std::size_t>(k)] * std::fabs(W_(k, j));
        }
}

FactorMatrices GaussFactors::matrices() const {
    const int n = n_;
    FactorMatrices f;
    f.rowOrder.resize(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i)
        f.rowOrder[static_cast<std::size_t>(i)] = i;
    f.L.recreate(n, n);
    f.U.emplace().recreate(n, n);
    for (int i = 1; i <= n; ++i) {
        for (int k = 1; k < i; ++k)
            f.L(i, k) = multiplier(i, k);
        f.L(i, i) = 1;
        for (int k = i; k <= n; ++k)
            (*f.U)(i, k) = W_(i, k);
    }
    // Each multiplier stays in the row where its step left it; in P A = L U it moves with the
    // exchanges that come after, as LAPACK's rows move whole.
    for (int j = 1; j < n; ++j) {
        const int p = pivotRows_[static_cast<std::size_t>(j)];
        std::swap(f.rowOrder[static_cast<std::size_t>(j)], f.rowOrder[static_cast<std::size_t>(p)]);
        std::swap_ranges(f.L.row(j) + 1, f.L.row(j) + j, f.L.row(p) + 1);
    }
    return f;
}

CholeskyFactors::CholeskyFactors(const Matrix& W, const Vector& diag, int n)
    : W_(W), diag_(diag), n_(n) {
    for (int i = 1; i <= n; ++i)
        underflowed_ = underflowed_ || diag(i) < DBL_MIN;
}

FactorMatrices CholeskyFactors::matrices() const {
    FactorMatrices f;
    f.L.recreate(n_, n_);
    for (int i = 1; i <= n_; ++i) {
        for (int k = 1; k < i; ++k)
            f.L(i, k) = W_(i, k);
        f.L(i, i) = diag_(i);
    }
    return f;
}

void CholeskyFactors::rebuildRow(int i, std::vector<double>& row,
                                 std::vector<double>& magnitude) const {
    const int n = n_;
    const auto l = [this](int r, int c) { return r == c ? diag_(r) : W_(r, c); };
    row.assign(static_cast<std::size_t>(n) + 1, 0.0);
    magnitude.assign(static_cast<std::size_t>(n) + 1, 0.0);
    for (int j = 1; j <= n; ++j)
        for (int k = 1; k <= std::min(i, j); ++k) {
            const double product = l(i, k) * l(j, k);
            row[static_cast<std::size_t>(j)] += product;
            magnitude[static_cast<std::size_t>(j)] += std::fabs(product);
        }
}

// The steps of the elimination are E_k P_k (P_k exchanges rows k and p(k), E_k subtracts the
// multiples of row k), so A^-1 = U^-1 E_(n-1) P_(n-1) ... E_1 P_1: the elimination replayed on
// v, then back substitution. Each multiplier stays where its step left it, below the
// diagonal of W, and later exchanges do not move it, so replaying the steps in their order
// finds each at its place.
template <std::size_t C>
std::array<bool, C> GaussFactors::solveColumns(std::array<double*, C> v) const {
    const int n = n_;
    std::vector<char> marked(static_cast<std::size_t>(n) + 1);
    // Solve L y = P b, a block of steps at a time. Each entry takes the same subtractions in the
    // same order as in the literal replay: first the block's own rows and the rows its
    // exchanges reach, step by step; then every other row below, which no exchange of the
    // block touches, takes the block's steps in turn.
    for (int first = 1; first <= n - 1; first += kReplayBlock) {
        const int end = std::min(first + kReplayBlock, n);
        const std::vector<int> exchanged = reached(pivotRows_, first, end, marked);
        for (int k = first; k < end; ++k) {
            const int p = pivotRows_[static_cast<std::size_t>(k)];
            for (double* const column : v)
                std::swap(column[k], column[p]);
            const auto eliminate = [&](int i) {
                const double m = multiplier(i, k);
                for (double* const column : v)
                    column[i] = column[i] - m * column[k];
            };
            for (int i = k + 1; i < end; ++i)
                eliminate(i);
            for (const int i : exchanged)
                eliminate(i);
        }
        const int width = end - first;
        double pivots[kReplayBlock + 1] = {};
        double made[kReplayBlock + 1];
        for (int t = 0; t < width; ++t)
            pivots[t] = W_(first + t, first + t);
        for (int i = end; i <= n; ++i) {
            if (marked[static_cast<std::size_t>(i)])
                continue;
            // One row of multipliers serves every column.
            const double* const m = rowMultipliers(i, first, width, pivots, made);
            double vi[C];
            for (std::size_t c = 0; c < C; ++c)
                vi[c] = v[c][i];
            for (int t = 0; t < width; ++t)
                for (std::size_t c = 0; c < C; ++c)
                    vi[c] = vi[c] - m[t] * v[c][first + t];
            for (std::size_t c = 0; c < C; ++c)
                v[c][i] = vi[c];
        }
        unmark(exchanged, marked);
    }
    // Solve U x = y, row by row.
    for (int i = n; i >= 1; --i) {
        const double* const row = W_.row(i);
        const std::array<double, C> sums =
            fixed::dots<C>(n - i, row + i + 1, constant(offset(v, i + 1)));
        for (std::size_t c = 0; c < C; ++c)
            v[c][i] = (v[c][i] - sums[c]) / row[i];
    }
    return finite(v, n);
}

// A^-T = P_1 E_1^T ... P_(n-1) E_(n-1)^T U^-T.
template <std::size_t C>
std::array<bool, C> GaussFactors::solveTransposedColumns(std::array<double*, C> v) const {
    const int n = n_;
    // Solve U^T y = b, a row of U at a time.
    for (int j = 1; j <= n; ++j) {
        const double* const row = W_.row(j);
        std::array<double, C> taken;
        for (std::size_t c = 0; c < C; ++c)
            taken[c] = v[c][j] = v[c][j] / row[j];
        fixed::subtractMultiples<C>(n - j, taken, row + j + 1, offset(v, j + 1));
    }
    // Solve L^T P x = y, the steps backwards, a block at a time. Step k subtracts the sum of
    // m(i, k) v(i) over the rows below it: over the rows below the block that its exchanges do
    // not reach (which keep their values through the block) in eight partial sums by row,
    // gathered for all the block's steps in one pass along the rows; then over its own rows
    // and the rows its exchanges reach, one by one, ascending, with their values of the
    // moment.
    std::vector<char> marked(static_cast<std::size_t>(n) + 1);
    const int blocks = n >= 2 ? (n - 2) / kReplayBlock + 1 : 0;
    for (int block = blocks - 1; block >= 0; --block) {
        const int first = 1 + block * kReplayBlock;
        const int end = std::min(first + kReplayBlock, n);
        const int width = end - first;
        const std::vector<int> exchanged = reached(pivotRows_, first, end, marked);
        double pivots[kReplayBlock + 1] = {};
        double made[kReplayBlock + 1];
        for (int t = 0; t < width; ++t)
            pivots[t] = W_(first + t, first + t);
        // sums[c][lane][t]: column c's partial sum for step first + t over the rows i with
        // i - end = lane mod 8.
        alignas(16) double sums[C][fixed::kLanes][kReplayBlock] = {};
        for (int i = end; i <= n; ++i) {
            if (marked[static_cast<std::size_t>(i)])
                continue;
            const double* const m = rowMultipliers(i, first, width, pivots, made);
            const int lane = (i - end) % fixed::kLanes;
            int t = 0;
            for (; t + 2 <= width; t += 2) {
                const fixed::Pair pair = fixed::load(m + t);
                for (std::size_t c = 0; c < C; ++c) {
                    double* const sum = sums[c][lane];
                    const fixed::Pair vi = {v[c][i], v[c][i]};
                    fixed::store(sum + t, fixed::load(sum + t) + pair * vi);
                }
            }
            if (t < width)
                for (std::size_t c = 0; c < C; ++c)
                    sums[c][lane][t] = sums[c][lane][t] + m[t] * v[c][i];
        }
        for (int k = end - 1; k >= first; --k) {
            const int p = pivotRows_[static_cast<std::size_t>(k)];
            for (std::size_t c = 0; c < C; ++c) {
                double lanes[fixed::kLanes];
                for (int l = 0; l < fixed::kLanes; ++l)
                    lanes[l] = sums[c][l][k - first];
                double near = 0;
                for (int i = k + 1; i < end; ++i)
                    near = near + multiplier(i, k) * v[c][i];
                for (const int i : exchanged)
                    near = near + multiplier(i, k) * v[c][i];
                v[c][k] = v[c][k] - (fixed::combine(lanes) + near);
                std::swap(v[c][k], v[c][p]);
            }
        }
        unmark(exchanged, marked);
    }
    return finite(v, n);
}

bool GaussFactors::solve(std::vector<double>& v) const {
    return solveColumns(columns(v))[0];
}

bool GaussFactors::solveTransposed(std::vector<double>& v) const {
    return solveTransposedColumns(columns(v))[0];
}

std::array<bool, 2> GaussFactors::solve(const TwoColumns& v) const {
    return solveColumns(columns(v));
}

std::array<bool, 2> GaussFactors::solveTransposed(const TwoColumns& v) const {
    return solveTransposedColumns(columns(v));
}

template <std::size_t C>
std::array<bool, C> CholeskyFactors::solveColumns(std::array<double*, C> v) const {
    const int n = n_;
    // Solve L y = b, row by row.
    for (int i = 1; i <= n; ++i) {
        const std::array<double, C> sums =
            fixed::dots<C>(i - 1, W_.row(i) + 1, constant(offset(v, 1)));
        for (std::size_t c = 0; c < C; ++c)
            v[c][i] = (v[c][i] - sums[c]) / diag_(i);
    }
    // Solve L^T x = y, a row of L at a time, from the last.
    for (int i = n; i >= 1; --i) {
        std::array<double, C> taken;
        for (std::size_t c = 0; c < C; ++c)
            taken[c] = v[c][i] = v[c][i] / diag_(i);
        fixed::subtractMultiples<C>(i - 1, taken, W_.row(i) + 1, offset(v, 1));
    }
    return finite(v, n);
}

bool CholeskyFactors::solve(std::vector<double>& v) const {
    return solveColumns(columns(v))[0];
}

std::array<bool, 2> CholeskyFactors::solve(const TwoColumns& v) const {
    return solveColumns(columns(v));
}

} // namespace lse
