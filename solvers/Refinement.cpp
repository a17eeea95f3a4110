#include "Refinement.h"

#include "AccurateResidual.h"
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
// A correction this small changes the tail of x by less than the residual's own error of some
// n u^2, so that another step can only add its cost.
constexpr double kTailSettled = 0x1p-100;
// With the accurate residual, whose error is some u of itself and 2^-106 of |A| |x| for the
// pairs' representation: a correction below this, relative to x, moves no bound that could
// decide a claim; three take a tail from the double-double residual's error to it at any
// condition the bound trusts.
constexpr double kTailAccurate = 0x1p-125;
constexpr int kAccurateSteps = 3;
// Hager and Higham's estimate is below the norm, rarely by more than 3, and the solves it makes
// with the factors are inexact by about the contraction the corrections showed: 3 for the one,
// 2 for the other, beside the 1 / (1 - contraction) the bound takes for the corrections to come.
constexpr double kEstimateSafety = 6;
// The pairs hold each written value within 2^-106 of it (a correctly rounded tail): u^2 of
// each |a_ij| x_j and |b_i|, in units of u^2 (|A| |x| + |b|).
constexpr double kRepresentation = 2;
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
        take(x);
        for (int j = 0; j < n; ++j) {
            const dd::Pair p = dd::split(xHi_[j]);
            split_[j] = p.hi;
            split_[n + j] = p.lo;
        }
        return overRows(r, m, [&](int first, int last) {
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
        });
    }

    // The same, accurate to about u of each r_i (accurateResidualRow); some times the cost.
    // With `thirds`, against the written values' third words too.
    bool computeAccurately(const std::vector<dd::Pair>& x, std::vector<double>& r,
                           std::vector<double>& m, const ThirdWords* thirds) {
        const int n = s_.n;
        take(x);
        const std::size_t members = team_ ? static_cast<std::size_t>(team_->size()) : 1;
        terms_.resize(members);
        for (std::vector<double>& t : terms_)
            t.resize(accurateResidualTerms(n));
        const Matrix* aLo2 = thirds && thirds->aLo2.exists() ? &thirds->aLo2 : nullptr;
        const Vector* bLo2 = thirds && thirds->bLo2.exists() ? &thirds->bLo2 : nullptr;
        return overRows(r, m, [&](int first, int last) {
            for (int i = first; i < last; ++i) {
                const RowWords words{s_.aHi.row(i) + 1,
                                     s_.aLo ? s_.aLo->row(i) + 1 : nullptr,
                                     aLo2 ? aLo2->row(i) + 1 : nullptr,
                                     s_.bHi(i),
                                     s_.bLo ? (*s_.bLo)(i) : 0.0,
                                     bLo2 ? (*bLo2)(i) : 0.0};
                const AccurateRow row = accurateResidualRow(n, words, xHi_.data(), xLo_.data(),
                                                            terms_[member(first)].data());
                r[i] = row.r;
                m[i] = row.magnitude;
            }
        });
    }

private:
    void take(const std::vector<dd::Pair>& x) {
        for (int j = 0; j < s_.n; ++j) {
            xHi_[j] = x[j + 1].hi;
            xLo_[j] = x[j + 1].lo;
        }
    }
    // The team member that takes the band starting at row `first`.
    int member(int first) const {
        return team_ ? ((first - 1) / tuning::kRefineRowBand) % team_->size() : 0;
    }
    template <class Rows>
    bool overRows(std::vector<double>& r, std::vector<double>& m, const Rows& rows) {
        const int n = s_.n;
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

    const PairSystem& s_;
    std::optional<Team> team_;
    AlignedDoubles xHi_, xLo_, split_;
    std::vector<std::vector<double>> terms_; // a row's terms, one buffer per team member
};

// An estimate of max_i (|A^-1| w)_i s_i: the infinity norm of diag(s) A^-1 diag(w), as the
// 1-norm of its transpose C = diag(w) A^-T diag(s), whose products the caller makes with the
// factors between before() and after(). s is 1 / |x_i| for a relative bound, 1 for an absolute
// one, 0 for a component left out.
class WeightedEstimate {
public:
    WeightedEstimate(const std::vector<double>& inverse, const std::vector<double>& w)
        : norm_(static_cast<int>(inverse.size()) - 1), inverse_(inverse), w_(w) {}

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
    double inverseX(std::size_t i) const { return inverse_[i]; }

    Norm1Estimate norm_;
    const std::vector<double>& inverse_;
    const std::vector<double>& w_;
};

// A^-1 and A^-T through the factors, for A scaled by 2^-k with b (scaledSystem): the scaled
// system's inverse is 2^k times A's, a product that rounds nothing.
class Inverse {
public:
    Inverse(const Factors& factors, double scale) : factors_(factors), scale_(scale) {}

    bool solve(std::vector<double>& v) const { return scaled(factors_.solve(v), v); }
    bool solveTransposed(std::vector<double>& v) const {
        return scaled(factors_.solveTransposed(v), v);
    }

private:
    bool scaled(bool finite, std::vector<double>& v) const {
        if (scale_ != 1)
            for (double& e : v)
                e = e * scale_;
        return finite;
    }

    const Factors& factors_;
    double scale_;
};

// Entries beyond 2^kLargestEntry are refined in a copy of the system scaled by a power of two:
// Dekker's split of an entry (2^27 + 1 times it) overflows beyond 2^996, and a row's |A| |x|
// beside it. The scale changes no bit of x, the pairs' tails stay far above the subnormals, and
// a system of ordinary entries costs one pass over A to find its largest.
constexpr int kLargestEntry = 960;

struct ScaledSystem {
    Matrix aHi, aLo;
    Vector bHi, bLo;
    int exponent = 0; // A and b times 2^-exponent
};

std::optional<ScaledSystem> scaledSystem(const PairSystem& s) {
    double largest = 0;
    for (int i = 1; i <= s.n; ++i) {
        largest = std::max(largest, std::fabs(s.bHi(i)));
        for (int j = 1; j <= s.n; ++j)
            largest = std::max(largest, std::fabs(s.aHi(i, j)));
    }
    if (!(largest > std::ldexp(1.0, kLargestEntry)))
        return std::nullopt;
    ScaledSystem scaled;
    std::frexp(largest, &scaled.exponent);
    const int k = -scaled.exponent;
    scaled.aHi.recreate(s.n, s.n);
    scaled.bHi.recreate(s.n);
    if (s.aLo)
        scaled.aLo.recreate(s.n, s.n);
    if (s.bLo)
        scaled.bLo.recreate(s.n);
    for (int i = 1; i <= s.n; ++i) {
        scaled.bHi(i) = std::ldexp(s.bHi(i), k);
        if (s.bLo)
            scaled.bLo(i) = std::ldexp((*s.bLo)(i), k);
        for (int j = 1; j <= s.n; ++j) {
            scaled.aHi(i, j) = std::ldexp(s.aHi(i, j), k);
            if (s.aLo)
                scaled.aLo(i, j) = std::ldexp((*s.aLo)(i, j), k);
        }
    }
    return scaled;
}

std::optional<double> estimate(const Inverse& factors, WeightedEstimate& e) {
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

// The relative size of a correction, LAPACK's dz_z, but a zero component's correction measured
// against the largest component: a solution component that is 0 as written comes out of the
// pairs as a few units of 2^-106 of the others, which is no reason to stop. Infinite where the
// whole x is 0 and moves.
double relativeSize(const std::vector<double>& d, const std::vector<dd::Pair>& x) {
    double top = 0;
    for (std::size_t i = 1; i < x.size(); ++i)
        top = std::max(top, std::fabs(x[i].hi));
    double largest = 0;
    for (std::size_t i = 1; i < d.size(); ++i) {
        if (d[i] == 0)
            continue;
        const double scale = x[i].hi != 0 ? std::fabs(x[i].hi) : top;
        if (scale == 0)
            return INFINITY;
        largest = std::max(largest, std::fabs(d[i]) / scale);
    }
    return largest;
}

// Sets the status from each component's bound on |x* - (hi + lo)|: correctly rounded where
// every one stays inside the margin to the nearer midpoint (a zero component: a bound of
// exactly 0), else the largest bound in ulps (a zero component's in the largest one's).
void conclude(Refined& out, const std::vector<dd::Pair>& x, const std::vector<double>& bound) {
    const int n = static_cast<int>(x.size()) - 1;
    double top = 0;
    for (int i = 1; i <= n; ++i)
        top = std::max(top, std::fabs(x[i].hi));
    const double ulpOfTop = top > 0 ? smallerUlp(top) : std::numeric_limits<double>::denorm_min();
    bool rounded = true;
    double worst = 0;
    out.nearZero = 0;
    for (int i = 1; i <= n; ++i) {
        const bool zero = x[i].hi == 0;
        const double e = bound[i];
        rounded = rounded && (zero ? e == 0 : e < roundingMargin(x[i]));
        worst = std::max(worst, (std::fabs(x[i].lo) + e) / (zero ? ulpOfTop : smallerUlp(x[i].hi)));
        out.nearZero += zero && e > 0;
    }
    if (!std::isfinite(worst)) {
        out.status = RefinedStatus::notConverged;
        out.stop = RefineStop::notFinite;
        return;
    }
    out.boundUlps = worst;
    out.status = rounded ? RefinedStatus::correctlyRounded : RefinedStatus::withinUlps;
}

bool open(const dd::Pair& x, double bound) {
    return x.hi == 0 ? bound != 0 : bound >= roundingMargin(x);
}

// Bounds max_i (|A^-1| v)_i / |x_i| over the components that are not 0, and max_i (|A^-1| v)_i
// over those that are (0 where there are none); none where the factors give no finite answer.
struct Spread {
    double relative = 0;
    double absolute = 0;
};
std::optional<Spread> spread(const Inverse& factors, const std::vector<dd::Pair>& x,
                             const std::vector<double>& v) {
    const int n = static_cast<int>(x.size()) - 1;
    std::vector<double> relative(n + 1, 0), absolute(n + 1, 0);
    bool zeros = false;
    for (int i = 1; i <= n; ++i) {
        if (x[i].hi != 0)
            relative[i] = 1 / std::fabs(x[i].hi);
        else
            absolute[i] = 1;
        zeros = zeros || x[i].hi == 0;
    }
    WeightedEstimate relativeEstimate(relative, v);
    const std::optional<double> r = estimate(factors, relativeEstimate);
    std::optional<double> a = 0.0;
    if (zeros) {
        WeightedEstimate zeroEstimate(absolute, v);
        a = estimate(factors, zeroEstimate);
    }
    if (!r || !a)
        return std::nullopt;
    return Spread{*r, *a};
}

// Sets the status from the componentwise bound: the residual r of x (with its own error) taken
// through the estimate of |A^-1|, scaled by the contraction the corrections showed. Components
// that are 0 are bounded absolutely, in units in the last place of the largest component.
void judge(Refined& out, const PairSystem& s, const Inverse& factors,
           const std::vector<dd::Pair>& x, const std::vector<double>& r,
           const std::vector<double>& m, double contraction) {
    const int n = s.n;
    // Skeel's condition number, relative to each component: the residual's error, a few
    // n^2 u^2 |A| |x|, grows by it, and beyond 1 / (sqrt(n) u) the factors no longer carry a
    // bound (LAPACK's trust test in xGERFSX, CWISE_WRONG = sqrt(n) eps). The passes over the
    // factors are most of the refinement's cost, so one estimate serves both: |A^-1| |r| <=
    // |A^-1| (|A| |x| + |b|) times the largest |r|_i / (|A| |x| + |b|)_i, the backward error.
    // A row whose terms are all 0 was computed exactly, so it weighs nothing; any other row
    // also carries what it may lose below the normal doubles.
    std::vector<double> w(n + 1, 0);
    for (int i = 1; i <= n; ++i)
        w[i] = m[i] > 0 ? m[i] + kUnderflowFloor : 0;
    const std::optional<Spread> skeel = spread(factors, x, w);
    if (!skeel || skeel->relative * std::sqrt(static_cast<double>(n)) * kU >= 1) {
        out.status = RefinedStatus::notConverged;
        out.stop = RefineStop::conditionTooLarge;
        return;
    }
    double backward = 0;
    for (int i = 1; i <= n; ++i)
        if (r[i] != 0)
            backward = std::max(backward, std::fabs(r[i]) * (1 + 2 * kU) / w[i]);
    // The chains' Dot2 error (n/8 terms each), the products with the tails in doubles, the
    // rounding of r, and the pairs' representation error, 2^-106 of each |a_ij| and |b_i|: the
    // written system is the pairs' perturbed by at most u^2 (|A| |x| + |b|) in each row, which
    // moves x as a residual of that size would.
    const double chain = n / 8.0 + 2;
    const double residualError = (chain * chain + 2.0 * n + 8 + kRepresentation) * kU * kU;
    const double factor = kEstimateSafety / (1 - contraction) * (backward + residualError);
    std::vector<double> bound(n + 1, 0);
    for (int i = 1; i <= n; ++i) {
        double e = factor * (x[i].hi == 0 ? skeel->absolute : skeel->relative * std::fabs(x[i].hi));
        // Rounded up, should the product fall below the normal doubles.
        if (e > 0)
            e += std::numeric_limits<double>::denorm_min();
        bound[i] = e;
    }
    conclude(out, x, bound);
}

// Components whose bound from the estimate leaves them open are bounded each by its own row of
// A^-1 (one solve with A^T each), at most this many: the estimate takes the largest weighted
// sum over the components, and the factor 3 for an estimate below the norm, where a row sums
// exactly what that component may move.
constexpr int kRowsBoundedApart = 16;
// The factors' inexactness in the row's solve, twice over as in kEstimateSafety.
constexpr double kRowSafety = 2;

// The bound once the accurate residual r of x is had, from the next correction d = A^-1 r as the
// factors give it: x* - x = A^-1 (r + e) for r's own error e, so that
//   |x* - x - d| <= |A^-1| (|r - A d| + |e|),
// r - A d being what the factors' inexactness left of the correction: some n u |A| |d|, which
// |A^-1| multiplies back to n u cond |d|. Where the residual-based bound takes |A^-1| times r,
// cond times a u^2 of |A| |x|, this takes |d|, about the error itself.
void judgeByCorrection(Refined& out, const PairSystem& s, const Inverse& factors,
                       const std::vector<dd::Pair>& x, const std::vector<double>& r,
                       const std::vector<double>& m, double contraction, const ThirdWords* thirds) {
    const int n = s.n;
    std::vector<double> d = r;
    if (!factors.solve(d)) {
        out.status = RefinedStatus::notConverged;
        out.stop = RefineStop::notFinite;
        return;
    }
    // v_i bounds |r - A d|_i and r_i's own error: r - A d in doubles, with gamma(2n + 2) of the
    // terms' magnitudes for its rounding; the accurate residual's error (4u of |r_i|, its terms'
    // gamma(2N)^3 and a_lo x_lo's u^3, what the products lose below the normal doubles); the
    // representation error, half an ulp of each last word and so u |lo| at most (u |lo2| with
    // the third words; none where the system is its doubles), times |x|, and u^2 |A| |d|.
    const double gamma = (2.0 * n + 2) * kU / (1 - (2.0 * n + 2) * kU);
    const double terms = accurateResidualTermsError(n) + 2 * kU * kU * kU;
    const double floor = 16.0 * n * std::numeric_limits<double>::denorm_min();
    std::vector<double> v(n + 1, 0);
    const Matrix* aLast = thirds ? (thirds->aLo2.exists() ? &thirds->aLo2 : nullptr) : s.aLo;
    const Vector* bLast = thirds ? (thirds->bLo2.exists() ? &thirds->bLo2 : nullptr) : s.bLo;
    for (int i = 1; i <= n; ++i) {
        const double* aHi = s.aHi.row(i);
        const double* aLo = s.aLo ? s.aLo->row(i) : nullptr;
        const double* last = aLast ? aLast->row(i) : nullptr;
        double t = r[i];
        double size = std::fabs(r[i]);
        double lows = bLast ? std::fabs((*bLast)(i)) : 0.0;
        for (int j = 1; j <= n; ++j) {
            t = t - aHi[j] * d[j];
            size = size + std::fabs(aHi[j] * d[j]);
            if (aLo != nullptr) {
                t = t - aLo[j] * d[j];
                size = size + std::fabs(aLo[j] * d[j]);
            }
            if (last != nullptr)
                lows = lows + std::fabs(last[j] * x[j].hi);
        }
        v[i] = (std::fabs(t) + gamma * size + 4 * kU * std::fabs(r[i]) + terms * m[i] + floor +
                kU * lows * (1 + 2 * kU) + kU * kU * size) *
               (1 + (2.0 * n + 8) * kU);
    }
    const std::optional<Spread> e = spread(factors, x, v);
    if (!e) {
        out.status = RefinedStatus::notConverged;
        out.stop = RefineStop::notFinite;
        return;
    }
    const double factor = kEstimateSafety / (1 - contraction);
    std::vector<double> bound(n + 1, 0);
    std::vector<int> left;
    for (int i = 1; i <= n; ++i) {
        const double spreadHere =
            factor * (x[i].hi == 0 ? e->absolute : e->relative * std::fabs(x[i].hi));
        double b = std::fabs(d[i]) * (1 + 2 * kU) + spreadHere;
        if (b > 0)
            b += std::numeric_limits<double>::denorm_min();
        bound[i] = b;
        if (open(x[i], b) && x[i].hi != 0)
            left.push_back(i);
    }
    if (static_cast<int>(left.size()) <= kRowsBoundedApart) {
        std::vector<double> row(n + 1);
        for (const int i : left) {
            std::fill(row.begin(), row.end(), 0.0);
            row[i] = 1;
            if (!factors.solveTransposed(row))
                continue;
            double sum = 0;
            for (int j = 1; j <= n; ++j)
                sum = sum + std::fabs(row[j]) * v[j];
            // The sum's own rounding, (n + 1) u of it, and the product's, rounded up.
            const double b = std::fabs(d[i]) * (1 + 2 * kU) +
                             kRowSafety / (1 - contraction) * sum * (1 + (n + 4) * kU) +
                             std::numeric_limits<double>::denorm_min();
            if (std::isfinite(b))
                bound[i] = std::min(bound[i], b);
        }
    }
    conclude(out, x, bound);
}

} // namespace

double Refined::ulps() const {
    return status == RefinedStatus::correctlyRounded ? 0 : std::ceil(boundUlps.value_or(INFINITY));
}

Refined refine(const PairSystem& system, const Factors& lu, const Vector& x0, int threads,
               const ThirdWordsSource& thirds) {
    const std::optional<ScaledSystem> scaled = scaledSystem(system);
    const PairSystem s =
        scaled ? PairSystem{scaled->aHi, scaled->aLo.exists() ? &scaled->aLo : nullptr, scaled->bHi,
                            scaled->bLo.exists() ? &scaled->bLo : nullptr, system.n}
               : system;
    const Inverse factors(lu, scaled ? std::ldexp(1.0, scaled->exponent) : 1.0);
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
    // Once a correction below an ulp moves no component, x rounded is settled; the corrections go
    // on into the tail while they shrink, since the bound is the residual's, and the tail's error
    // is most of it until the tail holds x to about u^2 (kTailSettled).
    bool settled = false;
    for (;;) {
        if (!residual.compute(x, r, m)) {
            out.stop = RefineStop::notFinite;
            return finish();
        }
        // The next correction, by the contraction seen, would be below kTailSettled: the
        // residual of x as it is makes the bound, and saves a solve.
        if (settled && out.steps >= 2 && previous * contraction <= kTailSettled)
            break;
        if (out.steps == kRefineSteps) {
            if (settled)
                break;
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
                // Settled, the corrections have reached the residual's own error: x as it is.
                if (settled)
                    break;
                out.stop = RefineStop::stalled;
                return finish();
            }
            contraction = std::max(contraction, ratio);
        }
        // A correction this small leaves x's bound to its residual, which is at hand.
        if (settled && size <= kTailSettled)
            break;
        bool moved = false;
        for (int i = 1; i <= n; ++i) {
            const dd::Pair next = dd::add(x[i], {d[i], 0});
            moved = moved || next.hi != x[i].hi;
            x[i] = next;
        }
        ++out.steps;
        previous = size;
        settled = settled || (!moved && size <= kU);
    }
    judge(out, s, factors, x, r, m, contraction);
    if (out.status != RefinedStatus::withinUlps)
        return finish();
    // The bound leaves the claim open, and the double-double residual's own error is then most
    // of it: a residual accurate to u of itself takes the tail on and bounds x again, at some
    // times the cost of a residual, where the claim is open alone.
    const auto accurately = [&](const ThirdWords* thirds) {
        const std::vector<dd::Pair> before = x;
        const Refined first = out;
        double last = INFINITY;
        double seen = contraction;
        bool failed = false;
        for (int step = 0;; ++step) {
            if (!residual.computeAccurately(x, r, m, thirds)) {
                failed = true;
                break;
            }
            if (step == kAccurateSteps || (step > 0 && last * seen <= kTailAccurate))
                break;
            d = r;
            if (!factors.solve(d)) {
                failed = true;
                break;
            }
            const double size = relativeSize(d, x);
            // No smaller than the last: the residual of x as it is shows what is left.
            if (step > 0 && size > kStallRatio * last)
                break;
            if (step > 0)
                seen = std::max(seen, size / last);
            for (int i = 1; i <= n; ++i)
                x[i] = dd::add(x[i], {d[i], 0});
            ++out.steps;
            last = size;
        }
        if (!failed)
            judgeByCorrection(out, s, factors, x, r, m, seen, thirds);
        if (failed || out.status == RefinedStatus::notConverged) {
            x = before;
            out = first;
        }
    };
    accurately(nullptr);
    // What is left open is the pairs' own representation error, 2^-106 of each entry: with
    // the third words it is 2^-159.
    if (out.status == RefinedStatus::withinUlps && thirds && !scaled &&
        (s.aLo != nullptr || s.bLo != nullptr)) {
        if (const std::optional<ThirdWords> words = thirds())
            accurately(&*words);
    }
    return finish();
}

} // namespace lse
