#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace lse::test {

// A fuzzer's invariant: a broken one aborts, so that libFuzzer keeps the input that broke it.
inline void check(bool condition, const char* what, const std::string& input = {}) {
    if (condition)
        return;
    if (input.empty())
        std::fprintf(stderr, "invariant broken: %s\n", what);
    else
        std::fprintf(stderr, "invariant broken: %s: \"%s\"\n", what, input.c_str());
    std::abort();
}

} // namespace lse::test
