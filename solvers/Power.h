#pragma once

namespace lse {

// base raised to exponent; a base of 0 gives 0. Correctly rounded for the exponent 0.5, the
// one the Cholesky decomposition uses.
double power(double base, double exponent);

} // namespace lse
