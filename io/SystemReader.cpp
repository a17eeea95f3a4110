#include "SystemLayout.h"

#include "NumberBatch.h"
#include "NumberText.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <stdexcept>
#include <thread>

namespace lse::io {

namespace {

std::string count(long long value) {
    return std::to_string(value);
}

// The first line that holds data, after any header. Its fields are counted, and the scanner is
// taken back to its start, so that it can be read again once the layout is known.
struct FirstLine {
    long line = 0; // 0 when the input holds no data
    long fields = 0;
    std::string first;   // the first field's text
    long headerLine = 0; // the line of a CSV header, 0 when there is none
};

bool startsLikeNumber(std::string_view field) {
    return !field.empty() &&
           std::string_view("0123456789+-.").find(field.front()) != std::string_view::npos;
}

FirstLine findFirstLine(TextScanner& in, bool headerAllowed) {
    FirstLine first;
    while (in.nextLine()) {
        in.pinLine();
        Field field;
        // A header names columns: several fields, none of which starts like a number. A lone
        // word such as "3abc" is a mistyped number, not a header.
        bool header = headerAllowed && first.headerLine == 0;
        long fields = 0;
        while (in.nextField(field)) {
            if (fields == 0)
                first.first = field.text;
            header = header && !startsLikeNumber(field.text);
            ++fields;
        }
        if (fields == 0)
            continue;
        if (header && fields >= 2) {
            first.headerLine = in.line();
            continue;
        }
        in.restartLine();
        first.line = in.line();
        first.fields = fields;
        return first;
    }
    return first;
}

// The batch of a reading, flushed whenever the scanner moves its buffer; detached at the end.
class BatchOnScanner {
public:
    BatchOnScanner(TextScanner& in, int threads) : in_(in), batch_(threadsFor(threads)) {
        in_.setBeforeFill([this] { batch_.flush(); });
    }
    BatchOnScanner(const BatchOnScanner&) = delete;
    BatchOnScanner& operator=(const BatchOnScanner&) = delete;
    ~BatchOnScanner() { in_.setBeforeFill({}); }
    NumberBatch* operator->() { return &batch_; }

private:
    static int threadsFor(int threads) {
        return threads > 0 ? threads
                           : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    }
    TextScanner& in_;
    NumberBatch batch_;
};

// n, then A row by row, then b, from the scanner's place on (the current line, when atLine):
// read as the fields come, so that the first field that is not a number, or one too many, is
// refused where it stands.
LinearSystem readPlain(TextScanner& in, int maxOrder, bool atLine, int threads) {
    Field field;
    bool found = atLine && in.nextField(field);
    while (!found && in.nextLine())
        found = in.nextField(field);
    if (!found)
        throw InputError("expected the number of equations, found the end of the input");
    const int n = orderAt(field, in.line(), maxOrder, "the number of equations");
    const long long coefficients = static_cast<long long>(n) * n;
    const long long needed = coefficients + n;

    LinearSystem system;
    if (mayHold(in, static_cast<std::uint64_t>(needed)))
        system = makeSystem(n, InputFormat::plain);
    const bool storing = system.A.exists();
    long long taken = 0;
    int row = 1;
    int column = 1;
    BatchOnScanner batch(in, threads);
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
        if (++column > n) {
            column = 1;
            ++row;
        }
    });
    batch->flush();
    if (taken < coefficients)
        throw InputError("expected " + count(coefficients) + " coefficients of A, found " +
                         count(taken));
    if (taken < needed)
        throw InputError("expected " + count(n) + " entries of b, found " +
                         count(taken - coefficients));
    if (!storing)
        throw std::logic_error("a system was read without its arrays");
    return system;
}

// What the rows layout found; errors are kept rather than thrown where the choice between
// them depends on the number of lines, known only at the end.
struct RowsPass {
    long dataLines = 0;
    long long fields = 0;
    std::optional<std::string> shapeError;     // the first row of the wrong length
    std::optional<std::string> laterNonNumber; // the first field that is not a number after it
};

// n lines of n + 1 numbers, b last, or n lines of n numbers, A alone; the first data line
// tells the width. Lines are read into A whole (A has a row and a column to spare), and b is
// taken from its last column once the number of lines says which it is. When plainTotal is
// given and the input turns out to hold that many numbers, readAsPlain is set instead.
LinearSystem readRowsPass(TextScanner& in, const FirstLine& first, int maxOrder,
                          std::optional<long long> plainTotal, int threads, bool& readAsPlain) {
    if (first.line == 0)
        throw InputError("expected rows of coefficients and b, found the end of the input");
    const long width = first.fields;
    // A plain system on one line, too long for a row.
    if (width - 1 > maxOrder && plainTotal && width == *plainTotal)
        return readPlain(in, maxOrder, true, threads);
    if (width - 1 > maxOrder)
        throw InputError(place(first.line) +
                         orderTooLarge(static_cast<double>(width - 1), maxOrder) + " (a row of " +
                         count(width) + " numbers)");
    const bool squarePossible = width <= maxOrder;
    const auto rowsRoom = static_cast<int>(squarePossible ? width : width - 1);

    Matrix A;
    if (mayHold(in, static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(width - 1))) {
        try {
            A.recreate(rowsRoom, static_cast<int>(width), 1);
        } catch (const std::bad_alloc&) {
            throw InputError("not enough memory for a system of " + count(width - 1) +
                             " equations");
        }
    }
    const bool storing = A.exists();
    RowsPass pass;
    BatchOnScanner batch(in, threads);
    do {
        Field field;
        if (!in.nextField(field))
            continue; // a blank line
        const long row = ++pass.dataLines;
        double* const target = storing && row <= rowsRoom ? A.row(static_cast<int>(row)) : nullptr;
        long column = 0;
        do {
            if (column == width && !pass.shapeError)
                pass.shapeError = place(in.line(), field.column) + "expected " + count(width) +
                                  " numbers in the row, found more: " + describe(field.text);
            // The first mistake is refused at once; after a row of the wrong length, the first
            // field that is not a number is kept for the end.
            batch->add(field.text,
                       target != nullptr && column < width ? target + column + 1 : nullptr,
                       in.line(), field.column, !pass.shapeError);
            ++column;
        } while (in.nextField(field));
        pass.fields += column;
        if (column < width && !pass.shapeError)
            pass.shapeError = place(in.line()) + "expected " + count(width) +
                              " numbers in the row, found " + count(column);
    } while (in.nextLine());
    batch->flush();
    pass.laterNonNumber = batch->laterMistake();

    // A count m followed by exactly m * m + m numbers is a plain system whose first line holds
    // more than the count. No rows layout has that many numbers: w (w - 1) and w * w are never
    // m * m + m + 1.
    if (plainTotal && pass.fields == *plainTotal) {
        readAsPlain = true;
        return {};
    }
    const bool square = squarePossible && pass.dataLines == width;
    const long n = square ? width : width - 1;
    if (pass.dataLines != n) {
        if (pass.laterNonNumber)
            throw InputError(*pass.laterNonNumber);
        throw InputError("expected " + count(n) + " rows of " + count(width) +
                         " numbers, one per line, found " + count(pass.dataLines) +
                         (pass.dataLines == 1 ? " row" : " rows"));
    }
    if (pass.shapeError)
        throw InputError(*pass.shapeError);
    if (!storing)
        throw std::logic_error("a system was read without its arrays");

    LinearSystem system;
    system.n = static_cast<int>(n);
    system.format = InputFormat::rows;
    system.hasB = !square;
    system.b.recreate(system.n);
    if (!square)
        for (int i = 1; i <= system.n; ++i) {
            system.b(i) = A(i, system.n + 1);
            A(i, system.n + 1) = 0;
        }
    A.shrink(system.n, system.n);
    system.A = std::move(A);
    return system;
}

LinearSystem readRows(TextScanner& in, const FirstLine& first, int maxOrder,
                      std::optional<long long> plainTotal, int threads) {
    bool readAsPlain = false;
    LinearSystem system = readRowsPass(in, first, maxOrder, plainTotal, threads, readAsPlain);
    if (!readAsPlain)
        return system;
    if (!in.rewind())
        throw InputError(place(first.line) +
                         "a count followed by the whole system on more than one line cannot be "
                         "read again from a pipe; give the count alone on the first line");
    if (in.peek(3) == "\xEF\xBB\xBF")
        in.skip(3);
    return readPlain(in, maxOrder, false, threads);
}

// The total a plain system would have if the first field is its count: for the choice between
// the layouts when the first line holds several numbers.
std::optional<long long> plainTotalFor(const FirstLine& first) {
    const std::optional<double> m = textToDouble(first.first);
    if (first.headerLine != 0 || !m || *m < 0 || *m > kMaxOrder || std::trunc(*m) != *m)
        return std::nullopt;
    const auto order = static_cast<long long>(*m);
    return 1 + order + order * order;
}

LinearSystem readText(TextScanner& in, const ReadOptions& options) {
    const int maxOrder = options.maxOrder;
    const int threads = options.threads;
    if (options.format == InputFormat::plain)
        return readPlain(in, maxOrder, false, threads);
    const FirstLine first = findFirstLine(in, true);
    if (options.format == InputFormat::rows)
        return readRows(in, first, maxOrder, std::nullopt, threads);
    // By content: one field alone on the first line is a count. A line of several numbers
    // starts rows, unless the whole input is a count n followed by n * n + n numbers: a plain
    // system written on one line, as a pipe often carries it.
    if (first.headerLine == 0 && first.fields < 2)
        return readPlain(in, maxOrder, true, threads);
    return readRows(in, first, maxOrder, plainTotalFor(first), threads);
}

} // namespace

LinearSystem readFrom(ByteSource& source, const ReadOptions& options, std::size_t bufferSize) {
    TextScanner in(source, bufferSize);
    in.watch(options.cancel, options.progress);
    in.throwIfCancelled();
    if (in.peek(3) == "\xEF\xBB\xBF")
        in.skip(3); // the UTF-8 mark that spreadsheets often put first and editors do not show
    const std::string_view head = in.peek(kHeadBytes);
    LinearSystem system;
    if (options.format == InputFormat::numpy ||
        (options.format == InputFormat::automatic && isNumpy(head)))
        system = readNumpy(in, options);
    else if (options.format == InputFormat::matrixMarket ||
             (options.format == InputFormat::automatic && isMatrixMarket(head)))
        system = readMatrixMarket(in, options);
    else
        system = readText(in, options);
    system.bytes = in.position();
    return system;
}

Vector rightHandSideFrom(ByteSource& source, int n, std::size_t bufferSize) {
    TextScanner in(source, bufferSize);
    if (in.peek(3) == "\xEF\xBB\xBF")
        in.skip(3);
    const std::string_view head = in.peek(kHeadBytes);
    if (isNumpy(head))
        return readNumpyVector(in, n);
    if (isMatrixMarket(head))
        return readMatrixMarketVector(in, n);
    Vector b;
    b.recreate(n);
    long long i = 0;
    in.nextLine();
    forEachField(in, [&](const Field& field) {
        const double value = numberAt(field.text, in.line(), field.column);
        if (++i <= n)
            b(static_cast<int>(i)) = value;
    });
    if (i != n)
        throw InputError("expected " + count(n) + " entries of b, found " + count(i));
    return b;
}

LinearSystem makeSystem(int n, InputFormat format) {
    try {
        LinearSystem system;
        system.n = n;
        system.format = format;
        // One spare column, so that Gauss can solve in this array and widen it in place.
        system.A.recreate(n, n, 1);
        system.b.recreate(n);
        return system;
    } catch (const std::bad_alloc&) {
        throw InputError("not enough memory for a system of " + count(n) + " equations");
    }
}

bool mayHold(const TextScanner& in, std::uint64_t numbers) {
    const std::optional<std::uint64_t> left = in.remaining();
    return !left || numbers == 0 || *left >= 2 * numbers - 1;
}

std::string orderTooLarge(double n, int maxOrder) {
    return "n = " + doubleToText(n) + " is more than " + count(maxOrder) + " equations";
}

long long wholeNumberAt(const Field& field, long line, long long least, long long most,
                        const std::string& what) {
    const std::optional<double> value = textToDouble(field.text);
    if (!value || std::trunc(*value) != *value || *value < static_cast<double>(least) ||
        *value > static_cast<double>(most))
        throw InputError(place(line, field.column) + "expected " + what + ", found " +
                         describe(field.text));
    return static_cast<long long>(*value);
}

int orderAt(const Field& field, long line, int maxOrder, const std::string& what) {
    const std::optional<double> value = textToDouble(field.text);
    if (value && *value > maxOrder && std::trunc(*value) == *value)
        throw InputError(place(line, field.column) + orderTooLarge(*value, maxOrder));
    return static_cast<int>(wholeNumberAt(field, line, 0, maxOrder,
                                          what + ", a whole number from 0 to " + count(maxOrder)));
}

LinearSystem readSystem(std::string_view text, const ReadOptions& options) {
    MemorySource source(text);
    return readFrom(source, options);
}

LinearSystem readSystemFile(const std::string& path, const ReadOptions& options) {
    FileSource source(path);
    return readFrom(source, options);
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
        throw InputError("b is missing: the input holds " + count(system.n) + " rows of " +
                         count(system.n) +
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
    system.bIsRowSums = true;
}

} // namespace lse::io
