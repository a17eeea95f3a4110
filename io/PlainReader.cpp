#include "PlainReader.h"

#include "ReaderHelpers.h"
#include "WordsSink.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

namespace lse::io {

namespace {

// Where rows of n + 1 put the k-th number (from 0): row k / (n + 1), b last, held in A's
// spare column.
double& rowsPlace(Matrix& A, std::int64_t k, int n) {
    return A.row(static_cast<int>(k / (n + 1)) + 1)[k % (n + 1) + 1];
}

// The n * n + n numbers that the plain order put into A's rows and b moved to where rows of
// n + 1 put them. With A taken as rows of n + 1, the k-th number's new place is k and any
// later number still stands past k, so one pass from the first moves them all in place.
void plainToRows(Matrix& A, Vector& b, int n) {
    const std::int64_t coefficients = static_cast<std::int64_t>(n) * n;
    for (std::int64_t k = 0; k < coefficients + n; ++k)
        rowsPlace(A, k, n) = k < coefficients ? A.row(static_cast<int>(k / n) + 1)[k % n + 1]
                                              : b(static_cast<int>(k - coefficients) + 1);
    for (int i = 1; i <= n; ++i)
        b(i) = std::exchange(A.row(i)[n + 1], 0);
}

// The texts noted at their plain places, at their places in rows of n + 1. Both readings
// note in input order, so the order stays as the rows reader's.
void plainToRows(WrittenValues& written, int n) {
    std::vector<WrittenValues::Record> records = written.records();
    for (WrittenValues::Record& r : records) {
        const std::int64_t k = r.column <= n
                                   ? static_cast<std::int64_t>(r.row - 1) * n + r.column - 1
                                   : static_cast<std::int64_t>(n) * n + r.row - 1;
        r.row = static_cast<int>(k / (n + 1)) + 1;
        r.column = static_cast<int>(k % (n + 1)) + 1;
    }
    written.assign(std::move(records), written.texts());
}

// Whether the numbers after a count alone on its line stand as n lines of n + 1, as
// textbooks write [A | b] under the number of equations. No plain system that the program
// writes has that shape, its b being a line of n. Counted as the fields come, until a line
// breaks the shape.
class RowsShape {
public:
    RowsShape(int n, std::int64_t countLine, bool possible)
        : width_(n + 1), possible_(possible && n >= 2), line_(countLine) {}
    void field(std::int64_t line) {
        if (!possible_)
            return;
        if (line != line_) {
            possible_ = inLine_ == width_ && lines_ < width_ - 1;
            line_ = line;
            inLine_ = 0;
            ++lines_;
        }
        possible_ = possible_ && ++inLine_ <= width_;
    }
    bool whole() const { return possible_ && lines_ == width_ - 1 && inLine_ == width_; }

private:
    std::int64_t width_;
    bool possible_;
    std::int64_t line_;
    std::int64_t inLine_ = width_; // the count's line, whole when nothing follows the count
    std::int64_t lines_ = 0;
};

} // namespace

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
    // Only where the layout is chosen by the content: a plain system asked for is read as one.
    RowsShape shape(n, in.line(), options.format == InputFormat::automatic);
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
        shape.field(in.line());
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
    if (shape.whole()) {
        plainToRows(system.A, system.b, n);
        system.format = InputFormat::rows;
        if (words)
            words->arrange([n](Matrix& lo, Vector& bLo) { plainToRows(lo, bLo, n); });
    }
    if (words)
        words->finish(system.written, n);
    if (shape.whole() && keepWritten)
        plainToRows(system.written, n);
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
