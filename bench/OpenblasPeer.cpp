#include "Peers.h"

extern "C" {
void dgesv_(const int* n, const int* nrhs, double* a, const int* lda, int* ipiv, double* b,
            const int* ldb, int* info);
void dposv_(const char* uplo, const int* n, const int* nrhs, double* a, const int* lda, double* b,
            const int* ldb, int* info);
void dgemm_(const char* transa, const char* transb, const int* m, const int* n, const int* k,
            const double* alpha, const double* a, const int* lda, const double* b, const int* ldb,
            const double* beta, double* c, const int* ldc);
void openblas_set_num_threads(int threads);
char* openblas_get_corename();
}

namespace lse::bench {

// LAPACK reads columns: the transpose of a row-major A is A itself in column order, so the
// matrix is transposed first (for the symmetric one it makes no difference).
namespace {

Dense columnsOf(const Dense& a, int n) {
    Dense t(a.size());
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            t[static_cast<std::size_t>(j) * n + i] = a[static_cast<std::size_t>(i) * n + j];
    return t;
}

} // namespace

std::vector<double> openblasDgesv(const Dense& a, const std::vector<double>& b, int n) {
    Dense lu = columnsOf(a, n);
    std::vector<double> x = b;
    std::vector<int> pivots(static_cast<std::size_t>(n));
    const int one = 1;
    int info = 0;
    dgesv_(&n, &one, lu.data(), &n, pivots.data(), x.data(), &n, &info);
    return info == 0 ? x : std::vector<double>{};
}

std::vector<double> openblasDposv(const Dense& a, const std::vector<double>& b, int n) {
    Dense factor = a;
    std::vector<double> x = b;
    const int one = 1;
    int info = 0;
    dposv_("L", &n, &one, factor.data(), &n, x.data(), &n, &info);
    return info == 0 ? x : std::vector<double>{};
}

void openblasUpdate(int rows, int cols, int depth, const double* a, const double* b, double* c) {
    // The solvers keep a by columns and b and c by rows; by columns, c's transpose is
    // c' - b' * a'.
    const double minusOne = -1;
    const double one = 1;
    dgemm_("N", "T", &cols, &rows, &depth, &minusOne, b, &cols, a, &rows, &one, c, &cols);
}

void openblasThreads(int threads) {
    openblas_set_num_threads(threads);
}

std::string openblasCore() {
    return openblas_get_corename();
}

} // namespace lse::bench
