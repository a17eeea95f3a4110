#pragma once

#include <cstddef>
#include <vector>

// What one core can do, measured on the machine the benchmark runs on: the multiply-subtract
// peaks of each vector width, its clock, and how fast it streams a buffer. Rates are over the
// thread's processor time, so that a machine shared with other work still shows the core's.
namespace lse::bench {

struct Peak {
    int lanes;          // doubles per vector
    double unfused;     // GFLOP/s of separate multiply and subtract
    double fused;       // GFLOP/s of fused multiply-add; 0 when the processor has none
    int chains;         // independent chains the peak loops run
    double subtraction; // seconds of one dependent subtraction
};

// For each vector width the processor has, narrowest first, over `rounds` rounds.
std::vector<Peak> peaks(long rounds);
double fusedRate(int lanes, long rounds);
bool hasFused();

// Cycles per second, from a chain of dependent integer additions (one cycle each).
double clockHz(long additions);

// Bytes per second read from a buffer of `bytes`, read over and over with the widest vectors
// for about `seconds`: the bandwidth of the cache level a buffer of that size lives in.
double readBandwidth(std::size_t bytes, double seconds);

// Processor time of the calling thread.
double threadSeconds();

} // namespace lse::bench

namespace lse::bench {

// Prints the peaks, the solvers' kernels against them for each instruction set this processor
// has, and the Cholesky chains against the bandwidth of the cache their tile lives in, for
// systems of each of `choleskyOrders` equations. Leaves the best kernels chosen.
void printMachine(bool quick, const std::vector<int>& choleskyOrders);

} // namespace lse::bench
