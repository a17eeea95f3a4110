#include "Matrix.h"

#include <stdexcept>
#include <string>

namespace lse {

namespace {

std::size_t extent(int upper) {
    if (upper < 0)
        throw std::length_error("array bound below 0: " + std::to_string(upper));
    return static_cast<std::size_t>(upper) + 1;
}

[[noreturn]] void outOfRange(const char* what, int index) {
    throw std::out_of_range(std::string(what) + " index out of range: " + std::to_string(index));
}

} // namespace

void Matrix::recreate(int rowsUpper, int colsUpper) {
    std::vector<double> fresh(extent(rowsUpper) * extent(colsUpper), 0.0);
    data_.swap(fresh);
    rowsUpper_ = rowsUpper;
    colsUpper_ = colsUpper;
}

void Matrix::widen(int colsUpper) {
    if (!exists())
        throw std::out_of_range("widening a matrix that does not exist");
    if (colsUpper <= colsUpper_)
        return;
    const std::size_t oldCols = extent(colsUpper_);
    const std::size_t newCols = extent(colsUpper);
    std::vector<double> wider(extent(rowsUpper_) * newCols, 0.0);
    for (std::size_t r = 0; r < extent(rowsUpper_); ++r)
        for (std::size_t c = 0; c < oldCols; ++c)
            wider[r * newCols + c] = data_[r * oldCols + c];
    data_.swap(wider);
    colsUpper_ = colsUpper;
}

std::size_t Matrix::offset(int i, int j) const {
    if (i < 0 || i > rowsUpper_)
        outOfRange("row", i);
    if (j < 0 || j > colsUpper_)
        outOfRange("column", j);
    return static_cast<std::size_t>(i) * (static_cast<std::size_t>(colsUpper_) + 1) +
           static_cast<std::size_t>(j);
}

void Vector::recreate(int upper) {
    std::vector<double> fresh(extent(upper), 0.0);
    data_.swap(fresh);
    upper_ = upper;
}

std::size_t Vector::offset(int i) const {
    if (i < 0 || i > upper_)
        outOfRange("vector", i);
    return static_cast<std::size_t>(i);
}

} // namespace lse
