#include "MarkedLayouts.h"

#include "ReaderHelpers.h"

#include "NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace lse::io {

namespace {

constexpr char kComment = '%';
constexpr std::string_view kBanner = "%%MatrixMarket";
// Every whole number up to 2^53 is a double; no count here comes near it.
constexpr std::int64_t kLargestCount = std::int64_t{1} << 53;

enum class Symmetry { general, symmetric, skewSymmetric };

struct Banner {
    bool coordinate = false;
    bool pattern = false; // entries without values, each 1
    Symmetry symmetry = Symmetry::general;
};

struct Size {
    std::int64_t rows = 0;
    std::int64_t columns = 0;
    std::int64_t entries = 0; // coordinate form only
    std::int64_t line = 0;
};

// The banner and its keywords are read without regard to case, as Matrix Market has them.
bool sameWord(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

// The banner's next word, which must be one of `choices`; the index of the one found.
int bannerWord(TextScanner& in, std::initializer_list<std::string_view> choices,
               const std::string& expected, std::int64_t* column = nullptr) {
    Field word;
    if (!in.nextField(word))
        throw InputError(place(in.line()) + "expected " + expected + ", found the end of the line");
    if (column != nullptr)
        *column = word.column;
    int index = 0;
    for (const std::string_view choice : choices) {
        if (sameWord(word.text, choice))
            return index;
        ++index;
    }
    throw InputError(place(in.line(), word.column) + "expected " + expected + ", found " +
                     describe(word.text));
}

Banner readBanner(TextScanner& in) {
    in.setComment('\n'); // the banner starts with the comment sign
    Field word;
    bool found = false;
    while (!found && in.nextLine()) // blank lines may stand before it
        found = in.nextField(word);
    const std::int64_t line = in.line();
    if (!found || !sameWord(word.text, kBanner))
        throw InputError(place(line) + "expected the banner '%%MatrixMarket matrix ...'");
    bannerWord(in, {"matrix"}, "'matrix'");
    Banner banner;
    banner.coordinate = bannerWord(in, {"array", "coordinate"}, "'array' or 'coordinate'") == 1;
    std::int64_t fieldColumn = 0;
    banner.pattern = bannerWord(in, {"real", "integer", "pattern"},
                                "'real', 'integer' or 'pattern'", &fieldColumn) == 2;
    if (banner.pattern && !banner.coordinate)
        throw InputError(place(line, fieldColumn) + "'pattern' is for the coordinate form only");
    std::int64_t symmetryColumn = 0;
    // A hermitian matrix of real numbers is symmetric.
    const int symmetry =
        bannerWord(in, {"general", "symmetric", "skew-symmetric", "hermitian"},
                   "'general', 'symmetric', 'skew-symmetric' or 'hermitian'", &symmetryColumn);
    banner.symmetry = symmetry == 0   ? Symmetry::general
                      : symmetry == 2 ? Symmetry::skewSymmetric
                                      : Symmetry::symmetric;
    if (banner.pattern && symmetry >= 2)
        throw InputError(place(line, symmetryColumn) +
                         "a pattern matrix is 'general' or 'symmetric' only");
    if (in.nextField(word))
        throw InputError(place(line, word.column) + "expected the end of the banner, found " +
                         describe(word.text));
    in.setComment(kComment);
    return banner;
}

bool nextDataLine(TextScanner& in, Field& first) {
    while (in.nextLine())
        if (in.nextField(first))
            return true;
    return false;
}

Size readSize(TextScanner& in, bool coordinate) {
    const std::string layout = coordinate ? "rows, columns and entries" : "rows and columns";
    Field field;
    if (!nextDataLine(in, field))
        throw InputError("expected the size line (" + layout + "), found the end of the input");
    Size size;
    size.line = in.line();
    std::int64_t* const values[] = {&size.rows, &size.columns, &size.entries};
    const char* const names[] = {"a number of rows", "a number of columns", "a number of entries"};
    const int wanted = coordinate ? 3 : 2;
    int found = 0;
    do {
        if (found == wanted)
            throw InputError(place(size.line, field.column) + "expected only " + layout +
                             ", found " + describe(field.text));
        *values[found] = wholeNumberAt(field, size.line, 0, kLargestCount, names[found]);
        ++found;
    } while (in.nextField(field));
    if (found < wanted)
        throw InputError(place(size.line) + "expected " + layout + ", found " +
                         std::to_string(found) + " numbers");
    return size;
}

// The text of the negated value of `text`, a decimal: a skew-symmetric file's mirrored entry.
std::string negated(std::string_view text) {
    std::string minus = asciiMinus(text).value_or(std::string(text));
    if (minus.starts_with('-'))
        minus.erase(0, 1);
    else if (minus.starts_with('+'))
        minus[0] = '-';
    else
        minus.insert(0, 1, '-');
    return minus;
}

// Notes entry (i, j)'s text where texts are kept, and its mirror's in a symmetric or
// skew-symmetric file.
void noteEntry(WrittenValues* written, Symmetry symmetry, int i, int j, std::string_view text) {
    if (written == nullptr)
        return;
    written->note(i, j, text);
    if (i == j)
        return;
    if (symmetry == Symmetry::symmetric)
        written->note(j, i, text);
    else if (symmetry == Symmetry::skewSymmetric)
        written->note(j, i, negated(text));
}

std::string expectedCount(std::int64_t expected, std::int64_t found, const char* what) {
    return "expected " + std::to_string(expected) + " " + what + ", found " + std::to_string(found);
}

// Column by column, as the array form stores it; a symmetric file holds the lower triangle,
// a skew-symmetric one the part below the diagonal. The first field that is not a number is
// refused where it stands; a wrong count at the end.
void readArray(TextScanner& in, LinearSystem& system, Symmetry symmetry, bool storing,
               WrittenValues* written) {
    const std::int64_t n = system.n;
    const std::int64_t expected = symmetry == Symmetry::general     ? n * n
                                  : symmetry == Symmetry::symmetric ? (n * n + n) / 2
                                                                    : (n * n - n) / 2;
    const int skip = symmetry == Symmetry::skewSymmetric ? 1 : 0;
    std::int64_t found = 0;
    int i = 1 + skip;
    int j = 1;
    forEachField(in, [&](const Field& field) {
        const double value = decimalAt(field.text, in.line(), field.column);
        if (++found > expected || !storing)
            return;
        system.A(i, j) = value;
        if (symmetry == Symmetry::symmetric)
            system.A(j, i) = value;
        else if (symmetry == Symmetry::skewSymmetric)
            system.A(j, i) = -value;
        noteEntry(written, symmetry, i, j, field.text);
        if (++i > n) {
            ++j;
            i = symmetry == Symmetry::general ? 1 : j + skip;
        }
    });
    if (found != expected)
        throw InputError(expectedCount(expected, found, "entries"));
}

// One entry line of the coordinate form, its fields kept: the checks go in a fixed order
// once the line is whole.
struct Entry {
    std::string text[3];
    std::int64_t column[3] = {};
    int found = 0;
    std::optional<Field> extra;
    std::string extraText;
};

class CoordinateReader {
public:
    // written: where the entries' texts are kept, or nullptr.
    CoordinateReader(const TextScanner& in, LinearSystem& system, const Banner& banner,
                     Duplicates duplicates, bool storing, WrittenValues* written)
        : in_(in), system_(system), banner_(banner), duplicates_(duplicates), storing_(storing),
          written_(banner.pattern ? nullptr : written),
          rows_(" from 1 to " + std::to_string(system.n)) {
        if (written_ != nullptr && duplicates_ == Duplicates::sum)
            given_.assign(static_cast<std::size_t>(system.n) * static_cast<std::size_t>(system.n),
                          0);
        // The parser accepts no NaN, so an entry still NaN when its line comes was not given
        // before. A large matrix takes a while to mark: a cancel is looked at on every row.
        if (storing_ && duplicates_ == Duplicates::refuse)
            for (int i = 1; i <= system_.n; ++i) {
                in_.throwIfCancelled();
                std::fill(system_.A.row(i) + 1, system_.A.row(i) + system_.n + 1, kUnset);
            }
    }

    // The line's first mistake, or nothing; stores the entry when there is none.
    std::optional<std::string> take(const Entry& entry, std::int64_t line) {
        const int wanted = banner_.pattern ? 2 : 3;
        if (entry.found < wanted)
            return place(line) +
                   (banner_.pattern ? "expected a row and a column, found "
                                    : "expected a row, a column and a value, found ") +
                   std::to_string(entry.found) + " fields";
        if (entry.found > wanted)
            return place(line, entry.column[wanted]) + "expected the end of the entry, found " +
                   describe(entry.text[wanted]);
        if (entry.extra)
            return place(line, entry.extra->column) + "expected the end of the entry, found " +
                   describe(entry.extraText);
        try {
            const auto i = static_cast<int>(wholeNumberAt({entry.text[0], entry.column[0]}, line, 1,
                                                          system_.n, "a row index" + rows_));
            const auto j = static_cast<int>(wholeNumberAt({entry.text[1], entry.column[1]}, line, 1,
                                                          system_.n, "a column index" + rows_));
            const double value =
                banner_.pattern ? 1.0 : decimalAt(entry.text[2], line, entry.column[2]);
            const std::string name = "entry (" + std::to_string(i) + ", " + std::to_string(j) + ")";
            if (banner_.symmetry == Symmetry::symmetric && j > i)
                return place(line) + name +
                       " lies above the diagonal, but a symmetric file holds the lower "
                       "triangle only";
            if (banner_.symmetry == Symmetry::skewSymmetric && j >= i)
                return place(line) + name +
                       (j == i ? " lies on the diagonal, which a skew-symmetric file leaves out "
                                 "(it is zero)"
                               : " lies above the diagonal, but a skew-symmetric file holds "
                                 "the part below it only");
            if (!storing_)
                return std::nullopt;
            bool exactSum = true;
            if (duplicates_ == Duplicates::sum)
                exactSum = add(i, j, value);
            else if (!std::isnan(system_.A(i, j)))
                return place(line) + name +
                       " is given twice; lineq-solve --duplicates sum adds such entries";
            else
                set(i, j, value);
            if (!given_.empty()) {
                std::uint8_t& given = given_[index(i, j)];
                const bool mayDiffer = (given & kMayDiffer) != 0 || !exactSum ||
                                       WrittenValues::mayDiffer(entry.text[2]);
                given = static_cast<std::uint8_t>(std::min((given & kTimes) + 1, 2) |
                                                  (mayDiffer ? kMayDiffer : 0));
            }
            noteEntry(written_, banner_.symmetry, i, j, entry.text[2]);
        } catch (const InputError& error) {
            return std::string(error.what());
        }
        return std::nullopt;
    }

    void finish() {
        if (!given_.empty())
            forgetSummedTexts();
        if (!storing_ || duplicates_ == Duplicates::sum)
            return;
        for (int i = 1; i <= system_.n; ++i) {
            in_.throwIfCancelled();
            for (int j = 1; j <= system_.n; ++j)
                if (std::isnan(system_.A(i, j)))
                    system_.A(i, j) = 0;
        }
    }

private:
    static constexpr double kUnset = std::numeric_limits<double>::quiet_NaN();
    // given_'s bits: how often the entry came, up to 2, and whether its sum may differ from
    // its written values' (WrittenValues::summedEntries).
    static constexpr std::uint8_t kTimes = 3;
    static constexpr std::uint8_t kMayDiffer = 4;

    std::size_t index(int i, int j) const {
        return static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(system_.n) +
               static_cast<std::size_t>(j - 1);
    }

    // The written value of a summed entry is the sum of its addends' written values, which
    // no one text of them holds and which would take arithmetic beyond the doubles to write:
    // the entry keeps no text, and counts as the double its sum gave.
    void forgetSummedTexts() {
        const bool mirrored = banner_.symmetry != Symmetry::general;
        const auto times = [&](int i, int j) { return given_[index(i, j)] & kTimes; };
        const auto summed = [&](int i, int j) {
            return times(i, j) > 1 || (mirrored && times(j, i) > 1);
        };
        WrittenValues kept;
        for (std::size_t k = 0; k < written_->size(); ++k) {
            const WrittenValues::Entry entry = (*written_)[k];
            if (!summed(entry.row, entry.column))
                kept.note(entry.row, entry.column, entry.text);
        }
        SummedEntries& notAsWritten = kept.summedEntries;
        for (int i = 1; i <= system_.n; ++i)
            for (int j = 1; j <= system_.n; ++j) {
                if (times(i, j) < 2 || (given_[index(i, j)] & kMayDiffer) == 0)
                    continue;
                if (notAsWritten.count++ == 0)
                    std::tie(notAsWritten.row, notAsWritten.column) = std::pair(i, j);
            }
        *written_ = std::move(kept);
    }

    void set(int i, int j, double value) {
        system_.A(i, j) = value;
        if (banner_.symmetry == Symmetry::symmetric)
            system_.A(j, i) = value;
        else if (banner_.symmetry == Symmetry::skewSymmetric)
            system_.A(j, i) = -value;
    }
    // In the order of the lines, from zero, as the entries come. True when the sum is exact:
    // Knuth's two-sum leaves no rounding error (the mirror's sum is the same, negated or not).
    bool add(int i, int j, double value) {
        const double before = system_.A(i, j);
        const double sum = before + value;
        system_.A(i, j) = sum;
        const double valuePart = sum - before;
        const bool exact = (before - (sum - valuePart)) + (value - valuePart) == 0;
        if (i == j)
            return exact;
        if (banner_.symmetry == Symmetry::symmetric)
            system_.A(j, i) = system_.A(j, i) + value;
        else if (banner_.symmetry == Symmetry::skewSymmetric)
            system_.A(j, i) = system_.A(j, i) - value;
        return exact;
    }

    const TextScanner& in_;
    LinearSystem& system_;
    const Banner& banner_;
    Duplicates duplicates_;
    bool storing_;
    WrittenValues* written_;
    std::vector<std::uint8_t> given_; // kTimes and kMayDiffer of each entry, for summed texts
    std::string rows_;
};

// One entry per line. Which mistake is reported depends on the number of entry lines, known
// at the end: when it is wrong, the first field that is not a number (or the count itself);
// otherwise the first line's mistake.
void readCoordinate(TextScanner& in, LinearSystem& system, const Banner& banner, const Size& size,
                    Duplicates duplicates, bool storing, WrittenValues* written) {
    CoordinateReader reader(in, system, banner, duplicates, storing, written);
    std::optional<std::string> firstMistake;
    std::optional<std::string> firstNonNumber;
    std::int64_t lines = 0;
    Field field;
    while (nextDataLine(in, field)) {
        ++lines;
        Entry entry;
        do {
            if (!firstNonNumber && !decimalToDouble(field.text))
                firstNonNumber = notADecimal(field.text, in.line(), field.column);
            if (entry.found < 3) {
                entry.text[entry.found] = field.text;
                entry.column[entry.found] = field.column;
                ++entry.found;
            } else if (!entry.extra) {
                entry.extra = Field{{}, field.column};
                entry.extraText = field.text;
            }
        } while (in.nextField(field));
        if (!firstMistake && lines <= size.entries)
            firstMistake = reader.take(entry, in.line());
    }
    if (lines != size.entries) {
        if (firstNonNumber)
            throw InputError(*firstNonNumber);
        throw InputError(expectedCount(size.entries, lines, "entries, one per line"));
    }
    if (firstMistake)
        throw InputError(*firstMistake);
    reader.finish();
}

bool isMatrixMarket(std::string_view head) {
    const std::size_t start = head.find_first_not_of(kBlankLines);
    return start != std::string_view::npos && sameWord(head.substr(start, kBanner.size()), kBanner);
}

LinearSystem readMatrixMarket(TextScanner& in, const ReadOptions& options) {
    const Banner banner = readBanner(in);
    const Size size = readSize(in, banner.coordinate);
    if (size.rows != size.columns)
        throw InputError(place(size.line) + "the matrix is " + std::to_string(size.rows) + " x " +
                         std::to_string(size.columns) + ", but a system needs a square one");
    if (size.rows > options.maxOrder)
        throw InputError(place(size.line) +
                         orderTooLarge(static_cast<double>(size.rows), options.maxOrder));
    const auto n = static_cast<int>(size.rows);
    const auto n2 = static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(n);
    const std::uint64_t numbers =
        banner.coordinate ? static_cast<std::uint64_t>(size.entries) * (banner.pattern ? 2 : 3)
        : banner.symmetry == Symmetry::general   ? n2
        : banner.symmetry == Symmetry::symmetric ? (n2 + static_cast<std::uint64_t>(n)) / 2
                                                 : (n2 - static_cast<std::uint64_t>(n)) / 2;
    LinearSystem system;
    const bool storing = mayHold(in, numbers);
    if (storing) {
        system = makeSystem(n, InputFormat::matrixMarket);
    } else {
        system.n = n; // the reader only finds the mistake
        system.format = InputFormat::matrixMarket;
    }
    system.hasB = false;
    system.written.dropped = options.keepWritten && n > WrittenValues::kLargestOrder;
    WrittenValues* const written =
        storing && options.keepWritten && !system.written.dropped ? &system.written : nullptr;
    if (banner.coordinate)
        readCoordinate(in, system, banner, size, options.duplicates, storing, written);
    else
        readArray(in, system, banner.symmetry, storing, written);
    if (!storing)
        throw std::logic_error("a system was read without its arrays");
    return system;
}

RightHandSide readMatrixMarketVector(TextScanner& in, bool keepWritten) {
    const Banner banner = readBanner(in);
    if (banner.coordinate || banner.symmetry != Symmetry::general)
        throw InputError(place(in.line()) + "expected a vector in 'array general' form");
    const Size size = readSize(in, false);
    RightHandSide b;
    std::int64_t found = 0;
    // A size that no b has is refused by its size once n is known, its entries unread.
    if (size.columns == 1 && size.rows <= kMaxOrder)
        forEachField(in, [&](const Field& field) {
            const double value = decimalAt(field.text, in.line(), field.column);
            if (++found > size.rows)
                return;
            b.entries.push_back(value);
            if (keepWritten && found <= WrittenValues::kLargestOrder)
                b.written.note(static_cast<int>(found), 1, field.text);
        });
    b.refuseUnlessOf = [size, found](int n) {
        if (size.rows != n || size.columns != 1)
            throw InputError(place(size.line) + "expected a vector of " + std::to_string(n) +
                             " x 1 entries, found " + std::to_string(size.rows) + " x " +
                             std::to_string(size.columns));
        if (found != n)
            throw InputError(expectedCount(n, found, "entries of b"));
    };
    return b;
}

} // namespace

const MarkedLayout kMatrixMarketLayout{InputFormat::matrixMarket, isMatrixMarket, readMatrixMarket,
                                       readMatrixMarketVector};

} // namespace lse::io
