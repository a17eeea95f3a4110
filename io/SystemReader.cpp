// The entry points: the layout is chosen here, by the options or by the content, and read by
// its own reader.
#include "SystemReader.h"

#include "MarkedLayouts.h"
#include "NumberText.h"
#include "PlainReader.h"
#include "ReadFromSource.h"
#include "RowsReader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>

namespace lse::io {

namespace {

// Enough for either mark, indented.
constexpr std::size_t kHeadBytes = 64;
// Blank lines before a banner are looked past up to here; the text readers refuse a banner
// further on.
constexpr std::size_t kLongestHead = TextScanner::kBufferSize;
constexpr const MarkedLayout* kMarkedLayouts[] = {&kNumpyLayout, &kMatrixMarketLayout};

// The UTF-8 mark that spreadsheets often put first and editors do not show.
void skipByteOrderMark(TextScanner& in) {
    if (in.peek(3) == "\xEF\xBB\xBF")
        in.skip(3);
}

// The first bytes, with those of any blank lines before a mark; nothing is consumed.
std::string_view peekHead(TextScanner& in) {
    for (std::size_t count = kHeadBytes;; count *= 2) {
        const std::string_view head = in.peek(count);
        const std::size_t blanks = head.find_first_not_of(kBlankLines);
        if ((blanks != std::string_view::npos && blanks + kHeadBytes <= head.size()) ||
            head.size() < count || count >= kLongestHead)
            return head;
    }
}

// The total a plain system would have if the first field is its count: for the choice between
// the layouts when the first line holds several numbers.
std::optional<std::int64_t> plainTotalFor(const FirstLine& first) {
    const std::optional<double> m = decimalToDouble(first.first);
    if (first.headerLine != 0 || !m || *m < 0 || *m > kMaxOrder || std::trunc(*m) != *m)
        return std::nullopt;
    const auto order = static_cast<std::int64_t>(*m);
    return 1 + order + order * order;
}

// By content: one field alone on the first line is a count. A line of several numbers starts
// rows, unless the whole input is a count n followed by n * n + n numbers: a plain system
// written on one line, as a pipe often carries it.
LinearSystem readText(TextScanner& in, const ReadOptions& options) {
    const int maxOrder = options.maxOrder;
    if (options.format == InputFormat::plain)
        return readPlain(in, options, false);
    const FirstLine first = findFirstLine(in, true);
    if (options.format == InputFormat::rows)
        return *readRows(in, first, options, std::nullopt);
    if (first.headerLine == 0 && first.fields < 2)
        return readPlain(in, options, true);
    const std::optional<std::int64_t> plainTotal = plainTotalFor(first);
    // A plain system on one line, too long for a row.
    if (first.fields - 1 > maxOrder && plainTotal && first.fields == *plainTotal)
        return readPlain(in, options, true);
    if (std::optional<LinearSystem> rows = readRows(in, first, options, plainTotal))
        return std::move(*rows);
    if (!in.rewind())
        throw InputError(place(first.line) +
                         "a count followed by the whole system on more than one line cannot be "
                         "read again from a pipe; give the count alone on the first line");
    skipByteOrderMark(in);
    return readPlain(in, options, false);
}

} // namespace

LinearSystem readFrom(ByteSource& source, const ReadOptions& options, std::size_t bufferSize) {
    Utf16Decoding decoded(source);
    TextScanner in(decoded, bufferSize);
    in.watch(options.cancel, options.progress);
    in.throwIfCancelled();
    skipByteOrderMark(in);
    const std::string_view head = peekHead(in);
    LinearSystem system;
    const auto chosen = std::find_if(
        std::begin(kMarkedLayouts), std::end(kMarkedLayouts), [&](const MarkedLayout* layout) {
            return options.format == layout->format ||
                   (options.format == InputFormat::automatic && layout->announces(head));
        });
    if (chosen != std::end(kMarkedLayouts))
        system = (*chosen)->readSystem(in, options);
    else
        system = readText(in, options);
    system.bytes = in.position();
    return system;
}

namespace {

// b of n entries, or InputError in its layout's words.
Vector fitted(const RightHandSide& ahead, int n) {
    ahead.refuseUnlessOf(n);
    Vector b;
    b.recreate(n);
    for (int i = 1; i <= n; ++i)
        b(i) = ahead.entries[static_cast<std::size_t>(i - 1)];
    return b;
}

} // namespace

RightHandSide rightHandSideAheadFrom(ByteSource& source, bool keepWritten, std::size_t bufferSize) {
    Utf16Decoding decoded(source);
    TextScanner in(decoded, bufferSize);
    skipByteOrderMark(in);
    const std::string_view head = peekHead(in);
    for (const MarkedLayout* layout : kMarkedLayouts)
        if (layout->announces(head))
            return layout->readVector(in, keepWritten);
    return readPlainVector(in, keepWritten);
}

Vector rightHandSideFrom(ByteSource& source, int n, std::size_t bufferSize) {
    return fitted(rightHandSideAheadFrom(source, false, bufferSize), n);
}

void addRightHandSideFrom(LinearSystem& system, ByteSource& source, const ReadOptions& options,
                          std::size_t bufferSize) {
    if (system.hasB)
        throw std::logic_error("b was given to a system that holds it");
    addRightHandSide(system, rightHandSideAheadFrom(source, options.keepWritten, bufferSize),
                     options);
}

void addRightHandSide(LinearSystem& system, RightHandSide b, const ReadOptions& options) {
    if (system.hasB)
        throw std::logic_error("b was given to a system that holds it");
    // Only once b is whole, so that a refused one leaves the system as it was.
    system.b = fitted(b, system.n);
    if (options.keepWritten && system.n <= WrittenValues::kLargestOrder)
        for (std::size_t k = 0; k < b.written.size(); ++k)
            system.written.note(b.written[k].row, system.n + 1, b.written[k].text);
    if (!b.source.empty())
        system.bSource = std::move(b.source);
    system.hasB = true;
}

RightHandSide readRightHandSideAhead(std::string_view text, const ReadOptions& options) {
    MemorySource source(text);
    return rightHandSideAheadFrom(source, options.keepWritten);
}

RightHandSide readRightHandSideAheadFile(const std::string& path, const ReadOptions& options) {
    FileSource source(path);
    RightHandSide b = rightHandSideAheadFrom(source, options.keepWritten);
    b.source = path;
    return b;
}

RightHandSide readRightHandSideAhead(std::istream& in, const ReadOptions& options) {
    StreamSource source(in);
    return rightHandSideAheadFrom(source, options.keepWritten);
}

LinearSystem readSystem(std::string_view text, const ReadOptions& options) {
    MemorySource source(text);
    return readFrom(source, options);
}

LinearSystem readSystemFile(const std::string& path, const ReadOptions& options) {
    FileSource source(path);
    LinearSystem system = readFrom(source, options);
    system.source = path;
    return system;
}

LinearSystem readSystem(std::istream& in, const ReadOptions& options) {
    StreamSource source(in);
    return readFrom(source, options);
}

Vector readRightHandSide(std::string_view text, int n) {
    MemorySource source(text);
    return rightHandSideFrom(source, n);
}

Vector readRightHandSideFile(const std::string& path, int n) {
    FileSource source(path);
    return rightHandSideFrom(source, n);
}

Vector readRightHandSide(std::istream& in, int n) {
    StreamSource source(in);
    return rightHandSideFrom(source, n);
}

void addRightHandSide(LinearSystem& system, std::string_view text, const ReadOptions& options) {
    MemorySource source(text);
    addRightHandSideFrom(system, source, options);
}

void addRightHandSideFile(LinearSystem& system, const std::string& path,
                          const ReadOptions& options) {
    FileSource source(path);
    addRightHandSideFrom(system, source, options);
    system.bSource = path;
}

void addRightHandSide(LinearSystem& system, std::istream& in, const ReadOptions& options) {
    StreamSource source(in);
    addRightHandSideFrom(system, source, options);
}

void requireRightHandSide(const LinearSystem& system) {
    if (system.hasB)
        return;
    switch (system.format) {
    case InputFormat::matrixMarket:
        throw InputError("b is missing: a Matrix Market file holds the matrix A alone");
    case InputFormat::numpy:
        throw InputError("b is missing: the array is n x n, the matrix A alone; give an n x (n + "
                         "1) array with b as its last column");
    default:
        throw InputError("b is missing: the input holds " + std::to_string(system.n) + " rows of " +
                         std::to_string(system.n) +
                         " numbers, the matrix A alone; give b as the last number of each row");
    }
}

void setRowSums(LinearSystem& system) {
    for (int i = 1; i <= system.n; ++i) {
        double sum = 0;
        for (int j = 1; j <= system.n; ++j)
            sum = sum + system.A(i, j);
        if (!std::isfinite(sum))
            throw InputError("row " + std::to_string(i) +
                             " of A sums beyond the range of numbers, so b = A (1, ..., 1) "
                             "cannot be formed; give b with --rhs");
        system.b(i) = sum;
    }
    system.written.bIsRowSums = true;
}

} // namespace lse::io
