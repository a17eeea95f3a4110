#pragma once

// The plain layout: n, then A row by row, then b.

#include "SystemReader.h"
#include "TextScanner.h"

namespace lse::io {

// The system from the scanner's place on (from the current line, when atLine).
LinearSystem readPlain(TextScanner& in, const ReadOptions& options, bool atLine);

// b alone: numbers in any arrangement of lines, as many as A's order, which is told later.
RightHandSide readPlainVector(TextScanner& in, bool keepWritten);

} // namespace lse::io
