#pragma once

#include <string>
#include <vector>

// The peers the benchmark measures the solvers against. Dense matrices by rows, indexed from 0.
namespace lse::bench {

using Dense = std::vector<double>; // n * n entries, row after row

// Each returns x; A and b are copied, as the solvers' working copy is.
std::vector<double> eigenPartialPivLu(const Dense& a, const std::vector<double>& b, int n);
std::vector<double> eigenLlt(const Dense& a, const std::vector<double>& b, int n);
std::vector<double> openblasDgesv(const Dense& a, const std::vector<double>& b, int n);
std::vector<double> openblasDposv(const Dense& a, const std::vector<double>& b, int n);

// c = c - a * b by OpenBLAS's dgemm, with a, b and c kept as the solvers' matrix-update kernel
// keeps them: a (rows x depth) by columns, b (depth x cols) and c (rows x cols) by rows.
void openblasUpdate(int rows, int cols, int depth, const double* a, const double* b, double* c);

void openblasThreads(int threads);
// The kernels OpenBLAS chose for this processor, e.g. "SkylakeX" or, when it does not know
// the processor, the generic "Prescott".
std::string openblasCore();

} // namespace lse::bench
