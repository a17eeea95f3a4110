#include "Refinement.h"

#include "ConditionEstimate.h"
#include "Digits.h"
#include "DoubleDouble.h"
#include "Team.h"
#include "kernels/Kernels.h"
#include "kernels/Tuning.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace lse {

namespace {

constexpr double kU = 0x1p-53;
// Hager and Higham's estimate is below the norm, rarely by more than 3, and the solves it makes
// with the factors are inexact by about the contraction the corrections showed: 3 for the one,
// 2 for the other, beside the 1 / (1 - contraction) the bound takes for the corrections to come.
constexpr double kEstimateSafety = 6;
// A component that is 0 is measured against this, so that its bound is absolute.
constexpr double kZeroScale = std::numeric_limits<double>::min();
// What a row's residual may lose where its products fall below the normal doubles: Dekker's
// product then errs by up to 5 units of 2^-1074 (Ogita, Rump and Oishi) and each tail's
// product by half of one, under 6 n units in all, which the residual's own error of at least
// 2 n u^2 times this covers many times over. Beside |A| |x| + |b| of any ordinary row it is
// lost in the rounding.
constexpr double kUnderflowFloor = 0x1p-960;

// b - A (xHi + xLo) row by row in double-double, rounded to doubles, with |A| |x| + |b| beside
// it for the residual's own error.
class Residual {
public:
    Residual(const PairSystem& s, int threads)
        : s_(s), xHi_(s.n), xLo_(s.n), split_(2 * static_cast<std::size_t>(s.n)) {
        if (s.n >= tuning::kRefineThreadsFrom)
            team_.emplace(Team::sizeFor(threads));
    }

    // false when some residual is not finite.
    bool compute(const std::vector<dd::Pair>& x, std::vector<double>& r, std::vector<double>& m) {
        const int n = s_.n;
        for (int j = 0; j < n; ++j) {
            xHi_[j] = x[j + 1].hi;
            xLo_[j] = x[j + 1].lo;
            const dd::Pair p = dd::split(xHi_[j]);
            split_[j] = p.hi;
            split_[n + j] = p.lo;
        }
        const auto rows = [&](int first, int last) {
            const auto dotPair = kernels::active().dotPair;
            double out[3];
            for (int i = first; i < last; ++i) {
                dotPair(n, s_.aHi.row(i) + 1, s_.aLo ? s_.aLo->row(i) + 1 : nullptr, xHi_.data(),
                        split_.data(), xLo_.data(), out);
                const double bLo = s_.bLo ? (*s_.bLo)(i) : 0.0;
                const dd::Pair t = dd::twoSum(s_.bHi(i), -out[0]);
                r[i] = t.hi + (t.lo + (bLo - out[1]));
                m[i] = out[2] + std::fabs(s_.bHi(i));
            }
        };
        if (team_) {
            // Rows are dealt out in fixed bands; each row's sum is the same whoever takes it.
            const int bands = (n + tuning::kRefineRowBand - 1) / tuning::kRefineRowBand;
            team_->run([&](int member) {
                for (int band = member; band < bands; band += team_->size())
                    rows(1 + band * tuning::kRefineRowBand,
                         1 + std::min(n, (band + 1) * tuning::kRefineRowBand));
            });
        } else {
            rows(1, n + 1);
        }
        for (int i = 1; i <= n; ++i)
            if (!std::isfinite(r[i]) || !std::isfinite(m[i]))
                return false;
        return true;
    }

private:
    const PairSystem& s_;
    std::optional<Team> team_;
    AlignedDoubles xHi_, xLo_, split_;
};

// An estimate of max_i (|A^-1| w)_i / scale_i: the infinity norm of diag(1/scale) A^-1 diag(w),
// as the 1-norm of its transpose C = diag(w) A^-T diag(1/scale), whose products the caller
// makes with the factors between before() and after().
class WeightedEstimate {
public:
    WeightedEstimate(const std::vector<double>& scale, const std::vector<double>& w)
        : norm_(static_cast<int>(scale.size()) - 1), scale_(scale), w_(w) {}

    bool done() const { return norm_.need() == Norm1Estimate::Need::nothing; }
    // C v asks for A^-T, C^T v for A^-1.
    bool transposed() const { return norm_.need() == Norm1Estimate::Need::times; }
    std::vector<double>& vector() { return norm_.vector(); }
    std::optional<double> result() const { return norm_.result(); }

    void before() {
        std::vector<double>& v = norm_.vector();
        for (std::size_t i = 1; i < v.size(); ++i)
            v[i] = v[i] * (transposed() ? inverseX(i) : w_[i]);
    }
    void after(bool finite) {
        std::vector<double>& v = norm_.vector();
        for (std::size_t i = 1; i < v.size(); ++i) {
            v[i] = v[i] * (transposed() ? w_[i] : inverseX(i));
            finite = finite && std::isfinite(v[i]);
        }
        norm_.advance(finite);
    }

private:
    double inverseX(std::size_t i) const { return 1 / scale_[i]; }

    Norm1Estimate norm_;
    const std::vector<double>& scale_;
    const std::vector<double>& w_;
};

std::optional<double> estimate(const Factors& factors, WeightedEstimate& e) {
    while (!e.done()) {
        e.before();
        e.after(e.transposed() ? factors.solveTransposed(e.vector()) : factors.solve(e.vector()));
    }
    return e.result();
}

// How far hi + lo may move before its nearest double is another: the distance to the nearer
// midpoint between hi and its neighbours, a little less for the rounding of the subtraction.
double roundingMargin(dd::Pair v) {
    const double up = std::nextafter(v.hi, INFINITY) - v.hi;
    const double down = v.hi - std::nextafter(v.hi, -INFINITY);
    return std::min(up / 2 - v.lo, down / 2 + v.lo) * (1 - 0x1p-50);
}

// The relative size of a correction, LAPACK's dz_z: infinite where it moves a zero component.
double relativeSize(const std::vector<double>& d, const std::vector<dd::Pair>& x) {
    double largest = 0;
    for (std::size_t i = 1; i < d.size(); ++i) {
        if (d[i] == 0)
            continue;
        if (x[i].hi == 0)
            return INFINITY;
        largest = std::max(largest, std::fabs(d[i]) / std::fabs(x[i].hi));
    }
    return largest;
}

// Sets the status from the componentwise bound: the residual r of x (with its own error) taken
// through the estimate of |A^-1|, scaled by the contraction the corrections showed.
void judge(Refined& out, const PairSystem& s, const Factors& factors,
           const std::vector<dd::Pair>& x, const std::vector<double>& r,
           const std::vector<double>& m, double contraction) {
    const int n = s.n;
    // Skeel's condition number, relative to each component: the residual's error, a few
    // n^2 u^2 |A| |x|, grows by it, and beyond 1 / (n u) the factors no longer carry a bound
    // (LAPACK's trust test). The passes over the factors are most of the refinement's cost,
    // so one estimate serves both: |A^-1| |r| <= |A^-1| (|A| |x| + |b|) times the largest
    // |r|_i / (|A| |x| + |b|)_i, the backward error.
    std::vector<double> scale(n + 1, 1), w(n + 1, 0);
    for (int i = 1; i <= n; ++i) {
        scale[i] = std::max(std::fabs(x[i].hi), kZeroScale);
        w[i] = m[i] + kUnderflowFloor;
    }
    WeightedEstimate skeelEstimate(scale, w);
    const std::optional<double> skeel = estimate(factors, skeelEstimate);
    if (!skeel || *skeel * n * kU >= 1) {
        out.status = RefinedStatus::notConverged;
        out.stop = RefineStop::conditionTooLarge;
        return;
    }
    double backward = 0;
    for (int i = 1; i <= n; ++i)
        if (r[i] != 0)
            backward = std::max(backward, std::fabs(r[i]) * (1 + 2 * kU) / w[i]);
    // The chains' Dot2 error (n/8 terms each), the products with the tails in doubles, the
    // pairs' own 2^-106 and the rounding of r: all within this many u^2 |A| |x|.
    const double chain = n / 8.0 + 2;
    const double residualError = (chain * chain + 2.0 * n + 8) * kU * kU;
    const double relative =
        kEstimateSafety / (1 - contraction) * (backward + residualError) * *skeel;
    bool rounded = true;
    double worst = 0;
    for (int i = 1; i <= n; ++i) {
        // Rounded up, should the product fall below the normal doubles.
        const double e = relative * scale[i] + std::numeric_limits<double>::denorm_min();
        rounded = rounded && e < roundingMargin(x[i]);
        worst = std::max(worst, (std::fabs(x[i].lo) + e) / smallerUlp(x[i].hi));
    }
    if (!std::isfinite(worst)) {
        out.status = RefinedStatus::notConverged;
        out.stop = RefineStop::notFinite;
        return;
    }
    out.boundUlps = worst;
    out.status = rounded ? RefinedStatus::correctlyRounded : RefinedStatus::withinUlps;
}

} // namespace

double Refined::ulps() const {
    return status == RefinedStatus::correctlyRounded ? 0 : std::ceil(boundUlps.value_or(INFINITY));
}

Refined refine(const PairSystem& s, const Factors& factors, const Vector& x0, int threads) {
    const int n = s.n;
    Refined out;
    std::vector<dd::Pair> x(n + 1);
    for (int i = 1; i <= n; ++i)
        x[i] = {x0(i), 0};
    Residual residual(s, threads);
    std::vector<double> r(n + 1), m(n + 1), d;
    const auto finish = [&] {
        out.x.assign(n + 1, 0);
        out.tail.assign(n + 1, 0);
        for (int i = 1; i <= n; ++i) {
            out.x[i] = x[i].hi;
            out.tail[i] = x[i].lo;
        }
        return out;
    };
    double previous = INFINITY;
    double contraction = 0;
    bool settled = false;
    for (;;) {
        if (!residual.compute(x, r, m)) {
            out.stop = RefineStop::notFinite;
            return finish();
        }
        if (settled)
            break;
        if (out.steps == kRefineSteps) {
            out.stop = RefineStop::stepLimit;
            return finish();
        }
        d = r;
        if (!factors.solve(d)) {
            out.stop = RefineStop::notFinite;
            return finish();
        }
        const double size = relativeSize(d, x);
        if (out.steps > 0) {
            const double ratio = size / previous;
            if (ratio > kStallRatio) {
                out.stop = RefineStop::stalled;
                return finish();
            }
            contraction = std::max(contraction, ratio);
        }
        bool moved = false;
        for (int i = 1; i <= n; ++i) {
            const dd::Pair next = dd::add(x[i], {d[i], 0});
            moved = moved || next.hi != x[i].hi;
            x[i] = next;
        }
        ++out.steps;
        previous = size;
        // A correction below an ulp that moved no component: the next ones, smaller still,
        // cannot move x rounded either. The residual of x as it is now makes the bound.
        settled = !moved && size <= kU;
    }
    judge(out, s, factors, x, r, m, contraction);
    return finish();
}

} // namespace lse
