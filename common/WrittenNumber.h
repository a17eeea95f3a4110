#pragma once

#include "DoubleDouble.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace lse {

// A written number held in three doubles: hi its correctly rounded double, lo the rest
// rounded to nearest, lo2 what is left after lo rounded to nearest. hi + lo is within 2^-106
// of the written value and hi + lo + lo2 within 2^-159, each word normal or zero.
struct Words {
    double hi = 0;
    double lo = 0;
    double lo2 = 0;
};

// The words of a written number by error-free transformations and 128-bit integers alone: a
// decimal m 10^k with m < 2^53 and |k| <= 22, or m < 2^64 (19 digits) and -22 <= k < 0, or a
// fraction p/q with |p|, |q| <= 2^53. nullopt for any other text, which exact/ holds
// (writtenLows) or which is not a number. `rounded` is the text's double as the reader rounds
// it, which the long decimals take as hi rather than reading the text again.
std::optional<Words> writtenWords(std::string_view text, double rounded);

// The words of a decimal that a route above holds, hi found from its digits and exponent alone
// (numberForm's), correctly rounded (the exact remainder decides it), so that the text is
// scanned once; nullopt for any other text, which textToDouble and writtenWords take.
std::optional<Words> decimalTextWords(std::string_view text);

// hi + lo of writtenWords, the text read when `rounded` is not given.
std::optional<dd::Pair> writtenPair(std::string_view text,
                                    std::optional<double> rounded = std::nullopt);

} // namespace lse
