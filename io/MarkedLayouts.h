#pragma once

// The layouts that their first bytes announce, each read by its own reader: NumPy's magic
// string, a Matrix Market banner (which may be indented).

#include "SystemReader.h"
#include "TextScanner.h"

#include <string_view>

namespace lse::io {

struct MarkedLayout {
    InputFormat format;
    bool (*announces)(std::string_view head);
    LinearSystem (*readSystem)(TextScanner& in, const ReadOptions& options);
    // b read before A's order is known (RightHandSide); its texts kept with keepWritten.
    RightHandSide (*readVector)(TextScanner& in, bool keepWritten);
};

extern const MarkedLayout kNumpyLayout;        // NumPy .npy: n x n, n x (n + 1), or n
extern const MarkedLayout kMatrixMarketLayout; // A in array or coordinate form; b n x 1

} // namespace lse::io
