#pragma once

// NumPy .npy arrays: n x n (A), n x (n + 1) (A, then b), or n entries (b).

#include "SystemReader.h"
#include "TextScanner.h"

#include <string_view>

namespace lse::io {

// Whether the first bytes are NumPy's magic string.
bool isNumpy(std::string_view head);

LinearSystem readNumpy(TextScanner& in, const ReadOptions& options);
Vector readNumpyVector(TextScanner& in, int n);

} // namespace lse::io
