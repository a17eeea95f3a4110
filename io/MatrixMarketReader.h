#pragma once

// Matrix Market files: A in array or coordinate form, b as an n x 1 array.

#include "SystemReader.h"
#include "TextScanner.h"

#include <string_view>

namespace lse::io {

// Whether the first bytes are a Matrix Market banner (which may be indented).
bool isMatrixMarket(std::string_view head);

LinearSystem readMatrixMarket(TextScanner& in, const ReadOptions& options);
Vector readMatrixMarketVector(TextScanner& in, int n);

} // namespace lse::io
