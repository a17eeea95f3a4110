#pragma once

#include "Matrix.h"
#include "Refinement.h"
#include "WrittenNumber.h"
#include "WrittenValues.h"

#include <optional>
#include <string>
#include <vector>

namespace lse {

// Why a refinement is towards the doubles the methods got rather than the system as written.
struct TowardsDoubles {
    enum class Why {
        notKept,    // the system was too large to keep its texts (WrittenValues::dropped)
        summed,     // entries are sums of duplicates, added in doubles
        belowPairs, // a value so small that its tail falls below the doubles
        notANumber, // a kept text that the exact arithmetic does not read
    };
    Why why = Why::notKept;
    // The first such value: its place in [A | b] (inB: in b, else column `column` of A) and its
    // text.
    int row = 0;
    int column = 0;
    bool inB = false;
    std::string text;
};

// The system a refinement is towards: the written values as pairs, each hi + lo within
// 2^-106 of the written value (the representation error the bound takes as a perturbation of
// A and b), or, where some written value cannot be so held, the doubles alone, and why.
struct WrittenLows {
    Matrix aLo; // absent while every lo of A is 0
    Vector bLo; // absent while every lo of b is 0
    // b's own doubles where they are not the methods' b: the row sums of the written A
    // rounded to pairs, where b was made as A's row sums.
    Vector bHi;
    std::optional<TowardsDoubles> towardsDoubles;
    // The third words, where a claim needs them; empty towards the doubles.
    ThirdWordsSource thirds;
};

} // namespace lse
