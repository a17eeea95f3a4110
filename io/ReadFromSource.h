#pragma once

// The entry points on any source of bytes, scanned with a buffer of the given size: for the
// readers' own tests and fuzzer, which feed them in awkward pieces.

#include "ByteSource.h"
#include "SystemReader.h"
#include "TextScanner.h"

#include <cstddef>

namespace lse::io {

LinearSystem readFrom(ByteSource& source, const ReadOptions& options,
                      std::size_t bufferSize = TextScanner::kBufferSize);
RightHandSide rightHandSideAheadFrom(ByteSource& source, bool keepWritten,
                                     std::size_t bufferSize = TextScanner::kBufferSize);
Vector rightHandSideFrom(ByteSource& source, int n,
                         std::size_t bufferSize = TextScanner::kBufferSize);
// What addRightHandSide and its kin do, the one place where b joins A.
void addRightHandSideFrom(LinearSystem& system, ByteSource& source, const ReadOptions& options,
                          std::size_t bufferSize = TextScanner::kBufferSize);

} // namespace lse::io
