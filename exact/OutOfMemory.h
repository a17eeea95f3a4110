#pragma once

namespace lse::exact {

// From here on, an allocation by GMP, FLINT or MPFR (through GMP's) that fails writes `line`
// to standard error and ends the process with `status`, instead of GMP's abort. `line` must
// outlive the process: it is written without allocating.
void endProcessWhenArithmeticRunsOutOfMemory(const char* line, int status);

// lineq-exact's: the arithmetic's allocations as above, and operator new's too, end the
// process with kOutOfMemoryStatus instead of an exception thrown through C code.
void endProcessWhenMemoryRunsOut();

} // namespace lse::exact
