#include "RowsReader.h"

#include "MarkedLayouts.h"
#include "NumberForm.h"
#include "NumberText.h"
#include "ReaderHelpers.h"
#include "WordsSink.h"

#include <new>
#include <stdexcept>
#include <string_view>

namespace lse::io {

namespace {

// As the number grammar has it, a minus sign as word processors write it (U+2212) included.
bool startsLikeNumber(std::string_view field) {
    const std::optional<std::string> ascii = asciiMinus(field);
    return beginsLikeNumber(ascii ? std::string_view(*ascii) : field);
}

// What the rows layout found; errors are kept rather than thrown where the choice between
// them depends on the number of lines, known only at the end.
struct RowsPass {
    std::int64_t dataLines = 0;
    std::int64_t fields = 0;
    std::optional<std::string> shapeError;     // the first row of the wrong length
    std::optional<std::string> laterNonNumber; // the first field that is not a number after it
};

// Every row's fields into A's rows (from row 1 while `A` has room; none when it does not exist),
// their numbers parsed by `batch` and their texts noted in `written` when `keepWritten`. Apart
// and never inlined, with no object alive that has a destructor: in the page's WebAssembly an
// exception is thrown through JavaScript, and each call that may throw while such an object is
// alive goes out to JavaScript and back (Emscripten's invoke_*), which took a third of the
// reading Worker's time here, three calls a number.
[[gnu::noinline]] void passRows(TextScanner& in, std::int64_t width, Matrix& A, bool keepWritten,
                                WrittenValues& written, NumberBatch& batch, RowsPass& pass) {
    const int rowsRoom = A.exists() ? A.rowsUpper() : 0;
    do {
        Field field;
        if (!in.nextField(field))
            continue; // a blank line
        const std::int64_t row = ++pass.dataLines;
        double* const target = row <= rowsRoom ? A.row(static_cast<int>(row)) : nullptr;
        std::int64_t column = 0;
        do {
            if (column == width && !pass.shapeError)
                pass.shapeError = place(in.line(), field.column) + "expected " +
                                  std::to_string(width) +
                                  " numbers in the row, found more: " + describe(field.text);
            // The first mistake is refused at once; after a row of the wrong length, the first
            // field that is not a number is kept for the end.
            batch.add(field.text,
                      target != nullptr && column < width ? target + column + 1 : nullptr,
                      in.line(), field.column, !pass.shapeError);
            if (keepWritten && column < width)
                written.note(static_cast<int>(row), static_cast<int>(column + 1), field.text);
            ++column;
        } while (in.nextField(field));
        pass.fields += column;
        if (column < width && !pass.shapeError)
            pass.shapeError = place(in.line()) + "expected " + std::to_string(width) +
                              " numbers in the row, found " + std::to_string(column);
    } while (in.nextLine());
}

} // namespace

FirstLine findFirstLine(TextScanner& in, bool headerAllowed) {
    FirstLine first;
    while (in.nextLine()) {
        in.pinLine();
        Field field;
        // A header names columns: several fields, none of which starts like a number. A lone
        // word such as "3abc" is a mistyped number, not a header.
        bool header = headerAllowed && first.headerLine == 0;
        std::int64_t fields = 0;
        while (in.nextField(field)) {
            if (fields == 0)
                first.first = field.text;
            header = header && !startsLikeNumber(field.text);
            ++fields;
        }
        if (fields == 0)
            continue;
        if (header && fields >= 2) {
            // A banner that did not announce its layout (after other text) is no header: the
            // file's numbers would be read as rows, another system.
            if (kMatrixMarketLayout.announces(first.first))
                throw InputError(place(in.line()) +
                                 "expected rows of numbers, found a Matrix Market banner, which "
                                 "only blank lines, at most a megabyte, may precede");
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

// Lines are read into A whole (A has a row and a column to spare), and b is taken from its
// last column once the number of lines says which it is.
std::optional<LinearSystem> readRows(TextScanner& in, const FirstLine& first,
                                     const ReadOptions& options,
                                     std::optional<std::int64_t> plainTotal) {
    const int maxOrder = options.maxOrder;
    if (first.line == 0)
        throw InputError("expected rows of coefficients and b, found the end of the input");
    const std::int64_t width = first.fields;
    if (width - 1 > maxOrder)
        throw InputError(place(first.line) +
                         orderTooLarge(static_cast<double>(width - 1), maxOrder) + " (a row of " +
                         std::to_string(width) + " numbers)");
    const bool squarePossible = width <= maxOrder;
    const auto rowsRoom = static_cast<int>(squarePossible ? width : width - 1);

    Matrix A;
    if (mayHold(in, static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(width - 1))) {
        try {
            A.recreate(rowsRoom, static_cast<int>(width), 1);
        } catch (const std::bad_alloc&) {
            throw InputError("not enough memory for a system of " + std::to_string(width - 1) +
                             " equations");
        }
    }
    const bool storing = A.exists();
    // n is width or width - 1, known at the end; texts of a wider system are not kept.
    const bool keepWritten =
        storing && options.keepWritten && width - 1 <= WrittenValues::kLargestOrder;
    std::optional<WordsSink> words;
    if (keepWritten && holdsWords(options, width - 1))
        words.emplace(A, nullptr);
    WrittenValues written;
    RowsPass pass;
    BatchOnScanner batch(in, options.threads);
    if (words)
        batch->holdWords(&*words);
    passRows(in, width, A, keepWritten && !words, written, *batch, pass);
    batch->flush();
    pass.laterNonNumber = batch->laterMistake();

    // A count m followed by exactly m * m + m numbers is a plain system whose first line holds
    // more than the count. No rows layout has that many numbers: w (w - 1) and w * w are never
    // m * m + m + 1.
    if (plainTotal && pass.fields == *plainTotal)
        return std::nullopt;
    const bool square = squarePossible && pass.dataLines == width;
    const std::int64_t n = square ? width : width - 1;
    if (pass.dataLines != n) {
        if (pass.laterNonNumber)
            throw InputError(*pass.laterNonNumber);
        throw InputError("expected " + std::to_string(n) + " rows of " + std::to_string(width) +
                         " numbers, one per line, found " + std::to_string(pass.dataLines) +
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
    if (words)
        words->finish(written, system.n, square ? 0 : system.n + 1);
    if (n <= WrittenValues::kLargestOrder)
        system.written = std::move(written);
    system.written.dropped = options.keepWritten && n > WrittenValues::kLargestOrder;
    system.A = std::move(A);
    return system;
}

} // namespace lse::io
