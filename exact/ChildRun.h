#pragma once

// Runs the exact solve in lineq-exact, a child process, so that a caller can stop it (FLINT
// has no cancel hook) and survive its running out of memory (GMP aborts then).

#include "ExactSolution.h"
#include "Matrix.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace lse::exact {

struct ChildOptions {
    std::string program; // the path of lineq-exact
    // The child's address space in bytes (RLIMIT_AS), 0 for no limit of its own.
    std::uint64_t addressSpaceLimit = 0;
    // Set from any thread to stop the child: it is killed within a tenth of a second or so.
    const std::atomic<bool>* cancel = nullptr;
};

enum class ChildOutcome {
    finished,    // report holds the child's answer
    cancelled,   // the caller's cancel killed it
    outOfMemory, // it ran out of memory and said so
    failed,      // it could not be started, ended otherwise, or answered nonsense: see message
};

struct ChildResult {
    ChildOutcome outcome = ChildOutcome::failed;
    ExactReport report;
    std::string message; // for failed: what went wrong, with the child's own words
};

// The exit status with which lineq-exact says it ran out of memory.
inline constexpr int kOutOfMemoryStatus = 3;

// lineq-exact beside the given program, as in the build tree, or where the package installs
// it relative to the program's folder (../libexec/lineq/); the first when neither exists.
std::string exactProgramBeside(const std::string& programPath);

// Solves A x = b exactly, as given and as written, in the child and judges the methods' solutions
// against it. Blocks until the child ends; no signal reaches the caller (a broken pipe is not one).
ChildResult runExactChild(const ChildOptions& options, const Matrix& A, const Vector& b, int n,
                          const WrittenValues& written, const std::vector<Vector>& methodSolutions);

} // namespace lse::exact
