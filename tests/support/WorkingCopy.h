#pragma once

#include "Matrix.h"
#include "RandomSystems.h"

#include <vector>

namespace lse::test {

// As the window's copyPass makes it: with the spare column that Gauss widens into.
inline Matrix workingCopy(const reference::System& system) {
    const int n = static_cast<int>(system.b.size());
    Matrix w;
    w.recreate(n, n, 1);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            w(i, j) = system.a[i - 1][j - 1];
    return w;
}

inline Vector vectorOf(const std::vector<double>& values) {
    Vector v;
    v.recreate(static_cast<int>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i)
        v(static_cast<int>(i) + 1) = values[i];
    return v;
}

} // namespace lse::test
