#include "ResultText.h"

#include "NumberText.h"

#include <algorithm>

namespace lse {

namespace {

// Rows 1..rows of columns 1..columns.
std::string rowsText(const Matrix& matrix, int rows, int columns, std::string_view lineEnd,
                     Digits digits) {
    std::string text;
    for (int i = 1; i <= rows; ++i) {
        for (int j = 1; j <= columns; ++j)
            text.append(kGap).append(doubleToText(matrix(i, j), digits));
        text.append(lineEnd);
    }
    return text;
}

} // namespace

std::string matrixText(const Matrix& matrix, int count, std::string_view lineEnd, Digits digits) {
    return rowsText(matrix, count, count, lineEnd, digits);
}

int echoedRows(int count) {
    if (count <= 0)
        return 0;
    const long fit = kEchoedNumbersMost / count;
    return static_cast<int>(std::clamp<long>(fit, 1, count));
}

std::string matrixEcho(const Matrix& matrix, int count) {
    const int rows = echoedRows(count);
    std::string text = rowsText(matrix, rows, count, "\r\n", Digits::window);
    if (const int left = count - rows; left > 0)
        text.append("(").append(intToText(left)).append(" more rows not shown)\r\n");
    return text;
}

std::string namedLines(std::string_view name, const Vector& values, int count,
                       std::string_view lineEnd, Digits digits) {
    std::string lines;
    for (int i = 1; i <= count; ++i)
        lines.append(name)
            .append(intToText(i))
            .append(" =")
            .append(kGap)
            .append(doubleToText(values(i), digits))
            .append(lineEnd);
    return lines;
}

} // namespace lse
