#pragma once

#include <cmath>
#include <stdexcept>

namespace lse {

// An invalid operation, a division by zero or an overflow in the solvers' arithmetic.
struct ArithmeticError : std::runtime_error {
    ArithmeticError() : std::runtime_error("arithmetic error") {}
};

// The solvers' operands are always finite (every earlier result passed this test, and the
// inputs are), so a result that is not finite is exactly an invalid operation, a division by
// zero or an overflow. Underflow and inexact results pass.
inline double checked(double result) {
    if (!std::isfinite(result))
        throw ArithmeticError();
    return result;
}

} // namespace lse
