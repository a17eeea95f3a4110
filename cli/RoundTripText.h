#pragma once

#include <string>

namespace lse::cli {

// The fewest significant digits, at most 17, that read back as the same double, laid out as
// the window's 15-digit texts are: "0.1", "0.30000000000000004", "1E-05",
// "1.2345678901234567E+17". Zero, infinities and NaN read as in those texts.
std::string roundTripText(double value);

} // namespace lse::cli
