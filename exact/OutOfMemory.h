#pragma once

namespace lse::exact {

// From here on, an allocation that fails (GMP's, FLINT's, MPFR's through GMP's, or operator
// new) writes one line to standard error and ends the process with kOutOfMemoryStatus,
// instead of GMP's abort or an exception thrown through C code.
void endProcessWhenMemoryRunsOut();

} // namespace lse::exact
