#pragma once

#include "MethodTable.h"

#include <istream>
#include <ostream>

namespace lse::cli {

// Where the program reads and writes; the real streams in main, strings in tests.
struct Console {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false; // show the progress line
};

namespace exitStatus {
constexpr int solved = 0;       // every method asked for produced a solution
constexpr int methodFailed = 1; // one failed on the numbers
constexpr int badInput = 2;     // a usage or input error; nothing was printed on standard output
} // namespace exitStatus

// lineq-solve with its arguments, offering `methods`; returns the exit status.
int run(int argc, const char* const argv[], Console& console,
        MethodTable methods = builtInMethods());

} // namespace lse::cli
