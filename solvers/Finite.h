#pragma once

namespace lse {

// The solvers' inputs are finite and every result is tested before it could matter, so a
// result that is not finite is exactly an invalid operation, a division by zero or an
// overflow; underflow and inexact results pass. x - x is 0 for every finite x and NaN for
// the others, so the results of a whole row or block are gathered into one sum that is
// tested once.
class FiniteCheck {
public:
    void add(double value) { sum_ += value - value; }
    bool allFinite() const { return sum_ == 0; }

private:
    double sum_ = 0;
};

} // namespace lse
