#pragma once

// What the readers of the different layouts share; not for use outside them.

#include "NumberBatch.h"
#include "SystemReader.h"
#include "TextFields.h"
#include "TextScanner.h"

#include <cstdint>
#include <string>

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
std::int64_t wholeNumberAt(const Field& field, std::int64_t line, std::int64_t least,
                           std::int64_t most, const std::string& what);

// Whether a text system of order n holds its numbers' words rather than their texts
// (ReadOptions::wordsFrom).
inline bool holdsWords(const ReadOptions& options, std::int64_t n) {
    return options.wordsFrom > 0 && n >= options.wordsFrom;
}

// The order given by a count field: refused as too large before anything is allocated.
int orderAt(const Field& field, std::int64_t line, int maxOrder, const std::string& what);

// Calls each(field) for every field from the scanner's place to the end of the input.
template <typename Each> void forEachField(TextScanner& in, Each each) {
    Field field;
    do {
        while (in.nextField(field))
            each(field);
    } while (in.nextLine());
}

// The batch of a reading, flushed whenever the scanner moves its buffer; detached at the end.
class BatchOnScanner {
public:
    // threads: 0 takes one per processor.
    BatchOnScanner(TextScanner& in, int threads);
    BatchOnScanner(const BatchOnScanner&) = delete;
    BatchOnScanner& operator=(const BatchOnScanner&) = delete;
    ~BatchOnScanner() { in_.setBeforeFill({}); }
    NumberBatch* operator->() { return &batch_; }
    NumberBatch& operator*() { return batch_; }

private:
    TextScanner& in_;
    NumberBatch batch_;
};

} // namespace lse::io
