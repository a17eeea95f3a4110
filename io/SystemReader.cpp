#include "SystemLayout.h"

#include "NumberText.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <new>
#include <optional>

namespace lse::io {

namespace {

// What one pass over the input, splitting fields but converting none, tells: enough to choose
// the layout and to refuse a wrong count before the arrays are allocated.
struct Survey {
    long headerLine = 0; // the line of a CSV header, 0 when there is none
    long firstLine = 0;  // the first data line after any header, 0 when there is none
    long firstLineFields = 0;
    Field firstField{};
    long dataLines = 0;   // not counting a header
    long long fields = 0; // not counting a header
};

// A header names columns: several fields, none of which starts like a number. A lone word
// such as "3abc" is a mistyped number, not a header.
bool isHeader(std::string_view line) {
    FieldSplitter fields(line);
    Field field;
    long count = 0;
    while (fields.next(field)) {
        const std::string_view start = field.text.substr(0, 1);
        if (start.find_first_of("0123456789+-.") != std::string_view::npos)
            return false;
        ++count;
    }
    return count >= 2;
}

Survey survey(std::string_view data, bool headerAllowed) {
    Survey s;
    LineReader lines(data);
    std::string_view line;
    while (lines.next(line)) {
        if (FieldSplitter::isBlank(line))
            continue;
        if (s.firstLine == 0 && s.headerLine == 0 && headerAllowed && isHeader(line)) {
            s.headerLine = lines.number();
            continue;
        }
        FieldSplitter fields(line);
        Field field;
        long count = 0;
        while (fields.next(field)) {
            if (s.firstLine == 0 && count == 0)
                s.firstField = field;
            ++count;
        }
        if (s.firstLine == 0) {
            s.firstLine = lines.number();
            s.firstLineFields = count;
        }
        ++s.dataLines;
        s.fields += count;
    }
    return s;
}

// One field alone on the first line is a count. A line of several numbers starts augmented
// rows, unless the whole input is exactly a count n followed by n * n + n numbers: a plain
// system written on one line, as a pipe often carries it.
InputFormat detect(const Survey& s) {
    if (s.headerLine != 0)
        return InputFormat::rows;
    if (s.firstLineFields < 2)
        return InputFormat::plain;
    const std::optional<double> m = textToDouble(s.firstField.text);
    if (m && *m >= 0 && *m <= kMaxOrder && std::trunc(*m) == *m &&
        static_cast<double>(s.fields) == 1 + *m + *m * *m)
        return InputFormat::plain;
    return InputFormat::rows;
}

std::string count(long long value) {
    return std::to_string(value);
}

LinearSystem readPlain(std::string_view data, const Survey& s, int maxOrder) {
    if (s.firstLine == 0)
        throw InputError("expected the number of equations, found the end of the input");
    const int n = orderAt(s.firstField, s.firstLine, maxOrder, "the number of equations");
    const long long coefficients = static_cast<long long>(n) * n;
    const long long available = s.fields - 1;
    if (available < coefficients + n)
        refuseFirstNonNumber(LineReader(data), '#', 0, 1);
    if (available < coefficients)
        throw InputError("expected " + count(coefficients) + " coefficients of A, found " +
                         count(available));
    if (available < coefficients + n)
        throw InputError("expected " + count(n) + " entries of b, found " +
                         count(available - coefficients));

    LinearSystem system = makeSystem(n, InputFormat::plain);
    const long long needed = coefficients + n;
    long long taken = -1; // the count comes first
    int row = 1;
    int column = 1;
    LineReader lines(data);
    std::string_view line;
    while (lines.next(line)) {
        FieldSplitter fields(line);
        Field field;
        while (fields.next(field)) {
            if (taken++ < 0)
                continue;
            if (taken > needed)
                throw InputError(place(lines.number(), field.column) +
                                 "expected the end of the input after A and b, found " +
                                 describe(field.text));
            const double value = numberAt(field.text, lines.number(), field.column);
            if (row <= n)
                system.A(row, column) = value;
            else
                system.b(column) = value;
            if (++column > n) {
                column = 1;
                ++row;
            }
        }
    }
    return system;
}

LinearSystem readRows(std::string_view data, const Survey& s, int maxOrder) {
    if (s.firstLine == 0)
        throw InputError("expected rows of coefficients and b, found the end of the input");
    const long width = s.firstLineFields;
    // As many rows as numbers in a row: A alone, a square block copied without b.
    const bool square = s.dataLines == width && width <= maxOrder;
    if (width - 1 > maxOrder)
        throw InputError(place(s.firstLine) +
                         orderTooLarge(static_cast<double>(width - 1), maxOrder) + " (a row of " +
                         count(width) + " numbers)");
    const int n = static_cast<int>(square ? width : width - 1);
    if (s.dataLines != n)
        refuseFirstNonNumber(LineReader(data), '#', s.headerLine);
    if (s.dataLines != n)
        throw InputError("expected " + count(n) + " rows of " + count(width) +
                         " numbers, one per line, found " + count(s.dataLines) +
                         (s.dataLines == 1 ? " row" : " rows"));

    LinearSystem system = makeSystem(n, InputFormat::rows);
    system.hasB = !square;
    int row = 0;
    LineReader lines(data);
    std::string_view line;
    while (lines.next(line)) {
        if (lines.number() == s.headerLine || FieldSplitter::isBlank(line))
            continue;
        ++row;
        FieldSplitter fields(line);
        Field field;
        long column = 0;
        while (fields.next(field)) {
            if (column == width)
                throw InputError(place(lines.number(), field.column) + "expected " + count(width) +
                                 " numbers in the row, found more: " + describe(field.text));
            const double value = numberAt(field.text, lines.number(), field.column);
            ++column;
            if (column <= n)
                system.A(row, static_cast<int>(column)) = value;
            else
                system.b(row) = value;
        }
        if (column < width)
            throw InputError(place(lines.number()) + "expected " + count(width) +
                             " numbers in the row, found " + count(column));
    }
    return system;
}

// The whole file at once.
std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw InputError(std::string("cannot open: ") + std::strerror(errno));
    std::string data;
    try {
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::bad_alloc&) {
        throw InputError("not enough memory to read it");
    }
    if (in.bad())
        throw InputError(std::string("cannot read: ") + std::strerror(errno));
    return data;
}

} // namespace

std::string_view withoutByteOrderMark(std::string_view data) {
    if (data.starts_with("\xEF\xBB\xBF"))
        data.remove_prefix(3);
    return data;
}

LinearSystem makeSystem(int n, InputFormat format) {
    try {
        LinearSystem system;
        system.n = n;
        system.format = format;
        system.A.recreate(n, n, 1);
        system.b.recreate(n);
        return system;
    } catch (const std::bad_alloc&) {
        throw InputError("not enough memory for a system of " + count(n) + " equations");
    }
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

LinearSystem readSystem(std::string_view data, const ReadOptions& options) {
    const std::size_t bytes = data.size();
    data = withoutByteOrderMark(data);
    InputFormat format = options.format;
    const int maxOrder = options.maxOrder;
    if (format == InputFormat::matrixMarket ||
        (format == InputFormat::automatic && isMatrixMarket(data))) {
        LinearSystem system = readMatrixMarket(data, options);
        system.bytes = bytes;
        return system;
    }
    const Survey s = survey(data, format != InputFormat::plain);
    if (format == InputFormat::automatic)
        format = detect(s);
    LinearSystem system =
        format == InputFormat::plain ? readPlain(data, s, maxOrder) : readRows(data, s, maxOrder);
    system.bytes = bytes;
    return system;
}

void requireRightHandSide(const LinearSystem& system) {
    if (system.hasB)
        return;
    throw InputError(system.format == InputFormat::matrixMarket
                         ? "b is missing: a Matrix Market file holds the matrix A alone"
                         : "b is missing: the input holds " + count(system.n) + " rows of " +
                               count(system.n) +
                               " numbers, the matrix A alone; give b as the last number of "
                               "each row");
}

LinearSystem readSystemFile(const std::string& path, const ReadOptions& options) {
    return readSystem(readFile(path), options);
}

Vector readRightHandSideFile(const std::string& path, int n) {
    return readRightHandSide(readFile(path), n);
}

} // namespace lse::io
