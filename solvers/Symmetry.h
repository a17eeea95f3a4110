#pragma once

#include "Matrix.h"
#include "kernels/Tuning.h"

#include <algorithm>

namespace lse {

// Whether W(j, i) == W(i, j) for every row first <= i < end of the upper triangle and j > i,
// up to n. The decomposition reads only the upper triangle; a matrix whose lower triangle
// differs would be decomposed as some other, symmetric, matrix. Compared in square tiles.
inline bool symmetricRows(const Matrix& W, int n, int first, int end) {
    using tuning::kSymmetryBand;
    for (int i0 = first; i0 < end; i0 += kSymmetryBand)
        for (int j0 = i0; j0 <= n; j0 += kSymmetryBand)
            for (int i = i0; i < std::min({i0 + kSymmetryBand, end, n + 1}); ++i)
                for (int j = std::max(j0, i + 1); j < std::min(j0 + kSymmetryBand, n + 1); ++j)
                    if (W(j, i) != W(i, j))
                        return false;
    return true;
}

} // namespace lse
