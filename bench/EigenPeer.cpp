// Built with the processor's own instructions and fused multiply-add, as Eigen is normally
// used: a peer, not part of the program.
#include "Peers.h"

#include <Eigen/Cholesky>
#include <Eigen/LU>

namespace lse::bench {

namespace {

using Matrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;

Matrix matrixOf(const Dense& a, int n) {
    return Eigen::Map<const Matrix>(a.data(), n, n);
}

std::vector<double> vectorOf(const Eigen::VectorXd& x) {
    return {x.data(), x.data() + x.size()};
}

} // namespace

std::vector<double> eigenPartialPivLu(const Dense& a, const std::vector<double>& b, int n) {
    const Eigen::Map<const Eigen::VectorXd> rhs(b.data(), n);
    return vectorOf(Eigen::PartialPivLU<Matrix>(matrixOf(a, n)).solve(rhs));
}

std::vector<double> eigenLlt(const Dense& a, const std::vector<double>& b, int n) {
    const Eigen::Map<const Eigen::VectorXd> rhs(b.data(), n);
    return vectorOf(Eigen::LLT<Matrix>(matrixOf(a, n)).solve(rhs));
}

} // namespace lse::bench
