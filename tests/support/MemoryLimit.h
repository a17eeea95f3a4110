#pragma once

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace lse::test {

// Exit status of a death test's child that could not limit itself: no expectation accepts it.
inline constexpr int kNoLimit = 99;

inline long long addressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0;
    statm >> pages;
    return pages * 4096;
}

// For a death test's child only: the limit holds until the process ends.
inline void limitAddressSpace(unsigned long long bytes) {
    const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
    if (setrlimit(RLIMIT_AS, &limit) != 0) {
        std::perror("setrlimit");
        std::exit(kNoLimit);
    }
}

} // namespace lse::test
