#pragma once

#include <cassert>
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

namespace lse {

// Storage aligned to a cache line, so that vector loads of a row never straddle two lines
// more often than they must.
template <typename T> struct CacheAligned {
    using value_type = T;
    static constexpr std::align_val_t kAlignment{64};

    CacheAligned() = default;
    template <typename U> CacheAligned(const CacheAligned<U>&) {}

    T* allocate(std::size_t count) {
        return static_cast<T*>(::operator new(count * sizeof(T), kAlignment));
    }
    void deallocate(T* p, std::size_t) { ::operator delete(p, kAlignment); }
    template <typename U> bool operator==(const CacheAligned<U>&) const { return true; }
};

// Doubles starting on a cache line, for the solvers' buffers.
using AlignedDoubles = std::vector<double, CacheAligned<double>>;

// bytes zeroed, on a cache line; std::bad_alloc when they cannot be had.
void* allocateZeroed(std::size_t bytes);
void releaseZeroed(void* p);

// Storage aligned to a cache line that comes zeroed from calloc, which hands out a large block
// as fresh pages from the system: zero without being written. A matrix then takes memory only
// where it is filled, and a short input that names a large order costs almost nothing before
// it is refused. Value-initialising an element writes nothing (calloc has made it 0).
template <typename T> struct ZeroedCacheAligned {
    using value_type = T;

    ZeroedCacheAligned() = default;
    template <typename U> ZeroedCacheAligned(const ZeroedCacheAligned<U>&) {}

    T* allocate(std::size_t count) { return static_cast<T*>(allocateZeroed(count * sizeof(T))); }
    void deallocate(T* p, std::size_t) { releaseZeroed(p); }
    template <typename U> void construct(U*) noexcept {}
    template <typename U, typename... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <typename U> bool operator==(const ZeroedCacheAligned<U>&) const { return true; }
};

// Doubles for a buffer of the order of n^2: zero without a memset, in large pages where the
// system lends them (allocateZeroed). A vector of AlignedDoubles writes each zero, touching
// every page in small ones first.
using ZeroedDoubles = std::vector<double, ZeroedCacheAligned<double>>;

// Dense matrix of doubles with rows 0..rowsUpper and columns 0..colsUpper, stored by rows.
// It does not exist (holds no storage) until first created. Element access is checked by
// assertions in debug builds only: a wrong index is a programming error, and the solvers
// check their shapes once at entry. at() checks always and throws std::out_of_range.
class Matrix {
public:
    bool exists() const { return rowsUpper_ >= 0; }
    int rowsUpper() const { return rowsUpper_; }
    int colsUpper() const { return colsUpper_; }

    // Discards the contents; the new matrix is zero-filled. Room for spareColumns more
    // columns is kept, so that widening by them later moves nothing. The old storage is
    // released first: when the new one cannot be had (std::bad_alloc), the matrix no longer
    // exists.
    void recreate(int rowsUpper, int colsUpper, int spareColumns = 0);
    // Grows to at least columns 0..colsUpper, keeping every entry at its indices; new columns
    // are zero. In place when the room was reserved.
    void widen(int colsUpper);
    // Gives up the rows and columns beyond the new bounds, in place: the entries kept keep
    // their indices, and the columns given up become room for widen.
    void shrink(int rowsUpper, int colsUpper);

    double& operator()(int i, int j) {
        assert(inBounds(i, j));
        return data_[offset(i, j)];
    }
    double operator()(int i, int j) const {
        assert(inBounds(i, j));
        return data_[offset(i, j)];
    }
    double& at(int i, int j);
    double at(int i, int j) const;

    // Row i as contiguous memory, column 0 first; rows are stride() doubles apart.
    double* row(int i) {
        assert(i >= 0 && i <= rowsUpper_);
        return data_.data() + offset(i, 0);
    }
    const double* row(int i) const {
        assert(i >= 0 && i <= rowsUpper_);
        return data_.data() + offset(i, 0);
    }
    std::size_t stride() const { return stride_; }

    // Same bounds and the same entries.
    bool operator==(const Matrix& other) const;

private:
    bool inBounds(int i, int j) const {
        return i >= 0 && i <= rowsUpper_ && j >= 0 && j <= colsUpper_;
    }
    std::size_t offset(int i, int j) const {
        return static_cast<std::size_t>(i) * stride_ + static_cast<std::size_t>(j);
    }

    int rowsUpper_ = -1;
    int colsUpper_ = -1;
    std::size_t stride_ = 0;
    std::vector<double, ZeroedCacheAligned<double>> data_;
};

// Vector of doubles with indices 0..upper; like Matrix, absent until created.
class Vector {
public:
    bool exists() const { return upper_ >= 0; }
    int upper() const { return upper_; }

    // Discards the contents; the new vector is zero-filled.
    void recreate(int upper);

    double& operator()(int i) {
        assert(i >= 0 && i <= upper_);
        return data_[static_cast<std::size_t>(i)];
    }
    double operator()(int i) const {
        assert(i >= 0 && i <= upper_);
        return data_[static_cast<std::size_t>(i)];
    }
    double& at(int i);
    double at(int i) const;

    double* data() { return data_.data(); }
    const double* data() const { return data_.data(); }

    bool operator==(const Vector& other) const = default;

private:
    int upper_ = -1;
    std::vector<double> data_;
};

} // namespace lse
