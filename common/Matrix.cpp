#include "Matrix.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace lse {

namespace {

std::size_t extent(int upper) {
    if (upper < 0)
        throw std::length_error("array bound below 0: " + std::to_string(upper));
    return static_cast<std::size_t>(upper) + 1;
}

// Rows start on a cache line; a stride of a whole number of pages would put the same column
// of consecutive rows into the same cache set, so such strides get one line more.
std::size_t rowStride(std::size_t columns) {
    constexpr std::size_t kLine = 8;
    constexpr std::size_t kPage = 512;
    std::size_t stride = (columns + kLine - 1) / kLine * kLine;
    if (stride % kPage == 0)
        stride += kLine;
    return stride;
}

[[noreturn]] void outOfRange(const char* what, int index) {
    throw std::out_of_range(std::string(what) + " index out of range: " + std::to_string(index));
}

} // namespace

// calloc's block, with a cache line more; the block's own address is kept just before the
// aligned start, which calloc's own alignment leaves room for.
void* allocateZeroed(std::size_t bytes) {
    constexpr std::size_t kLine = 64;
    static_assert(alignof(std::max_align_t) >= sizeof(void*));
    if (bytes > SIZE_MAX - kLine)
        throw std::bad_alloc();
    void* const block = std::calloc(bytes + kLine, 1);
    if (block == nullptr)
        throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // A large array is fresh pages from the system, each first touch a fault: in pages of 2 MB,
    // where the system lends them on request, a few faults rather than thousands. --refine from
    // text at n = 1000 went from 1.58 to 1.40 times the solve alone (docs/accuracy.md); arrays
    // under two such pages gain nothing.
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    if (bytes >= 2 * kHugePage) {
        const std::uintptr_t first =
            (reinterpret_cast<std::uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
        const std::uintptr_t last =
            (reinterpret_cast<std::uintptr_t>(block) + bytes) & ~(kHugePage - 1);
        if (last > first)
            madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#endif
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(block) + kLine) & ~(kLine - 1);
    void* const aligned = reinterpret_cast<void*>(start);
    static_cast<void**>(aligned)[-1] = block;
    return aligned;
}

void releaseZeroed(void* p) {
    if (p != nullptr)
        std::free(static_cast<void**>(p)[-1]);
}

void Matrix::recreate(int rowsUpper, int colsUpper, int spareColumns) {
    const std::size_t stride =
        rowStride(extent(colsUpper) + static_cast<std::size_t>(std::max(spareColumns, 0)));
    const std::size_t rows = extent(rowsUpper);
    // Beyond a 32-bit address space (WebAssembly) the array cannot be had, like any
    // allocation that fails.
    if (rows > decltype(data_)().max_size() / stride)
        throw std::bad_alloc();
    // The old storage goes first, so that re-creating a large matrix never holds two.
    *this = Matrix();
    decltype(data_) fresh(rows * stride);
    data_.swap(fresh);
    rowsUpper_ = rowsUpper;
    colsUpper_ = colsUpper;
    stride_ = stride;
}

void Matrix::widen(int colsUpper) {
    if (!exists())
        throw std::out_of_range("widening a matrix that does not exist");
    if (colsUpper <= colsUpper_)
        return;
    const std::size_t columns = extent(colsUpper);
    if (columns <= stride_) {
        for (int i = 0; i <= rowsUpper_; ++i)
            std::fill(row(i) + colsUpper_ + 1, row(i) + columns, 0.0);
        colsUpper_ = colsUpper;
        return;
    }
    Matrix wider;
    wider.recreate(rowsUpper_, colsUpper);
    for (int i = 0; i <= rowsUpper_; ++i)
        std::copy(row(i), row(i) + colsUpper_ + 1, wider.row(i));
    *this = std::move(wider);
}

void Matrix::shrink(int rowsUpper, int colsUpper) {
    if (rowsUpper < -1 || rowsUpper > rowsUpper_ || colsUpper < -1 || colsUpper > colsUpper_)
        throw std::out_of_range("shrinking a matrix beyond its bounds");
    rowsUpper_ = rowsUpper;
    colsUpper_ = colsUpper;
}

double& Matrix::at(int i, int j) {
    if (i < 0 || i > rowsUpper_)
        outOfRange("row", i);
    if (j < 0 || j > colsUpper_)
        outOfRange("column", j);
    return data_[offset(i, j)];
}

double Matrix::at(int i, int j) const {
    return const_cast<Matrix&>(*this).at(i, j);
}

bool Matrix::operator==(const Matrix& other) const {
    if (rowsUpper_ != other.rowsUpper_ || colsUpper_ != other.colsUpper_)
        return false;
    for (int i = 0; i <= rowsUpper_; ++i)
        if (!std::equal(row(i), row(i) + colsUpper_ + 1, other.row(i)))
            return false;
    return true;
}

void Vector::recreate(int upper) {
    std::vector<double> fresh(extent(upper), 0.0);
    data_.swap(fresh);
    upper_ = upper;
}

double& Vector::at(int i) {
    if (i < 0 || i > upper_)
        outOfRange("vector", i);
    return data_[static_cast<std::size_t>(i)];
}

double Vector::at(int i) const {
    return const_cast<Vector&>(*this).at(i);
}

} // namespace lse
