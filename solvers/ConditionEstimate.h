#pragma once

#include <optional>
#include <vector>

namespace lse {

// An estimate of ||B||_1 from a few products with B and B^T: Hager's method as refined by
// Higham, LAPACK's dlacn2, by reverse communication as there: the caller makes each product
// the estimate asks for, so that it may make two estimates' products in one pass. The
// estimate never exceeds ||B||_1 and is rarely below it by more than a factor of 3. None when a
// product is not finite.
class Norm1Estimate {
public:
    enum class Need { times, timesTransposed, nothing };

    explicit Norm1Estimate(int n);

    // The product wanted next on vector() (entries 1..n, entry 0 unused), or nothing once the
    // estimate is had.
    Need need() const { return need_; }
    std::vector<double>& vector() { return x_; }
    // After the product asked for: finite, whether every entry of vector() is.
    void advance(bool finite);
    std::optional<double> result() const { return result_; }
    int products() const { return products_; }

private:
    enum class Step { first, firstTransposed, column, columnTransposed, alternating };

    void ask(Need need, Step step);
    void finish(std::optional<double> result);
    void setSigns();
    void tryColumn();
    void tryAlternating();

    int n_;
    std::vector<double> x_;
    std::vector<int> sign_;
    double estimate_ = 0;
    int j_ = 1;
    int iteration_ = 2;
    int products_ = 0;
    Step step_ = Step::first;
    Need need_ = Need::times;
    std::optional<double> result_;
};

} // namespace lse
