#pragma once

#include "Matrix.h"

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace lse::test {

// A matrix with rows and columns 1..n from the given rows (row and column 0 zero).
inline Matrix makeMatrix(std::initializer_list<std::initializer_list<double>> rows) {
    Matrix m;
    const int n = static_cast<int>(rows.size());
    m.recreate(n, n);
    int i = 1;
    for (const auto& row : rows) {
        int j = 1;
        for (const double value : row)
            m(i, j++) = value;
        ++i;
    }
    return m;
}

inline Vector makeVector(std::initializer_list<double> values) {
    Vector v;
    v.recreate(static_cast<int>(values.size()));
    int i = 1;
    for (const double value : values)
        v(i++) = value;
    return v;
}

inline std::vector<double> entries(const Vector& v) {
    std::vector<double> out;
    for (int i = 1; i <= v.upper(); ++i)
        out.push_back(v(i));
    return out;
}

inline std::uint64_t bits(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

} // namespace lse::test
