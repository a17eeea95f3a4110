// The same chains as Peak.cpp, contracted into fused multiply-adds (-ffp-contract=fast) where
// the processor has them: the peak the peers, which fuse, can reach. The solvers never fuse.
#include "ChainLoop.h"
#include "Meter.h"

namespace lse::bench {

bool hasFused() {
#if defined(__FMA__) || defined(__aarch64__)
    return true;
#else
    return false;
#endif
}

double fusedRate(int lanes, long rounds) {
    switch (lanes) {
#if defined(__AVX512F__)
    case 8:
        return chains::rate<8>(rounds);
#endif
#if defined(__AVX__)
    case 4:
        return chains::rate<4>(rounds);
#endif
    default:
        return chains::rate<2>(rounds);
    }
}

} // namespace lse::bench
