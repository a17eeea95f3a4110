#pragma once

// The plain layout: n, then A row by row, then b.

#include "SystemReader.h"
#include "TextScanner.h"

namespace lse::io {

// The system from the scanner's place on (from the current line, when atLine).
LinearSystem readPlain(TextScanner& in, const ReadOptions& options, bool atLine);

// b alone: n numbers in any arrangement of lines; their texts noted as column n + 1 where
// `written` is given.
Vector readPlainVector(TextScanner& in, int n, WrittenValues* written);

} // namespace lse::io
