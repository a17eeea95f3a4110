#pragma once

// One system of any order in every layout the readers take, as the bytes of a file: large
// enough, for a few hundred equations, to be read in many pieces. Its entries are small whole
// numbers, which every layout holds exactly, a NumPy array of integers too. (Matrix Market
// holds A alone.)

#include "SystemFiles.h"

#include <cstdint>
#include <string>
#include <utility>

namespace lse::test {

enum class Layout { plain, rows, csv, matrixMarketArray, matrixMarketCoordinate, npy, npyIntegers };

inline const std::pair<Layout, const char*> kEveryLayout[] = {
    {Layout::plain, "plain"},
    {Layout::rows, "rows"},
    {Layout::csv, "csv"},
    {Layout::matrixMarketArray, "matrix market array"},
    {Layout::matrixMarketCoordinate, "matrix market coordinate"},
    {Layout::npy, "npy"},
    {Layout::npyIntegers, "npy of integers"},
};

// Diagonally dominant, so that the system also solves.
inline int largeA(int n, int i, int j) {
    return i == j ? 1000 + n : (i * 7 + j * 13) % 201 - 100;
}
inline int largeB(int i) {
    return i % 17 - 8;
}

inline std::string largeInput(Layout layout, int n) {
    const auto number = [](int value) { return std::to_string(value); };
    std::string text;
    switch (layout) {
    case Layout::plain:
        text = number(n) + "\n";
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j)
                text += number(largeA(n, i, j)) + (j == n ? "\n" : " ");
        for (int i = 1; i <= n; ++i)
            text += number(largeB(i)) + "\n";
        break;
    case Layout::rows:
    case Layout::csv: {
        const std::string between = layout == Layout::csv ? "," : " ";
        if (layout == Layout::csv) {
            for (int j = 1; j <= n; ++j)
                text += "x" + number(j) + between;
            text += "b\r\n";
        }
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j)
                text += number(largeA(n, i, j)) + between;
            text += number(largeB(i)) + (layout == Layout::csv ? "\r\n" : "\n");
        }
        break;
    }
    case Layout::matrixMarketArray:
        text = "%%MatrixMarket matrix array integer general\n" + number(n) + " " + number(n) + "\n";
        for (int j = 1; j <= n; ++j)
            for (int i = 1; i <= n; ++i)
                text += number(largeA(n, i, j)) + "\n";
        break;
    case Layout::matrixMarketCoordinate:
        text = "%%MatrixMarket matrix coordinate integer general\n% every entry\n" + number(n) +
               " " + number(n) + " " + number(n * n) + "\n";
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j)
                text += number(i) + " " + number(j) + " " + number(largeA(n, i, j)) + "\n";
        break;
    case Layout::npy:
    case Layout::npyIntegers: {
        const bool doubles = layout == Layout::npy;
        text =
            npyHeader("(" + number(n) + ", " + number(n + 1) + ")", false, doubles ? "<f8" : "<i4");
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n + 1; ++j) {
                const int value = j <= n ? largeA(n, i, j) : largeB(i);
                if (doubles) {
                    const auto entry = static_cast<double>(value);
                    text.append(reinterpret_cast<const char*>(&entry), sizeof entry);
                } else {
                    const auto entry = static_cast<std::uint32_t>(value);
                    for (int byte = 0; byte < 4; ++byte)
                        text += static_cast<char>(entry >> (8 * byte) & 0xff);
                }
            }
        break;
    }
    }
    return text;
}

} // namespace lse::test
