#include "CholeskyBlocked.h"

#include "Power.h"
#include "Symmetry.h"
#include "Team.h"
#include "kernels/Kernels.h"
#include "kernels/Tuning.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

namespace lse::blocked {

namespace {

// What can go wrong at a column, in the order the literal decomposition meets them: the sum
// of the pivot, the pivot itself, then the entries below it.
// Keys are 3 * column + kind: 64 bits wide on every target, 32-bit WebAssembly included.
enum Failure : std::int64_t { pivotNotFinite = 0, pivotNotPositive = 1, entryNotFinite = 2 };
constexpr std::int64_t kNoFailure = std::int64_t{1} << 40;

// The schedule. Entry L(j, i) is (A(i, j) - L(i, i-1) L(j, i-1) - ... - L(i, 1) L(j, 1)) /
// L(i, i), the subtractions in that order, and needs row i of L complete first, so the rows
// of L are made one after another. A tile of rows j (as many as the vector unit takes side by
// side, half as many when so many would not stay in the second-level cache) goes through the steps
// i = 1, 2, ... together: at step i every row of the tile runs its own chain of subtractions,
// broadcasting L(i, k) and reading its own L(j, k), which the tile keeps in a buffer by k, top
// down; the tile's own rows are finished at their diagonals. Tiles are shared out among the
// threads; a tile waits at step i until row i is published by its tile.
class Decomposition {
public:
    Decomposition(Matrix& W, int n, Vector& diag, const SolveOptions& options)
        : W_(W), n_(n), diag_(diag), options_(options), kernels_(kernels::active()),
          tile_(kernels::choleskyTileFor(kernels_, n,
                                         options.blocks.choleskyTileBytes > 0
                                             ? options.blocks.choleskyTileBytes
                                             : kernels_.choleskyTileBytes)),
          lanes_(tile_.lanes),
          team_(n >= (options.blocks.threadsFrom > 0 ? options.blocks.threadsFrom
                                                     : tuning::kCholeskyThreadsFrom)
                    ? Team::sizeFor(options.threads)
                    : 1),
          tiles_(static_cast<std::size_t>(team_.size()),
                 AlignedDoubles(static_cast<std::size_t>(n + 1) * lanes_)),
          sums_(static_cast<std::size_t>(team_.size()), AlignedDoubles(lanes_)) {}

    CholeskyOutcome run();

private:
    bool symmetric();
    void decomposeTile(int first, int member);
    // The values [end - length, end) of a row, which the chains read downwards from end - 1.
    static void prefetchHead(const double* end, int length) {
        for (int q = 0; q < length + 8; q += 8)
            __builtin_prefetch(end - q - 1);
    }
    bool waitForRow(int i) const;
    // Steps from this one on cannot matter.
    std::int64_t failedColumn() const { return failure_.load() / 3; }
    void record(int column, Failure kind);

    Matrix& W_;
    const int n_;
    Vector& diag_;
    const SolveOptions& options_;
    const kernels::Table& kernels_;
    const kernels::CholeskyTile& tile_;
    const int lanes_;
    Team team_;
    // Per member: p(k, t) = L(first + t, k) of the tile at hand, and the sums of one step.
    std::vector<AlignedDoubles> tiles_;
    std::vector<AlignedDoubles> sums_;
    // Rows 1..rowsReady_ of L are in W, and their diagonals in diag.
    std::atomic<int> rowsReady_{0};
    // 3 * column + kind of the first failure in the literal order found so far.
    std::atomic<std::int64_t> failure_{kNoFailure};
    // Set by the member that saw a cancel; tiles waiting for rows it will not make give up.
    std::atomic<bool> stopped_{false};
};

CholeskyOutcome Decomposition::run() {
    if (!symmetric())
        return {CholeskyStatus::notSymmetric};
    std::atomic<int> nextTile{0};
    team_.run([&](int member) {
        for (;;) {
            const int first = 1 + nextTile.fetch_add(1) * lanes_;
            if (first > n_)
                return;
            if (options_.cancelRequested()) {
                stopped_.store(true);
                return;
            }
            decomposeTile(first, member);
            if (member == 0 && options_.progress && failure_.load() == kNoFailure)
                options_.progress(std::min(first + lanes_ - 1, n_), n_);
        }
    });
    // Tiles a cancel left unmade tell nothing, not even whether a failure was the first.
    if (stopped_.load())
        return {CholeskyStatus::cancelled};
    const std::int64_t failure = failure_.load();
    if (failure == kNoFailure)
        return {};
    // diag as the literal order leaves it: set up to the failing column, that one included
    // only when its pivot passed.
    const int column = static_cast<int>(failure / 3);
    const auto kind = static_cast<Failure>(failure % 3);
    for (int i = kind == entryNotFinite ? column + 1 : column; i <= n_; ++i)
        diag_(i) = 0;
    return {kind == pivotNotPositive ? CholeskyStatus::pivotNotPositive
                                     : CholeskyStatus::arithmeticError,
            column};
}

void Decomposition::decomposeTile(int first, int member) {
    const int last = std::min(first + lanes_ - 1, n_);
    const int width = last - first + 1;
    double* const p = tiles_[static_cast<std::size_t>(member)].data();
    double* const sum = sums_[static_cast<std::size_t>(member)].data();
    std::fill(p, p + static_cast<std::size_t>(last + 1) * lanes_, 0.0);
    // The tile's values of step k, L(first + t, k), from the top down: the sums, which run
    // from the last step to the first, then read upwards through memory.
    const auto tileRow = [&](int k) { return p + static_cast<std::ptrdiff_t>(last - k) * lanes_; };

    for (int i = 1; i <= last; ++i) {
        // Only steps before a failure found so far can matter.
        if (i >= failedColumn() || (i < first && !waitForRow(i)))
            return;
        // A tile of the last rows of a large system takes a while: a cancel need not wait.
        if (i % tuning::kCholeskyCancelSteps == 0 && options_.cancelRequested()) {
            stopped_.store(true);
            return;
        }
        // Each row's sum starts from A(i, j), read in the upper triangle; the next step's
        // part of A is asked for now, while this step's chains run.
        const double* const a = W_.row(i) + first;
        for (int t = 0; t < lanes_; ++t)
            sum[t] = t < width ? a[t] : 0.0;
        if (i < last)
            for (int t = 0; t < width; t += 8)
                __builtin_prefetch(W_.row(i + 1) + first + t);
        // Row i of L: published in W, or one of the tile's own rows.
        const bool own = i >= first;
        // The chains ask for the rest of a row as they go; without its head asked for here,
        // that came from the third-level cache or memory at the chains' pace.
        if (i + 1 < first && rowsReady_.load(std::memory_order_relaxed) > i)
            prefetchHead(W_.row(i + 1) + i + 1, std::min(i, tuning::kCholeskyRowHead));
        // The sums take the steps from the last down: the tile keeps them so, a published
        // row of L is read downwards from L(i, i - 1).
        const double* const l = own ? tileRow(i - 1) + (i - first) : W_.row(i) + i - 1;
        tile_.chain(i - 1, l, own ? lanes_ : -1, tileRow(i - 1), sum);

        // The pivot, when row i is the tile's own.
        int from = 0;
        if (own) {
            const double pivot = sum[i - first];
            if (!std::isfinite(pivot)) {
                record(i, pivotNotFinite);
                return;
            }
            if (!(pivot > 0)) {
                record(i, pivotNotPositive);
                return;
            }
            diag_(i) = power(pivot, 0.5);
            from = i - first + 1;
        }
        // L(j, i) for the rows below the diagonal.
        double* const step = tileRow(i);
        const double check =
            from < width ? kernels_.divide(width - from, sum + from, diag_(i), step + from) : 0;
        if (own) {
            // Row i of L is complete: publish it for the other tiles.
            double* const row = W_.row(i);
            for (int k = 1; k < i; ++k)
                row[k] = tileRow(k)[i - first];
            rowsReady_.store(i, std::memory_order_release);
        }
        if (check != 0) {
            record(i, entryNotFinite);
            return;
        }
    }
}

// Bands of rows dealt out in turn, the first (longest) first; one difference ends it for all.
bool Decomposition::symmetric() {
    std::atomic<int> nextBand{0};
    std::atomic<bool> differs{false};
    team_.run([&](int) {
        while (!differs.load(std::memory_order_relaxed)) {
            const int first = 1 + nextBand.fetch_add(1) * tuning::kSymmetryBand;
            if (first > n_)
                return;
            if (!symmetricRows(W_, n_, first, first + tuning::kSymmetryBand))
                differs.store(true);
        }
    });
    return !differs.load();
}

// False when a failure before row i made the wait needless.
bool Decomposition::waitForRow(int i) const {
    for (int spins = 0; rowsReady_.load(std::memory_order_acquire) < i; ++spins) {
        if (i >= failedColumn() || stopped_.load())
            return false;
        if (spins > 64)
            std::this_thread::yield();
    }
    return true;
}

void Decomposition::record(int column, Failure kind) {
    const std::int64_t key = std::int64_t{3} * column + kind;
    std::int64_t seen = failure_.load();
    while (key < seen && !failure_.compare_exchange_weak(seen, key)) {
    }
}

} // namespace

CholeskyOutcome choleskyDecompose(Matrix& W, int n, Vector& diag, const SolveOptions& options) {
    return Decomposition(W, n, diag, options).run();
}

} // namespace lse::blocked
