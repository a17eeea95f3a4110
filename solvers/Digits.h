#pragma once

namespace lse {

// The significant decimal digits that a relative error leaves: the largest k from 0 to 17
// with relativeError <= 10^-k, where 10^-k is the double nearest to it. An error of 1 or more,
// or one that is not a number, leaves none; an error of 0 leaves all 17 a double can carry.
// Counted against a table, not with log10, whose last bit depends on the library.
int significantDigits(double relativeError);

// The smaller of the gaps between `value` and its neighbouring doubles: the unit in the last
// place that the refinement counts its bounds in.
double smallerUlp(double value);

} // namespace lse
