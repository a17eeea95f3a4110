#include "Power.h"

#include <cmath>

namespace lse {

double power(double base, double exponent) {
    if (base == 0)
        return 0;
    // The C library's pow is not correctly rounded, and glibc picks one of several variants
    // by the processor's features at run time, so its last bit differs between machines.
    // IEEE square root is correctly rounded on every processor, and is the exact meaning of
    // the exponent 0.5.
    if (exponent == 0.5)
        return std::sqrt(base);
    return std::pow(base, exponent);
}

} // namespace lse
