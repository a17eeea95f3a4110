// Solves the seeded random systems with both methods and prints one hash over every result
// bit, every success flag and every message, so that builds by different compilers and
// optimisation levels can be compared with a single line.
#include "ProductRun.h"
#include "RandomSystems.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// FNV-1a, 64 bits.
class Hash {
public:
    void add(std::uint64_t value) {
        for (int byte = 0; byte < 8; ++byte) {
            state_ ^= (value >> (8 * byte)) & 0xff;
            state_ *= 0x100000001b3;
        }
    }
    void add(const std::string& text) {
        for (const char c : text)
            add(static_cast<std::uint64_t>(static_cast<unsigned char>(c)));
    }
    std::uint64_t value() const { return state_; }

private:
    std::uint64_t state_ = 0xcbf29ce484222325;
};

void addRun(Hash& hash, const lse::reference::ProductRun& run) {
    hash.add(run.x.has_value() ? 1 : 0);
    if (run.x)
        for (const double value : *run.x)
            hash.add(std::bit_cast<std::uint64_t>(value));
    for (const auto& message : run.messages)
        hash.add(message.text);
}

} // namespace

int main(int argc, char** argv) {
    const std::uint64_t systems = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 4000;
    Hash hash;
    std::uint64_t solved = 0;
    for (std::uint64_t seed = 0; seed < systems; ++seed) {
        const lse::reference::System system = lse::reference::randomSystem(seed);
        const auto gauss = lse::reference::productGauss(system);
        const auto cholesky = lse::reference::productCholesky(system);
        addRun(hash, gauss);
        addRun(hash, cholesky);
        solved += (gauss.x ? 1 : 0) + (cholesky.x ? 1 : 0);
    }
    std::printf("systems %llu, solutions %llu, hash %016llx\n",
                static_cast<unsigned long long>(systems), static_cast<unsigned long long>(solved),
                static_cast<unsigned long long>(hash.value()));
    return 0;
}
