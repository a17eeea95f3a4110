#pragma once

#include <cstddef>
#include <vector>

namespace lse {

// Dense matrix of doubles with rows 0..rowsUpper and columns 0..colsUpper. It does not
// exist (holds no storage) until first created. Every element access is bounds-checked and
// throws std::out_of_range outside the bounds.
class Matrix {
public:
    bool exists() const { return rowsUpper_ >= 0; }
    int rowsUpper() const { return rowsUpper_; }
    int colsUpper() const { return colsUpper_; }

    // Discards the contents; the new matrix is zero-filled.
    void recreate(int rowsUpper, int colsUpper);
    // Grows to at least columns 0..colsUpper, keeping every entry at its indices; new columns
    // are zero.
    void widen(int colsUpper);

    double& operator()(int i, int j) { return data_[offset(i, j)]; }
    double operator()(int i, int j) const { return data_[offset(i, j)]; }

    bool operator==(const Matrix& other) const = default;

private:
    std::size_t offset(int i, int j) const;

    int rowsUpper_ = -1;
    int colsUpper_ = -1;
    std::vector<double> data_;
};

// Vector of doubles with indices 0..upper; like Matrix, absent until created, and checked.
class Vector {
public:
    bool exists() const { return upper_ >= 0; }
    int upper() const { return upper_; }

    // Discards the contents; the new vector is zero-filled.
    void recreate(int upper);

    double& operator()(int i) { return data_[offset(i)]; }
    double operator()(int i) const { return data_[offset(i)]; }

    bool operator==(const Vector& other) const = default;

private:
    std::size_t offset(int i) const;

    int upper_ = -1;
    std::vector<double> data_;
};

} // namespace lse
