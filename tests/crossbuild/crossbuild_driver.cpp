// Solves seeded random systems with both methods and prints one hash over every status,
// every solution bit, the working state a success leaves, its accuracy figures and its refined
// solution, so that builds by different compilers, optimisation levels, processors and
// architectures can be compared by a line.
#include "Accuracy.h"
#include "Calculate.h"
#include "RandomSystems.h"
#include "Refinement.h"
#include "WrittenPairs.h"
#include "kernels/Kernels.h"
#include "kernels/Tuning.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

using lse::reference::System;

// FNV-1a, 64 bits.
class Hash {
public:
    void add(std::uint64_t value) {
        for (int byte = 0; byte < 8; ++byte) {
            state_ ^= (value >> (8 * byte)) & 0xff;
            state_ *= 0x100000001b3;
        }
    }
    // By memcpy: Emscripten's C++ library has no std::bit_cast.
    void add(double value) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        add(bits);
    }
    // A figure, or a mark that it is not available.
    void add(const std::optional<double>& figure) {
        add(std::uint64_t{figure.has_value()});
        if (figure)
            add(*figure);
    }
    void add(const std::optional<lse::AccuracyFigures>& figures) {
        add(std::uint64_t{figures.has_value()});
        if (figures) {
            add(figures->rcond);
            add(figures->berr);
            add(figures->ferr);
            add(figures->growth);
            add(static_cast<std::uint64_t>(figures->doubt()));
        }
    }
    // The refined solution with its tail, status and steps.
    void add(const lse::Refined& refined) {
        add(static_cast<std::uint64_t>(refined.status));
        add(static_cast<std::uint64_t>(refined.stop));
        add(static_cast<std::uint64_t>(refined.steps));
        for (std::size_t i = 1; i < refined.x.size(); ++i) {
            add(refined.x[i]);
            add(refined.tail[i]);
        }
        add(refined.boundUlps);
    }
    std::uint64_t value() const { return state_; }

private:
    std::uint64_t state_ = 0xcbf29ce484222325;
};

struct Arrays {
    lse::Matrix A;
    lse::Matrix W;
    lse::Vector b;
    lse::Vector x;
    int n;
    std::optional<double> norm1;

    explicit Arrays(const System& s) : n(static_cast<int>(s.b.size())) {
        A.recreate(n, n);
        b.recreate(n);
        x.recreate(n);
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j)
                A(i, j) = s.a[i - 1][j - 1];
            b(i) = s.b[i - 1];
        }
        norm1 = lse::copyWithNorm1(A, W, static_cast<std::int16_t>(n));
    }
};

// Returns whether the solve succeeded.
bool addGauss(Hash& hash, const System& s) {
    Arrays a(s);
    lse::MethodState state;
    const lse::CalculateOutcome outcome = lse::calculateGauss(
        a.W, a.b, a.x, static_cast<std::int16_t>(a.n), state, lse::SolveOptions{});
    const lse::GaussOutcome& gauss = *outcome.statusesAs<lse::GaussOutcome>();
    hash.add(static_cast<std::uint64_t>(gauss.status));
    hash.add(static_cast<std::uint64_t>(gauss.column));
    if (!outcome.solved())
        return false;
    for (int i = 1; i <= a.n; ++i)
        for (int j = 1; j <= a.n + 1; ++j)
            hash.add(a.W(i, j));
    hash.add(lse::accuracyFigures({a.A, a.norm1}, *outcome.factors, a.b, a.x));
    hash.add(lse::refine({a.A, nullptr, a.b, nullptr, a.n}, *outcome.factors, a.x));
    // Towards a system with tails, as written values give it: the residual's other kernel.
    lse::Matrix aLo;
    aLo.recreate(a.n, a.n);
    lse::Vector bLo;
    bLo.recreate(a.n);
    for (int i = 1; i <= a.n; ++i) {
        for (int j = 1; j <= a.n; ++j)
            aLo(i, j) = a.A(i, j) * 0x1p-60 * ((i + j) % 3 - 1);
        bLo(i) = a.b(i) * 0x1p-61;
    }
    hash.add(lse::refine({a.A, &aLo, a.b, &bLo, a.n}, *outcome.factors, a.x));
    return true;
}

// The written values' pairs by the error-free route: 17 to 19 digits, the 128-bit products
// among them, and fractions; and the words of the decimals' one scan.
void addWrittenPairs(Hash& hash) {
    std::uint64_t state = 48;
    for (int k = 0; k < 4000; ++k) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        const std::uint64_t digits = state >> (k % 3 == 0 ? 1 : 8);
        const std::string text =
            k % 5 == 0 ? std::to_string(digits >> 12) + "/" + std::to_string(1 + (state >> 40))
                       : std::to_string(digits) + "e-" + std::to_string(k % 23);
        const std::optional<lse::dd::Pair> pair = lse::writtenPair(text);
        hash.add(pair ? pair->hi : -1.0);
        hash.add(pair ? pair->lo : -1.0);
        // The reader's one scan: hi from the exact remainder, and the third word.
        const std::optional<lse::Words> words = lse::decimalTextWords(text);
        hash.add(words ? words->hi : -1.0);
        hash.add(words ? words->lo2 : -1.0);
    }
}

bool addCholesky(Hash& hash, const System& s, const lse::SolveOptions& options = {}) {
    Arrays a(s);
    lse::MethodState state;
    const lse::CalculateOutcome outcome =
        lse::calculateCholesky(a.W, a.b, a.x, static_cast<std::int16_t>(a.n), state, options);
    const lse::CholeskyStatuses& statuses = *outcome.statusesAs<lse::CholeskyStatuses>();
    hash.add(static_cast<std::uint64_t>(statuses.decomposition.status));
    hash.add(static_cast<std::uint64_t>(statuses.decomposition.column));
    if (!statuses.decomposition.decomposed())
        return false;
    hash.add(static_cast<std::uint64_t>(statuses.solve));
    for (int i = 1; i <= a.n; ++i) {
        hash.add(state.as<lse::modChol>()->diag()(i));
        hash.add(a.x(i));
        for (int j = 1; j < i; ++j)
            hash.add(a.W(i, j));
    }
    // The figures with A as given and as the upper triangle of W: two orders of summing.
    if (!outcome.solved())
        return false;
    hash.add(lse::accuracyFigures({a.A, a.norm1}, *outcome.factors, a.b, a.x));
    hash.add(lse::accuracyFigures({a.W, a.norm1, lse::KeptOfA::upperTriangle}, *outcome.factors,
                                  a.b, a.x));
    hash.add(lse::refine({a.A, nullptr, a.b, nullptr, a.n}, *outcome.factors, a.x));
    return true;
}

} // namespace

// Arguments: the number of small systems, then optionally the kernels' instruction set.
int main(int argc, char** argv) {
    const std::uint64_t small = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 4000;
    if (argc > 2) {
        bool chosen = false;
        for (const auto set : lse::kernels::supported()) {
            lse::kernels::choose(set);
            if (std::strcmp(lse::kernels::active().name, argv[2]) == 0) {
                chosen = true;
                break;
            }
        }
        if (!chosen) {
            std::fprintf(stderr, "no %s kernels on this processor\n", argv[2]);
            return 2;
        }
    }
    // Larger systems of every kind, on both sides of the size where the solvers change path,
    // and beyond one panel of the blocked elimination.
    using lse::tuning::kBlockedFrom;
    const int largeOrders[] = {kBlockedFrom - 1,
                               kBlockedFrom,
                               kBlockedFrom + 1,
                               96,
                               127,
                               129,
                               200,
                               lse::tuning::kGaussPanel + 1,
                               300};

    Hash hash;
    addWrittenPairs(hash);
    std::uint64_t systems = 0;
    std::uint64_t solved = 0;
    const auto run = [&](const System& s) {
        ++systems;
        solved += (addGauss(hash, s) ? 1 : 0) + (addCholesky(hash, s) ? 1 : 0);
    };
    for (std::uint64_t seed = 0; seed < small; ++seed)
        run(lse::reference::randomSystem(seed));
    // The large systems' Cholesky once more with the low tile, which otherwise serves only
    // orders beyond these.
    lse::SolveOptions lowTile;
    lowTile.blocks.choleskyTileBytes = 1;
    for (const int n : largeOrders)
        for (std::uint64_t seed = 0; seed < 8; ++seed) {
            const System s = lse::reference::randomSystem(seed, n);
            run(s);
            addCholesky(hash, s, lowTile);
        }
    std::printf("systems %llu, solutions %llu, hash %016llx\n",
                static_cast<unsigned long long>(systems), static_cast<unsigned long long>(solved),
                static_cast<unsigned long long>(hash.value()));
    return 0;
}
