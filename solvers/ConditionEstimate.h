#pragma once

#include <functional>
#include <optional>
#include <vector>

namespace lse {

// v := B v, or v := B^T v, for v with entries 1..n (entry 0 unused); false when a result is
// not finite.
using Product = std::function<bool(std::vector<double>& v)>;

// An estimate of ||B||_1 from a few products with B and B^T: Hager's method as refined by
// Higham, LAPACK's dlacn2 with its reverse communication written as a loop. The estimate
// never exceeds ||B||_1 and is rarely below it by more than a factor of 3. None when a product
// is not finite.
std::optional<double> estimateNorm1(int n, const Product& times, const Product& timesTransposed);

} // namespace lse
