// NumPy's .npy format: a magic string, a version, a header that is a Python dictionary
// literal ({'descr': '<f8', 'fortran_order': False, 'shape': (3, 4), }), then the entries.
#include "MarkedLayouts.h"

#include "ReaderHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <vector>

namespace lse::io {

namespace {

// std::endian, which the browser build's C++ library lacks.
constexpr bool kNativeLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

// std::bit_cast, which the browser build's C++ library lacks.
template <typename To, typename From> To fromBits(From bits) {
    static_assert(sizeof(To) == sizeof(From));
    To value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

constexpr std::string_view kMagic = "\x93NUMPY";
constexpr std::size_t kLongestHeader = std::size_t{1} << 20;
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
// Every integer up to 2^53 in magnitude is a double; a larger one may not be.
constexpr std::int64_t kLargestExactInteger = std::int64_t{1} << 53;

enum class Kind { floating, signedInteger, unsignedInteger };

struct Header {
    Kind kind = Kind::floating;
    std::size_t itemSize = 8;
    bool fortranOrder = false;
    std::vector<std::int64_t> shape;
};

std::string shapeText(const std::vector<std::int64_t>& shape) {
    std::string text = "(";
    for (std::size_t k = 0; k < shape.size(); ++k)
        text += (k == 0 ? "" : ", ") + std::to_string(shape[k]);
    return text + (shape.size() == 1 ? ",)" : ")");
}

// The header's dictionary: just the literals NumPy writes there.
class HeaderParser {
public:
    explicit HeaderParser(std::string_view text) : text_(text) {}

    Header parse() {
        std::optional<std::string> descr;
        std::optional<bool> fortranOrder;
        std::optional<std::vector<std::int64_t>> shape;
        expect('{');
        while (!peekIs('}')) {
            const std::string key = string();
            expect(':');
            if (key == "descr") {
                if (peekIs('['))
                    fail("the array has named fields (a structured type); a plain array of "
                         "numbers is needed");
                descr = string();
            } else if (key == "fortran_order") {
                fortranOrder = boolean();
            } else if (key == "shape") {
                shape = tuple();
            } else {
                fail("the header has an unknown key " + describe(key));
            }
            if (!peekIs('}'))
                expect(',');
        }
        expect('}');
        if (!descr || !fortranOrder || !shape)
            fail("the header lacks 'descr', 'fortran_order' or 'shape'");
        Header header = typeOf(*descr);
        header.fortranOrder = *fortranOrder;
        header.shape = *shape;
        return header;
    }

private:
    [[noreturn]] static void fail(const std::string& what) {
        throw InputError("NumPy header: " + what);
    }

    void skipSpaces() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t'))
            ++pos_;
    }
    bool peekIs(char c) {
        skipSpaces();
        return pos_ < text_.size() && text_[pos_] == c;
    }
    void expect(char c) {
        if (!peekIs(c))
            fail(std::string("expected '") + c + "' at byte " + std::to_string(pos_ + 1) +
                 " of the dictionary");
        ++pos_;
    }
    std::string string() {
        skipSpaces();
        if (pos_ >= text_.size() || (text_[pos_] != '\'' && text_[pos_] != '"'))
            fail("expected a quoted name at byte " + std::to_string(pos_ + 1) +
                 " of the dictionary");
        const char quote = text_[pos_++];
        const std::size_t end = text_.find(quote, pos_);
        if (end == std::string_view::npos)
            fail("a quoted name does not end");
        std::string value(text_.substr(pos_, end - pos_));
        pos_ = end + 1;
        return value;
    }
    bool boolean() {
        skipSpaces();
        for (const auto& [word, value] : {std::pair{"True", true}, std::pair{"False", false}})
            if (text_.substr(pos_).starts_with(word)) {
                pos_ += std::strlen(word);
                return value;
            }
        fail("expected True or False for 'fortran_order'");
    }
    std::vector<std::int64_t> tuple() {
        std::vector<std::int64_t> values;
        expect('(');
        while (!peekIs(')')) {
            std::int64_t value = 0;
            std::size_t digits = 0;
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9' && digits < 15) {
                value = value * 10 + (text_[pos_++] - '0');
                ++digits;
            }
            // A trailing 'L' is how Python 2 wrote a long.
            if (pos_ < text_.size() && text_[pos_] == 'L')
                ++pos_;
            if (digits == 0 || (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9'))
                fail("expected the shape as a tuple of sizes");
            values.push_back(value);
            if (!peekIs(')'))
                expect(',');
        }
        expect(')');
        return values;
    }

    static Header typeOf(const std::string& descr) {
        const std::string supported = "; float64, float32 and integer arrays, little-endian, "
                                      "are read";
        if (descr.size() < 3)
            fail("the type " + describe(descr) + " is not read" + supported);
        const char order = descr[0];
        const char code = descr[1];
        const std::string sizeText = descr.substr(2);
        Header header;
        if (sizeText != "1" && sizeText != "2" && sizeText != "4" && sizeText != "8")
            fail("the type " + describe(descr) + " is not read" + supported);
        header.itemSize = static_cast<std::size_t>(sizeText[0] - '0');
        if (code == 'f' && (header.itemSize == 4 || header.itemSize == 8))
            header.kind = Kind::floating;
        else if (code == 'i')
            header.kind = Kind::signedInteger;
        else if (code == 'u')
            header.kind = Kind::unsignedInteger;
        else
            fail("the type " + describe(descr) + " is not read" + supported);
        const bool littleEndian = order == '<' || (order == '=' && kNativeLittleEndian) ||
                                  (order == '|' && header.itemSize == 1);
        if (!littleEndian)
            fail("the type " + describe(descr) + " is " +
                 (order == '>' ? "big-endian" : "of no byte order") + supported);
        return header;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

std::uint64_t littleEndian(const unsigned char* bytes, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t k = size; k-- > 0;)
        value = value << 8 | bytes[k];
    return value;
}

void readExactly(TextScanner& in, void* destination, std::size_t size, const char* what) {
    if (in.read(static_cast<char*>(destination), size) != size)
        throw InputError(std::string("the file ends within ") + what);
}

Header readHeader(TextScanner& in) {
    unsigned char preamble[8];
    const std::size_t got = in.read(reinterpret_cast<char*>(preamble), sizeof preamble);
    if (got < kMagic.size() || std::memcmp(preamble, kMagic.data(), kMagic.size()) != 0)
        throw InputError("not a NumPy array: the file does not start with \\x93NUMPY");
    if (got < sizeof preamble)
        throw InputError("the file ends within the NumPy header");
    const int major = preamble[6];
    const int minor = preamble[7];
    if (major < 1 || major > 3 || minor != 0)
        throw InputError("NumPy format version " + std::to_string(major) + "." +
                         std::to_string(minor) + " is not read; versions 1.0 to 3.0 are");
    unsigned char lengthBytes[4];
    const std::size_t lengthSize = major == 1 ? 2 : 4;
    readExactly(in, lengthBytes, lengthSize, "the NumPy header");
    const std::uint64_t length = littleEndian(lengthBytes, lengthSize);
    if (length > kLongestHeader)
        throw InputError("NumPy header: " + std::to_string(length) + " bytes is too long");
    std::string text(static_cast<std::size_t>(length), '\0');
    readExactly(in, text.data(), text.size(), "the NumPy header");
    return HeaderParser(text).parse();
}

// An entry as a double, when it is one exactly and finite.
double entryValue(const Header& header, const unsigned char* bytes, bool& exact) {
    const std::uint64_t raw = littleEndian(bytes, header.itemSize);
    double value = 0;
    switch (header.kind) {
    case Kind::floating:
        value = header.itemSize == 8
                    ? fromBits<double>(raw)
                    : static_cast<double>(fromBits<float>(static_cast<std::uint32_t>(raw)));
        exact = std::isfinite(value);
        return value;
    case Kind::signedInteger: {
        const unsigned shift = 64 - 8 * static_cast<unsigned>(header.itemSize);
        const auto signedValue = static_cast<std::int64_t>(raw << shift) >> shift;
        exact = signedValue >= -kLargestExactInteger && signedValue <= kLargestExactInteger;
        return static_cast<double>(signedValue);
    }
    case Kind::unsignedInteger:
        exact = raw <= static_cast<std::uint64_t>(kLargestExactInteger);
        return static_cast<double>(raw);
    }
    return value;
}

[[noreturn]] void refuseEntry(const Header& header, const unsigned char* bytes, std::string name) {
    std::string shown;
    if (header.kind == Kind::floating) {
        bool exact = false;
        const double value = entryValue(header, bytes, exact);
        shown = std::isnan(value) ? "NaN" : value > 0 ? "infinite" : "minus infinite";
    } else {
        const std::uint64_t raw = littleEndian(bytes, header.itemSize);
        shown = header.kind == Kind::unsignedInteger
                    ? std::to_string(raw)
                    : std::to_string(static_cast<std::int64_t>(raw));
        throw InputError(name + ", " + shown + ", has no exact double value");
    }
    throw InputError(name + " is " + shown);
}

// Calls store(row, column, value) for every entry of a rows x columns array, in the file's
// order, from pieces of a fixed size.
template <typename Store>
void readEntries(TextScanner& in, const Header& header, std::int64_t rows, std::int64_t columns,
                 bool vector, Store store) {
    const std::int64_t total = rows * columns;
    const std::size_t perChunk = kChunkBytes / header.itemSize;
    std::vector<unsigned char> chunk(perChunk * header.itemSize);
    std::int64_t done = 0;
    while (done < total) {
        const auto count = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(perChunk), total - done));
        const std::size_t got =
            in.read(reinterpret_cast<char*>(chunk.data()), count * header.itemSize);
        if (got != count * header.itemSize)
            throw InputError("the file ends after " + std::to_string(done + got / header.itemSize) +
                             " of the array's " + std::to_string(total) + " entries");
        for (std::size_t k = 0; k < count; ++k, ++done) {
            const std::int64_t i = header.fortranOrder ? done % rows : done / columns;
            const std::int64_t j = header.fortranOrder ? done / rows : done % columns;
            const unsigned char* bytes = chunk.data() + k * header.itemSize;
            bool exact = false;
            const double value = entryValue(header, bytes, exact);
            if (!exact)
                refuseEntry(header, bytes,
                            vector ? "entry " + std::to_string(i + 1)
                                   : "entry (" + std::to_string(i + 1) + ", " +
                                         std::to_string(j + 1) + ")");
            store(static_cast<int>(i) + 1, static_cast<int>(j) + 1, value);
        }
    }
}

// Rows of doubles in the file's own layout go straight into A's rows (rowAt(i), from column
// 1), with no copy between; they are only checked to be finite there.
template <typename RowAt> void readDoubleRows(TextScanner& in, RowAt rowAt, int rows, int columns) {
    const std::size_t rowBytes = static_cast<std::size_t>(columns) * sizeof(double);
    for (int i = 1; i <= rows; ++i) {
        double* const row = rowAt(i);
        const std::size_t got = in.read(reinterpret_cast<char*>(row), rowBytes);
        if (got != rowBytes)
            throw InputError("the file ends after " +
                             std::to_string(static_cast<std::int64_t>(i - 1) * columns +
                                            static_cast<std::int64_t>(got / sizeof(double))) +
                             " of the array's " +
                             std::to_string(static_cast<std::int64_t>(rows) * columns) +
                             " entries");
        for (int j = 0; j < columns; ++j)
            if (!std::isfinite(row[j]))
                throw InputError("entry (" + std::to_string(i) + ", " + std::to_string(j + 1) +
                                 ") is " +
                                 (std::isnan(row[j]) ? "NaN"
                                  : row[j] > 0       ? "infinite"
                                                     : "minus infinite"));
    }
}

void expectTheEnd(TextScanner& in) {
    char extra;
    if (in.read(&extra, 1) != 0)
        throw InputError("expected the end of the file after the array, found more bytes");
}

bool isNumpy(std::string_view head) {
    return head.starts_with(kMagic);
}

LinearSystem readNumpy(TextScanner& in, const ReadOptions& options) {
    const Header header = readHeader(in);
    const std::vector<std::int64_t>& shape = header.shape;
    const bool square = shape.size() == 2 && shape[1] == shape[0];
    const bool augmented = shape.size() == 2 && shape[1] == shape[0] + 1;
    if (!square && !augmented)
        throw InputError("the array's shape is " + shapeText(shape) +
                         "; a system is n x n (A) or n x (n + 1) (A with b as its last column)");
    if (shape[0] > options.maxOrder)
        throw InputError(orderTooLarge(static_cast<double>(shape[0]), options.maxOrder));
    const auto n = static_cast<int>(shape[0]);
    const auto columns = static_cast<int>(shape[1]);
    const bool doubleRows = header.kind == Kind::floating && header.itemSize == 8 &&
                            !header.fortranOrder && kNativeLittleEndian;
    const std::optional<std::uint64_t> left = in.remaining();
    if (left && *left < static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(columns) *
                            header.itemSize) {
        // Too short for its array: refused without A, as the text readers refuse an input too
        // short for its order, with the same message, found in the same order, as when read.
        if (doubleRows) {
            std::vector<double> row(static_cast<std::size_t>(columns));
            readDoubleRows(
                in, [&](int) { return row.data(); }, n, columns);
        } else {
            readEntries(in, header, n, columns, false, [](int, int, double) {});
        }
        throw std::logic_error("an array was read whole from a file too short for it");
    }
    LinearSystem system = makeSystem(n, InputFormat::numpy);
    system.hasB = augmented;
    // A's spare column takes b while it is read, since it comes with each row.
    if (doubleRows) {
        readDoubleRows(
            in, [&](int i) { return system.A.row(i) + 1; }, n, columns);
    } else {
        readEntries(in, header, n, columns, false,
                    [&](int i, int j, double value) { system.A.row(i)[j] = value; });
    }
    if (augmented)
        for (int i = 1; i <= n; ++i) {
            system.b(i) = system.A.row(i)[n + 1];
            system.A.row(i)[n + 1] = 0;
        }
    expectTheEnd(in);
    return system;
}

// Doubles: nothing is written otherwise.
// Doubles, with no text to keep.
RightHandSide readNumpyVector(TextScanner& in, bool) {
    const Header header = readHeader(in);
    const std::vector<std::int64_t> shape = header.shape;
    const auto isVectorOf = [shape](std::int64_t n) {
        return (shape.size() == 1 && shape[0] == n) ||
               (shape.size() == 2 && shape[0] == n && shape[1] == 1);
    };
    RightHandSide b;
    // A shape that no b has is refused by its shape once n is known, its entries unread.
    if (!shape.empty() && shape[0] <= kMaxOrder && isVectorOf(shape[0])) {
        b.entries.resize(static_cast<std::size_t>(shape[0]));
        readEntries(in, header, shape[0], 1, true, [&](int i, int, double value) {
            b.entries[static_cast<std::size_t>(i - 1)] = value;
        });
        expectTheEnd(in);
    }
    b.refuseUnlessOf = [shape, isVectorOf](int n) {
        if (!isVectorOf(n))
            throw InputError("expected an array of " + std::to_string(n) + " entries, (" +
                             std::to_string(n) + ",) or (" + std::to_string(n) +
                             ", 1), found the shape " + shapeText(shape));
    };
    return b;
}

} // namespace

const MarkedLayout kNumpyLayout{InputFormat::numpy, isNumpy, readNumpy, readNumpyVector};

} // namespace lse::io
