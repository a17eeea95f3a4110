#pragma once

// What the readers of the different layouts share; not for use outside them.

#include "SystemReader.h"
#include "TextFields.h"
#include "TextScanner.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lse::io {

// A zero-filled system of order n, A with room for one more column; InputError when the
// memory cannot be had.
LinearSystem makeSystem(int n, InputFormat format);

// Whether the bytes left may hold `numbers` numbers, each at least one byte and a separator.
// A reader allocates its arrays only then, so that a short input that names a large order is
// refused without them (from a pipe, whose length is unknown, it allocates them).
bool mayHold(const TextScanner& in, std::uint64_t numbers);

// "n = 40000 is more than 32766 equations"
std::string orderTooLarge(double n, int maxOrder);

// A field that must hold a whole number from least to most; otherwise InputError saying that
// `what` was expected.
long long wholeNumberAt(const Field& field, long line, long long least, long long most,
                        const std::string& what);

// The order given by a count field: refused as too large before anything is allocated.
int orderAt(const Field& field, long line, int maxOrder, const std::string& what);

// Calls each(field) for every field from the scanner's place to the end of the input.
template <typename Each> void forEachField(TextScanner& in, Each each) {
    Field field;
    do {
        while (in.nextField(field))
            each(field);
    } while (in.nextLine());
}

// The first bytes decide: a NumPy array, a Matrix Market file (whose banner may be indented).
bool isNumpy(std::string_view head);
bool isMatrixMarket(std::string_view head);
constexpr std::size_t kHeadBytes = 64;

// The system from any source, scanned with a buffer of the given size.
LinearSystem readFrom(ByteSource& source, const ReadOptions& options,
                      std::size_t bufferSize = TextScanner::kBufferSize);
Vector rightHandSideFrom(ByteSource& source, int n,
                         std::size_t bufferSize = TextScanner::kBufferSize);

LinearSystem readMatrixMarket(TextScanner& in, const ReadOptions& options);
Vector readMatrixMarketVector(TextScanner& in, int n);
LinearSystem readNumpy(TextScanner& in, const ReadOptions& options);
Vector readNumpyVector(TextScanner& in, int n);

} // namespace lse::io
