#include "ResultText.h"

#include "NumberText.h"

#include <algorithm>

namespace lse {

namespace {

// Row i of columns 1..columns, with its line end.
std::string& appendRow(std::string& text, const Matrix& matrix, int i, int columns,
                       std::string_view lineEnd, Digits digits) {
    for (int j = 1; j <= columns; ++j)
        text.append(kGap).append(doubleToText(matrix(i, j), digits));
    return text.append(lineEnd);
}

// Rows 1..rows of columns 1..columns.
std::string rowsText(const Matrix& matrix, int rows, int columns, std::string_view lineEnd,
                     Digits digits) {
    std::string text;
    for (int i = 1; i <= rows; ++i)
        appendRow(text, matrix, i, columns, lineEnd, digits);
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

int matrixEchoLines(int count) {
    const int rows = echoedRows(count);
    return rows + (count > rows ? 1 : 0);
}

std::string matrixEchoLine(const Matrix& matrix, int count, int line) {
    std::string text;
    if (line < echoedRows(count))
        return appendRow(text, matrix, line + 1, count, "\r\n", Digits::window);
    return "(" + intToText(count - echoedRows(count)) + " more rows not shown)\r\n";
}

std::string matrixEcho(const Matrix& matrix, int count) {
    std::string text;
    for (int line = 0; line < matrixEchoLines(count); ++line)
        text += matrixEchoLine(matrix, count, line);
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
