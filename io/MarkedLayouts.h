#pragma once

// The layouts that their first bytes announce, each read by its own reader: NumPy's magic
// string, a Matrix Market banner (which may be indented, and follow blank lines).

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

// What may stand before a Matrix Market banner: blanks and line ends.
inline constexpr std::string_view kBlankLines = " \t\r\n";

extern const MarkedLayout kNumpyLayout;        // NumPy .npy: n x n, n x (n + 1), or n
extern const MarkedLayout kMatrixMarketLayout; // A in array or coordinate form; b n x 1

} // namespace lse::io
