#pragma once

#include "Matrix.h"

namespace lse {

// Sees a solve's work value by value, for showing its steps: each call comes once the value it
// names is computed and stored, and only reads. A solve with an observer takes the literal
// path whatever its order, so that what is seen is each operation as the algorithm is written,
// with the bits every path gives.
class StepObserver {
public:
    virtual ~StepObserver() = default;

    // Gauss on [A | b] in W. Step j exchanged row pivotRow with row j (pivotRow = j: none);
    // a zero pivot ends it here.
    virtual void pivotChosen(int /*j*/, int /*pivotRow*/, const Matrix& /*W*/) {}
    // Step j subtracted W(i, j) / W(j, j) times row j from each row i below it; W(i, j) still
    // holds that multiplier's numerator.
    virtual void eliminated(int /*j*/, const Matrix& /*W*/) {}
    // Back substitution: x(h) = (rhs - sum) / W(h, h), sum being that of x(l) W(h, l), l > h.
    virtual void backSubstituted(int /*h*/, double /*rhs*/, double /*sum*/, double /*x*/) {}

    // Cholesky. The pivot of column i: A(i, i) less the squares of row i of L, before its test.
    virtual void choleskyPivot(int /*i*/, double /*sum*/) {}
    // L(j, i) from its sum: the square root of the pivot for j = i, else the sum over L(i, i).
    virtual void choleskyEntry(int /*j*/, int /*i*/, double /*sum*/, double /*value*/) {}
    // The solve: y(i) = sum / L(i, i) forward, then x(i) = sum / L(i, i) backward.
    virtual void choleskySubstituted(bool /*forward*/, int /*i*/, double /*sum*/,
                                     double /*value*/) {}
};

} // namespace lse
