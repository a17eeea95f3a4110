#include "ConditionEstimate.h"

#include "FixedSums.h"

#include <algorithm>
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

// x := B (e / n) first.
Norm1Estimate::Norm1Estimate(int n)
    : n_(n), x_(static_cast<std::size_t>(n) + 1, 1.0 / n), sign_(static_cast<std::size_t>(n) + 1) {
    x_[0] = 0;
}

void Norm1Estimate::ask(Need need, Step step) {
    need_ = need;
    step_ = step;
}

void Norm1Estimate::finish(std::optional<double> result) {
    result_ = result;
    need_ = Need::nothing;
}

// x := sign(x), kept to tell a repeated sign vector.
void Norm1Estimate::setSigns() {
    for (int i = 1; i <= n_; ++i) {
        x_[i] = signOf(x_[i]);
        sign_[i] = static_cast<int>(x_[i]);
    }
}

// x := e_j, for B e_j.
void Norm1Estimate::tryColumn() {
    std::fill(x_.begin(), x_.end(), 0.0);
    x_[j_] = 1;
    ask(Need::times, Step::column);
}

// An alternating test vector guards against the matrices that fool the iteration.
void Norm1Estimate::tryAlternating() {
    double alternating = 1;
    for (int i = 1; i <= n_; ++i) {
        x_[i] = alternating * (1.0 + static_cast<double>(i - 1) / static_cast<double>(n_ - 1));
        alternating = -alternating;
    }
    ask(Need::times, Step::alternating);
}

void Norm1Estimate::advance(bool finite) {
    ++products_;
    if (!finite) {
        finish(std::nullopt);
        return;
    }
    switch (step_) {
    case Step::first:
        if (n_ == 1) {
            finish(std::fabs(x_[1]));
            return;
        }
        estimate_ = sumOfMagnitudes(x_);
        // B^T sign(x) next; the column to try is where it is largest.
        setSigns();
        ask(Need::timesTransposed, Step::firstTransposed);
        return;
    case Step::firstTransposed:
        j_ = largestMagnitude(x_);
        tryColumn();
        return;
    case Step::column: {
        const double previous = estimate_;
        estimate_ = sumOfMagnitudes(x_);
        // A repeated sign vector: converged. An estimate that did not grow: cycling.
        bool signChanged = false;
        for (int i = 1; i <= n_ && !signChanged; ++i)
            signChanged = static_cast<int>(signOf(x_[i])) != sign_[i];
        if (!signChanged || estimate_ <= previous) {
            tryAlternating();
            return;
        }
        setSigns();
        ask(Need::timesTransposed, Step::columnTransposed);
        return;
    }
    case Step::columnTransposed: {
        // Go on while the largest entry moves and iterations remain.
        const int last = j_;
        j_ = largestMagnitude(x_);
        if (x_[last] != std::fabs(x_[j_]) && iteration_ < kMaxIterations) {
            ++iteration_;
            tryColumn();
        } else {
            tryAlternating();
        }
        return;
    }
    case Step::alternating: {
        const double tried = 2.0 * (sumOfMagnitudes(x_) / static_cast<double>(3 * n_));
        finish(tried > estimate_ ? tried : estimate_);
        return;
    }
    }
}

} // namespace lse
