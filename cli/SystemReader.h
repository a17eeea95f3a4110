#pragma once

#include "Limits.h"
#include "Matrix.h"

#include <string_view>

namespace lse::cli {

enum class InputFormat {
    automatic,    // chosen by the content
    plain,        // n, then A row by row, then b
    rows,         // n lines of n + 1 numbers, b last; CSV with or without a header line
    matrixMarket, // A in Matrix Market array or coordinate form; b comes separately
};

struct LinearSystem {
    int n = 0;
    Matrix A;                                // rows and columns 1..n
    Vector b;                                // 1..n
    InputFormat format = InputFormat::plain; // the layout it was read in
    bool bIsRowSums = false;                 // b = A (1, ..., 1), made by setRowSums
};

// The system held in `data`, every number through the program's one parser. A refused input
// throws InputError with one line naming the place and what was expected; an order above
// maxOrder is refused before anything is allocated. A Matrix Market system comes back with
// b zero, for readRightHandSide or setRowSums to fill.
LinearSystem readSystem(std::string_view data, InputFormat format, int maxOrder = kMaxOrder);

// b of n entries: a Matrix Market n x 1 array, or n numbers laid out as in the plain format.
Vector readRightHandSide(std::string_view data, int n);

// b(i) = A(i, 1) + A(i, 2) + ... + A(i, n), added from left to right starting from zero, so
// that every build forms the same b. A row whose sum leaves the range of numbers is refused.
void setRowSums(LinearSystem& system);

} // namespace lse::cli
