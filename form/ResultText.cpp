#include "ResultText.h"

#include "NumberText.h"

namespace lse {

namespace {

constexpr std::string_view kGap = "   ";

} // namespace

std::string matrixText(const Matrix& matrix, int count, std::string_view lineEnd, Digits digits) {
    std::string rows;
    for (int i = 1; i <= count; ++i) {
        for (int j = 1; j <= count; ++j)
            rows.append(kGap).append(doubleToText(matrix(i, j), digits));
        rows.append(lineEnd);
    }
    return rows;
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
