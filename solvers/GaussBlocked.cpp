#include "GaussBlocked.h"

#include "Team.h"
#include "kernels/Kernels.h"
#include "kernels/Tuning.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <vector>

namespace lse::blocked {

namespace {

// The built-in block sizes; their reasons are in kernels/Tuning.h.
constexpr BlockSizes kBuiltIn{
    .panel = tuning::kGaussPanel,
    .leaf = tuning::kGaussLeaf,
    .triangleLeaf = tuning::kGaussTriangleLeaf,
    .chunk = tuning::kGaussChunk,
    .threadsFrom = tuning::kGaussThreadsFrom,
};

int orBuiltIn(int chosen, int builtIn) {
    return chosen > 0 ? chosen : builtIn;
}

// The multipliers of two panels take 2 (n + 1) panel doubles: the panel narrows, a multiple of
// 8 steps, so that they stay within their bound.
int builtInPanel(int n) {
    const std::size_t fits =
        tuning::kGaussMultiplierBytes / (2 * sizeof(double) * (static_cast<std::size_t>(n) + 1));
    return static_cast<int>(
        std::clamp<std::size_t>(fits / 8 * 8, tuning::kGaussNarrowestPanel, kBuiltIn.panel));
}

// How the schedule keeps the literal order. Step k swaps rows k and p(k) over columns k..n+1
// and then subtracts m(i, k) * W(k, c) from each W(i, c) below. Each column can take its steps
// on its own and later than the literal order does, as long as it takes them in turn: the
// panel's columns take them as the panel is eliminated, the columns right of the panel take
// a whole panel's steps at once. For those, all the panel's swaps come first; row i then
// holds what the literal order would have in whichever row it passes through, so its
// multipliers are kept in a buffer whose rows are swapped along with W's rows, while W keeps
// each multiplier's numerator where the literal order leaves it. Each W(i, c) then receives
// m(i, k) * W(k, c) for k ascending, one product and one subtraction at a time.
class Elimination {
public:
    Elimination(Matrix& W, int n, const SolveOptions& options)
        : W_(W), n_(n), options_(options), kernels_(kernels::active()),
          panel_(orBuiltIn(options.blocks.panel, builtInPanel(n))),
          leaf_(orBuiltIn(options.blocks.leaf, kBuiltIn.leaf)),
          triangleLeaf_(orBuiltIn(options.blocks.triangleLeaf, kBuiltIn.triangleLeaf)),
          chunk_(orBuiltIn(options.blocks.chunk, kBuiltIn.chunk)),
          team_(n >= orBuiltIn(options.blocks.threadsFrom, kBuiltIn.threadsFrom)
                    ? Team::sizeFor(options.threads)
                    : 1),
          multipliers_{ZeroedDoubles(static_cast<std::size_t>(n + 1) * panel_),
                       ZeroedDoubles(n > panel_ ? static_cast<std::size_t>(n + 1) * panel_ : 0)},
          pivotRow_(static_cast<std::size_t>(n + 1)),
          workspaces_(static_cast<std::size_t>(team_.size()),
                      AlignedDoubles(kernels_.gemmWorkspace(panel_))),
          leafColumns_(static_cast<std::size_t>(leaf_) * (n + 1)),
          checks_(static_cast<std::size_t>(team_.size()), 0.0) {}

    GaussOutcome run();

private:
    double* at(int i, int j) { return W_.row(i) + j; }
    // The multiplier of step `step` for the row now at `row`; consecutive panels alternate
    // between two buffers, so that one panel can be eliminated while the last one's updates
    // are still being applied.
    // A step's multipliers lie in a column, so that they are written and read in order.
    double* multiplier(int row, int step) {
        const int panel = (step - 1) / panel_;
        return &multipliers_[panel % 2][static_cast<std::size_t>((step - 1) % panel_) * (n_ + 1) +
                                        static_cast<std::size_t>(row)];
    }
    // Rows i and p of a panel's multipliers, for the steps [first, end) taken so far.
    void swapMultipliers(int i, int p, int first, int end) {
        for (int k = first; k < end; ++k)
            std::swap(*multiplier(i, k), *multiplier(p, k));
    }
    int factor(int first, int end);
    int factorLeaf(int first, int end);
    void applySteps(int first, int end, int firstColumn, int endColumn, int member);
    void triangle(int first, int end, int firstColumn, int endColumn, int member);
    void updateTrailing(int first, int end, int firstColumn,
                        const std::function<void()>& lead = {});
    // The outcome, or an arithmetic error if any result so far was not finite.
    GaussOutcome unlessNotFinite(GaussOutcome outcome) const;

    Matrix& W_;
    const int n_;
    const SolveOptions& options_;
    const kernels::Table& kernels_;
    const int panel_;
    const int leaf_;
    const int triangleLeaf_;
    const int chunk_;
    Team team_;
    ZeroedDoubles multipliers_[2];
    std::vector<int> pivotRow_;
    std::vector<AlignedDoubles> workspaces_;
    // The calling thread's: a leaf's columns in column order.
    AlignedDoubles leafColumns_;
    // Per member: 0 while every result was finite, NaN after any was not.
    std::vector<double> checks_;
    // Set by the member that saw a cancel and left columns without their steps.
    std::atomic<bool> stopped_{false};
};

GaussOutcome Elimination::run() {
    int first = 1;
    int end = std::min(first + panel_, n_);
    if (options_.cancelRequested())
        return {GaussStatus::cancelled};
    int zero = factor(first, end);
    for (;;) {
        // Bring the columns right of the panel through its steps, up to a zero pivot if there
        // is one, so that an overflow those steps cause anywhere is reported before it, as in
        // the literal order.
        if (zero != 0) {
            updateTrailing(first, zero, end);
            return unlessNotFinite({GaussStatus::zeroPivot, zero});
        }
        if (end == n_) {
            updateTrailing(first, end, end);
            return unlessNotFinite({GaussStatus::solved, 0, std::move(pivotRow_)});
        }
        // The calling thread brings the next panel's columns through these steps and
        // eliminates that panel, while the others update the columns beyond it.
        const int nextEnd = std::min(end + panel_, n_);
        int nextZero = 0;
        updateTrailing(first, end, nextEnd, [&] {
            applySteps(first, end, end, nextEnd, 0);
            nextZero = factor(end, nextEnd);
        });
        if (stopped_.load() || options_.cancelRequested())
            return {GaussStatus::cancelled};
        if (options_.progress)
            options_.progress(end - 1, n_);
        first = end;
        end = nextEnd;
        zero = nextZero;
    }
}

GaussOutcome Elimination::unlessNotFinite(GaussOutcome outcome) const {
    // Columns a cancel left behind tell nothing.
    if (stopped_.load())
        return {GaussStatus::cancelled};
    double check = 0;
    for (const double c : checks_)
        check += c;
    return check == 0 ? outcome : GaussOutcome{GaussStatus::arithmeticError};
}

// Columns [first, end) through their own steps: the left half, then the left half's steps on
// the right half, then the right half. Returns the column of a zero pivot, or 0; the columns
// of the panel right of it have then taken every step before it.
int Elimination::factor(int first, int end) {
    if (end - first <= leaf_)
        return factorLeaf(first, end);
    const int middle = first + (end - first) / 2;
    const int zero = factor(first, middle);
    applySteps(first, zero != 0 ? zero : middle, middle, end, 0);
    if (zero != 0)
        return zero;
    return factor(middle, end);
}

// The steps of a few columns one at a time. The leaf's columns are copied out into column
// order first: each step then divides one contiguous column by the pivot and updates the
// others with vector kernels, instead of visiting every row of W once per step.
int Elimination::factorLeaf(int first, int end) {
    const int rows = n_ - first + 1;
    double* const copy = leafColumns_.data();
    // column(c)[i] is W(i, c), for rows first..n.
    const auto column = [&](int c) {
        return copy + static_cast<std::ptrdiff_t>(c - first) * rows - first;
    };
    for (int i = first; i <= n_; ++i)
        for (int c = first; c < end; ++c)
            column(c)[i] = *at(i, c);

    double check = 0;
    int zero = 0;
    for (int j = first; j < end; ++j) {
        // Pivot search: the earliest row of largest magnitude wins.
        const int p = j + kernels_.largestMagnitude(n_ - j + 1, column(j) + j);
        // Row exchange, within the leaf; the other columns take it later.
        pivotRow_[static_cast<std::size_t>(j)] = p;
        if (p != j) {
            for (int c = j; c < end; ++c)
                std::swap(column(c)[j], column(c)[p]);
            swapMultipliers(j, p, j - (j - 1) % panel_, j);
        }
        // Zero test.
        const double pivot = column(j)[j];
        if (pivot == 0) {
            zero = j;
            break;
        }
        // The multipliers, then the leaf's columns right of j.
        const int below = n_ - j;
        double* const multipliers = multiplier(j + 1, j);
        check += kernels_.divide(below, column(j) + j + 1, pivot, multipliers);
        for (int c = j + 1; c < end; ++c)
            check += kernels_.axpy(below, column(c)[j], multipliers, column(c) + j + 1);
    }

    for (int i = first; i <= n_; ++i)
        for (int c = first; c < end; ++c)
            *at(i, c) = column(c)[i];
    checks_[0] += check;
    return zero;
}

// Steps [first, end) on columns [firstColumn, endColumn): the swaps, then the rows of those
// steps among themselves, then every row below them.
void Elimination::applySteps(int first, int end, int firstColumn, int endColumn, int member) {
    if (end <= first || endColumn <= firstColumn)
        return;
    for (int k = first; k < end; ++k) {
        const int p = pivotRow_[static_cast<std::size_t>(k)];
        if (p != k)
            std::swap_ranges(at(k, firstColumn), at(k, endColumn), at(p, firstColumn));
    }
    triangle(first, end, firstColumn, endColumn, member);
    checks_[static_cast<std::size_t>(member)] += kernels_.gemm(
        n_ - end + 1, endColumn - firstColumn, end - first, multiplier(end, first),
        static_cast<std::size_t>(n_ + 1), at(first, firstColumn), W_.stride(), at(end, firstColumn),
        W_.stride(), workspaces_[static_cast<std::size_t>(member)].data());
}

// Rows first + 1 .. end - 1 take the steps [first, row): the top half's rows, then the top
// half's steps on the bottom half, then the bottom half's rows.
void Elimination::triangle(int first, int end, int firstColumn, int endColumn, int member) {
    double& check = checks_[static_cast<std::size_t>(member)];
    const int columns = endColumn - firstColumn;
    if (end - first <= triangleLeaf_) {
        for (int r = first + 1; r < end; ++r)
            for (int k = first; k < r; ++k)
                check += kernels_.axpy(columns, *multiplier(r, k), at(k, firstColumn),
                                       at(r, firstColumn));
        return;
    }
    const int middle = first + (end - first) / 2;
    triangle(first, middle, firstColumn, endColumn, member);
    check += kernels_.gemm(end - middle, columns, middle - first, multiplier(middle, first),
                           static_cast<std::size_t>(n_ + 1), at(first, firstColumn), W_.stride(),
                           at(middle, firstColumn), W_.stride(),
                           workspaces_[static_cast<std::size_t>(member)].data());
    triangle(middle, end, firstColumn, endColumn, member);
}

// Columns firstColumn .. n + 1 take steps [first, end), in chunks shared out among the team
// (each column's result is the same whoever takes it), after member 0 has done its lead.
void Elimination::updateTrailing(int first, int end, int firstColumn,
                                 const std::function<void()>& lead) {
    const int endColumn = n_ + 2;
    std::atomic<int> next{firstColumn};
    team_.run([&](int member) {
        if (member == 0 && lead)
            lead();
        for (;;) {
            const int from = next.fetch_add(chunk_);
            if (from >= endColumn)
                return;
            // A cancel stops every member at its next chunk; the columns left behind make W
            // scratch, which a cancelled solve may leave.
            if (options_.cancelRequested()) {
                stopped_.store(true);
                return;
            }
            applySteps(first, end, from, std::min(from + chunk_, endColumn), member);
        }
    });
}

} // namespace

GaussOutcome gaussEliminate(Matrix& W, int n, const SolveOptions& options) {
    return Elimination(W, n, options).run();
}

} // namespace lse::blocked
