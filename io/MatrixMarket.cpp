#include "SystemLayout.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

namespace lse::io {

namespace {

constexpr char kComment = '%';
constexpr std::string_view kBanner = "%%MatrixMarket";
// Every whole number up to 2^53 is a double; no count here comes near it.
constexpr long long kLargestCount = 1LL << 53;

struct Banner {
    bool coordinate = false;
    bool symmetric = false;
};

struct Size {
    long long rows = 0;
    long long columns = 0;
    long long entries = 0; // coordinate form only
    long line = 0;
};

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20)) // the banner's words are letters only
            return false;
    return true;
}

// The banner's next word, which must be one of `choices`; the index of the one found.
int bannerWord(FieldSplitter& words, std::initializer_list<std::string_view> choices,
               const std::string& expected) {
    Field word;
    if (!words.next(word))
        throw InputError(place(1) + "expected " + expected + ", found the end of the line");
    int index = 0;
    for (const std::string_view choice : choices) {
        if (sameWord(word.text, choice))
            return index;
        ++index;
    }
    throw InputError(place(1, word.column) + "expected " + expected + ", found " +
                     describe(word.text));
}

Banner readBanner(LineReader& lines) {
    std::string_view line;
    lines.next(line);
    FieldSplitter words(line, '\n'); // the banner starts with the comment sign
    Field word;
    if (!words.next(word) || word.text != kBanner)
        throw InputError(place(1) + "expected the banner '%%MatrixMarket matrix ...'");
    bannerWord(words, {"matrix"}, "'matrix'");
    Banner banner;
    banner.coordinate = bannerWord(words, {"array", "coordinate"}, "'array' or 'coordinate'") == 1;
    bannerWord(words, {"real", "integer"}, "'real' or 'integer'");
    banner.symmetric = bannerWord(words, {"general", "symmetric"}, "'general' or 'symmetric'") == 1;
    if (words.next(word))
        throw InputError(place(1, word.column) + "expected the end of the banner, found " +
                         describe(word.text));
    return banner;
}

bool nextDataLine(LineReader& lines, std::string_view& line, char comment) {
    while (lines.next(line))
        if (!FieldSplitter::isBlank(line, comment))
            return true;
    return false;
}

Size readSize(LineReader& lines, bool coordinate) {
    const std::string layout = coordinate ? "rows, columns and entries" : "rows and columns";
    std::string_view line;
    if (!nextDataLine(lines, line, kComment))
        throw InputError("expected the size line (" + layout + "), found the end of the input");
    Size size;
    size.line = lines.number();
    long long* const values[] = {&size.rows, &size.columns, &size.entries};
    const char* const names[] = {"a number of rows", "a number of columns", "a number of entries"};
    const int wanted = coordinate ? 3 : 2;
    int found = 0;
    FieldSplitter fields(line, kComment);
    Field field;
    while (fields.next(field)) {
        if (found == wanted)
            throw InputError(place(size.line, field.column) + "expected only " + layout +
                             ", found " + describe(field.text));
        *values[found] = wholeNumberAt(field, size.line, 0, kLargestCount, names[found]);
        ++found;
    }
    if (found < wanted)
        throw InputError(place(size.line) + "expected " + layout + ", found " +
                         std::to_string(found) + " numbers");
    return size;
}

long long countFields(LineReader lines, char comment) {
    long long count = 0;
    std::string_view line;
    while (lines.next(line)) {
        FieldSplitter fields(line, comment);
        Field field;
        while (fields.next(field))
            ++count;
    }
    return count;
}

long long countDataLines(LineReader lines, char comment) {
    long long count = 0;
    std::string_view line;
    while (nextDataLine(lines, line, comment))
        ++count;
    return count;
}

void checkCount(const LineReader& lines, char comment, long long expected, long long found,
                const char* what) {
    if (found != expected)
        refuseFirstNonNumber(lines, comment);
    if (found != expected)
        throw InputError("expected " + std::to_string(expected) + " " + what + ", found " +
                         std::to_string(found));
}

// Calls store(value) for each field left, in order.
template <typename Store> void readValues(LineReader lines, char comment, Store store) {
    std::string_view line;
    while (lines.next(line)) {
        FieldSplitter fields(line, comment);
        Field field;
        while (fields.next(field))
            store(numberAt(field.text, lines.number(), field.column));
    }
}

// Column by column, as the array form stores it; a symmetric file holds the lower triangle.
void readArray(LineReader& lines, LinearSystem& system, bool symmetric) {
    const int n = system.n;
    const long long n2 = static_cast<long long>(n) * n;
    checkCount(lines, kComment, symmetric ? (n2 + n) / 2 : n2, countFields(lines, kComment),
               "entries");
    int i = 1;
    int j = 1;
    readValues(lines, kComment, [&](double value) {
        system.A(i, j) = value;
        if (symmetric)
            system.A(j, i) = value;
        if (++i > n) {
            ++j;
            i = symmetric ? j : 1;
        }
    });
}

void readCoordinate(LineReader& lines, LinearSystem& system, const Size& size, bool symmetric) {
    const int n = system.n;
    checkCount(lines, kComment, size.entries, countDataLines(lines, kComment),
               "entries, one per line");
    // The parser accepts no NaN, so an entry still NaN after the pass was never given, and one
    // that is not NaN when its line comes was given before.
    const double unset = std::numeric_limits<double>::quiet_NaN();
    for (int i = 1; i <= n; ++i)
        std::fill(system.A.row(i) + 1, system.A.row(i) + n + 1, unset);
    const std::string rows = " from 1 to " + std::to_string(n);
    std::string_view line;
    while (nextDataLine(lines, line, kComment)) {
        const long number = lines.number();
        FieldSplitter fields(line, kComment);
        Field field[3];
        int found = 0;
        Field extra;
        while (found < 3 && fields.next(field[found]))
            ++found;
        if (found < 3)
            throw InputError(place(number) + "expected a row, a column and a value, found " +
                             std::to_string(found) + " fields");
        if (fields.next(extra))
            throw InputError(place(number, extra.column) + "expected the end of the entry, found " +
                             describe(extra.text));
        const auto i =
            static_cast<int>(wholeNumberAt(field[0], number, 1, n, "a row index" + rows));
        const auto j =
            static_cast<int>(wholeNumberAt(field[1], number, 1, n, "a column index" + rows));
        const double value = numberAt(field[2].text, number, field[2].column);
        const std::string entry = "entry (" + std::to_string(i) + ", " + std::to_string(j) + ")";
        if (symmetric && j > i)
            throw InputError(place(number) + entry +
                             " lies above the diagonal, but a symmetric file holds the lower "
                             "triangle only");
        if (!std::isnan(system.A(i, j)))
            throw InputError(place(number) + entry + " is given twice");
        system.A(i, j) = value;
        if (symmetric)
            system.A(j, i) = value;
    }
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            if (std::isnan(system.A(i, j)))
                system.A(i, j) = 0;
}

} // namespace

bool isMatrixMarket(std::string_view data) {
    return data.starts_with(kBanner);
}

LinearSystem readMatrixMarket(std::string_view data, const ReadOptions& options) {
    const int maxOrder = options.maxOrder;
    LineReader lines(data);
    const Banner banner = readBanner(lines);
    const Size size = readSize(lines, banner.coordinate);
    if (size.rows != size.columns)
        throw InputError(place(size.line) + "the matrix is " + std::to_string(size.rows) + " x " +
                         std::to_string(size.columns) + ", but a system needs a square one");
    if (size.rows > maxOrder)
        throw InputError(place(size.line) +
                         orderTooLarge(static_cast<double>(size.rows), maxOrder));
    LinearSystem system = makeSystem(static_cast<int>(size.rows), InputFormat::matrixMarket);
    system.hasB = false;
    if (banner.coordinate)
        readCoordinate(lines, system, size, banner.symmetric);
    else
        readArray(lines, system, banner.symmetric);
    return system;
}

Vector readRightHandSide(std::string_view data, int n) {
    data = withoutByteOrderMark(data);
    Vector b;
    b.recreate(n);
    LineReader lines(data);
    char comment = '#';
    if (isMatrixMarket(data)) {
        const Banner banner = readBanner(lines);
        if (banner.coordinate || banner.symmetric)
            throw InputError(place(1) + "expected a vector in 'array general' form");
        const Size size = readSize(lines, false);
        if (size.rows != n || size.columns != 1)
            throw InputError(place(size.line) + "expected a vector of " + std::to_string(n) +
                             " x 1 entries, found " + std::to_string(size.rows) + " x " +
                             std::to_string(size.columns));
        comment = kComment;
    }
    checkCount(lines, comment, n, countFields(lines, comment), "entries of b");
    int i = 1;
    readValues(lines, comment, [&](double value) { b(i++) = value; });
    return b;
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
