#pragma once

#include "ExactReport.h"

#include <string>

namespace lse::exact {

// Why the system as written is not solved, for the end of a sentence: "1e-2000000 (equation
// 1, coefficient 1) is beyond the decimal exponents the exact arithmetic holds (±1000000),
// and as its double it would make a system other than the one written".
std::string notHeldReason(const WrittenNotHeld& notHeld);

// Why the summed entries are not as written: "entry (1, 2) of A was given more than once and
// summed in doubles, which may round, so it is not as written".
std::string summedReason(const SummedEntries& summed);

} // namespace lse::exact
