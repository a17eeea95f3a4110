#pragma once

#include <optional>
#include <vector>

// Plain second implementations of both algorithms, written from their steps on nested
// vectors with indices from 0. They share no code with the product's solvers so that a
// fault in one shows up as a difference from the other.
namespace lse::reference {

using Rows = std::vector<std::vector<double>>;

// Gauss elimination with partial pivoting (the earliest row wins a tie) and back
// substitution. nullopt when a pivot is zero or any step leaves the finite doubles.
std::optional<std::vector<double>> gauss(Rows a, std::vector<double> b);

struct CholeskyResult {
    bool decomposed = false;
    std::optional<std::vector<double>> x; // only after a decomposition
};

// A = L * L^T for an exactly symmetric A whose pivots are all strictly positive, then the
// forward and back substitutions.
CholeskyResult cholesky(const Rows& a, const std::vector<double>& b);

} // namespace lse::reference
