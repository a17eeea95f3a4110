#include "PlainReader.h"

#include "ReaderHelpers.h"
#include "WordsSink.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace lse::io {

// Read as the fields come, so that the first field that is not a number, or one too many, is
// refused where it stands.
LinearSystem readPlain(TextScanner& in, const ReadOptions& options, bool atLine) {
    const int maxOrder = options.maxOrder;
    Field field;
    bool found = atLine && in.nextField(field);
    while (!found && in.nextLine())
        found = in.nextField(field);
    if (!found)
        throw InputError("expected the number of equations, found the end of the input");
    const int n = orderAt(field, in.line(), maxOrder, "the number of equations");
    const std::int64_t coefficients = static_cast<std::int64_t>(n) * n;
    const std::int64_t needed = coefficients + n;

    LinearSystem system;
    if (mayHold(in, static_cast<std::uint64_t>(needed)))
        system = makeSystem(n, InputFormat::plain);
    const bool storing = system.A.exists();
    system.written.dropped = options.keepWritten && n > WrittenValues::kLargestOrder;
    const bool keepWritten = storing && options.keepWritten && !system.written.dropped;
    std::optional<WordsSink> words;
    if (keepWritten && holdsWords(options, n))
        words.emplace(system.A, &system.b);
    const bool keepTexts = keepWritten && !words;
    if (keepTexts)
        // The texts take at most what is left of the input; a file much longer than its
        // numbers' usual 24 bytes each is not taken at its word.
        system.written.reserve(
            static_cast<std::size_t>(needed),
            static_cast<std::size_t>(std::min<std::uint64_t>(
                in.remaining().value_or(0), static_cast<std::uint64_t>(needed) * 24)));
    std::int64_t taken = 0;
    int row = 1;
    int column = 1;
    BatchOnScanner batch(in, options.threads);
    if (words)
        batch->holdWords(&*words);
    forEachField(in, [&](const Field& f) {
        if (++taken > needed) {
            batch->flush(); // a field before it that is not a number comes first
            throw InputError(place(in.line(), f.column) +
                             "expected the end of the input after A and b, found " +
                             describe(f.text));
        }
        double* const destination = !storing   ? nullptr
                                    : row <= n ? &system.A(row, column)
                                               : &system.b(column);
        batch->add(f.text, destination, in.line(), f.column, true);
        if (keepTexts)
            system.written.note(row <= n ? row : column, row <= n ? column : n + 1, f.text);
        if (++column > n) {
            column = 1;
            ++row;
        }
    });
    batch->flush();
    if (taken < coefficients)
        throw InputError("expected " + std::to_string(coefficients) + " coefficients of A, found " +
                         std::to_string(taken));
    if (taken < needed)
        throw InputError("expected " + std::to_string(n) + " entries of b, found " +
                         std::to_string(taken - coefficients));
    if (!storing)
        throw std::logic_error("a system was read without its arrays");
    if (words)
        words->finish(system.written, n);
    return system;
}

RightHandSide readPlainVector(TextScanner& in, bool keepWritten) {
    RightHandSide b;
    std::int64_t found = 0;
    in.nextLine();
    forEachField(in, [&](const Field& field) {
        const double value = numberAt(field.text, in.line(), field.column);
        if (++found > kMaxOrder)
            return;
        b.entries.push_back(value);
        if (keepWritten && found <= WrittenValues::kLargestOrder)
            b.written.note(static_cast<int>(found), 1, field.text);
    });
    b.refuseUnlessOf = [found](int n) {
        if (found != n)
            throw InputError("expected " + std::to_string(n) + " entries of b, found " +
                             std::to_string(found));
    };
    return b;
}

} // namespace lse::io
