// Reading in pieces: the same systems and the same refusals from memory (whole, and a few
// bytes in view at a time), a file, a pipe, and a source that delivers a few bytes at a time
// through a small buffer.
#include "MemoryLimit.h"
#include "ReadFromSource.h"
#include "RefusedInputs.h"
#include "Sanitizers.h"
#include "SystemFiles.h"
#include "Systems.h"
#include "TrickleSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>

using namespace lse;
using namespace lse::io;
using namespace lse::test;

namespace {

ReadOptions optionsFor(const std::string& format) {
    ReadOptions options;
    options.format = inputFormatNamed(format).value();
    return options;
}

// Each way of reading the text gives the same system, or the same refusal.
std::vector<std::string> outcomes(const std::string& text, const ReadOptions& options) {
    std::vector<std::string> results;
    const auto describeSystem = [](const LinearSystem& system) {
        std::string shown = std::to_string(system.n) + (system.hasB ? " with b:" : " A:");
        for (int i = 1; i <= system.n; ++i) {
            for (int j = 1; j <= system.n; ++j)
                shown += " " + std::to_string(system.A(i, j));
            shown += " | " + std::to_string(system.b(i));
        }
        return shown;
    };
    const auto attempt = [&](auto read) {
        try {
            results.push_back(describeSystem(read()));
        } catch (const InputError& error) {
            results.push_back(error.what());
        }
    };
    attempt([&] { return readSystem(text, options); });
    attempt([&] {
        MemorySource memory(text); // scanned in place, a few bytes in view at a time
        return readFrom(memory, options, 16);
    });
    attempt([&] {
        std::istringstream pipe(text);
        return readSystem(pipe, options);
    });
    for (const std::size_t piece : {1, 3, 7}) {
        attempt([&] {
            TrickleSource source(text, piece, SourceKind::pipe);
            return readFrom(source, options, 16);
        });
    }
    return results;
}

} // namespace

TEST(Streaming, RefusalsAreTheSameInPieces) {
    for (const RefusedInput& refused : refusedInputs()) {
        SCOPED_TRACE(refused.input);
        const std::vector<std::string> results =
            outcomes(refused.input, optionsFor(refused.format));
        for (const std::string& result : results)
            EXPECT_EQ(result, refused.message);
    }
}

TEST(Streaming, SystemsAreTheSameInPieces) {
    const std::vector<std::string> inputs{
        "3\n4 2 14\n2 17 -5\n14 -5 83\n14 -101 155\n",
        "\xEF\xBB\xBF# comment\n\n  x1 , x2, b\r\n4, 2, 14\r\n2 ,17,-101\r\n",
        "2 4 1 1 3 1 2",
        "2\n4 2 14\r\n2 17 -101\n",
        "x1, x2, b\r4, 2, 14\r2 ,17,-101 # CR alone\r",
        "\"x1\",\"x2\",\"b\"\r\n\"4\",\"2\",\"14\"\r\n\"2\",\"17\",\"-101\"\r\n",
        "3\t4 2 14\n2 17 -5 14 -5 83\n14 -101 155\n",
        "4 2\n2 17\n",
        "%%MatrixMarket matrix coordinate real symmetric\n% c\n3 3 3\n1 1 4\n3 2 -5\n3 3 1e-3\n",
        "0\n",
        // The banner after more blank lines than the first look at the input takes.
        std::string(100, '\n') + "%%MatrixMarket matrix array real general\n1 1\n3\n",
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        const std::vector<std::string> results = outcomes(input, {});
        EXPECT_EQ(std::count(results.begin(), results.end(), results.front()),
                  static_cast<long>(results.size()));
        EXPECT_EQ(results.front().find("expected"), std::string::npos) << results.front();
    }
}

// A line ends at LF, CR LF or a CR alone, wherever a reading in pieces parts CR from LF: the
// same lines, the same columns and comments that end with their line. The first line end
// lies past what the choice of layout looks at, at byte 79, where a reading in place of 16
// bytes at a time parts it.
TEST(Streaming, EveryLineEndEndsOneLine) {
    const std::string note = "# " + std::string(77, '-') + "\n";
    const std::vector<RefusedInput> cases{
        {note + "3\n1 2 3 4\n5 x 7 8\n", "line 4, column 3: expected a number, found 'x'"},
        {note + "x, y, b\n1 2 3 # a note\n4 5\n", "line 4: expected 3 numbers in the row, found 2"},
        {note + "1\t2\n3\t4,5\n", "line 3, field 2: '4,5' has a decimal comma; write 4.5"},
        {note + "2\n1 2 # 3\n3 4\n5\n", "expected 2 entries of b, found 1"},
        {"%%MatrixMarket matrix coordinate real general\n%" + note + "2 2 1\n1 3 1\n",
         "line 4, column 3: expected a column index from 1 to 2, found '3'"},
    };
    for (const RefusedInput& c : cases)
        for (const std::string lineEnd : {"\n", "\r\n", "\r"}) {
            std::string text;
            for (const char k : c.input)
                text += k == '\n' ? lineEnd : std::string(1, k);
            SCOPED_TRACE(text);
            for (const std::string& result : outcomes(text, optionsFor(c.format)))
                EXPECT_EQ(result, c.message);
        }
}

// A comma between digits is advised by what it may stand for, a thousands separator too,
// however little of its groups a reading in pieces holds when it refuses the first.
TEST(Streaming, ACommaBetweenDigitsIsAdvisedByWhatItMayMean) {
    const std::string note = "# " + std::string(77, '-') + "\n";
    const std::string either = "has a decimal comma or a thousands separator; write ";
    const std::vector<RefusedInput> cases{
        {note + "1,000\t2\n3\t4\n", "line 2, field 1: '1,000' " + either + "1.000 or 1000"},
        {note + "5\t1,000,000\n",
         "line 2, field 2: '1,000,000' has thousands separators; write 1000000"},
        {note + "1,000,000 5\n",
         "line 2, field 1: '1,000,000' has thousands separators; write 1000000"},
        {note + "1,000.5\t2\n",
         "line 2, field 1: '1,000.5' has a thousands separator; write 1000.5"},
        {note + "1;2,000\n", "line 2, field 2: '2,000' " + either +
                                 "2.000 or 2000, and separate the numbers by spaces or tabs, not "
                                 "semicolons"},
        // No thousands: a zero first, or groups of other lengths.
        {note + "0,125\t1\n", "line 2, field 1: '0,125' has a decimal comma; write 0.125"},
        {note + "12,345,67\t1\n", "line 2, field 1: '12,345' has a decimal comma; write 12.345"},
    };
    for (const RefusedInput& c : cases) {
        SCOPED_TRACE(c.input);
        for (const std::string& result : outcomes(c.input, optionsFor(c.format)))
            EXPECT_EQ(result, c.message);
    }
}

TEST(Streaming, AFieldLongerThanTheBufferIsReadWhole) {
    const std::string digits = "1" + std::string(100, '0');
    const std::string text = "1\n" + digits + "e-100 2\n";
    TrickleSource again(text, 5, SourceKind::pipe);
    const LinearSystem system = readFrom(again, {}, 16);
    EXPECT_EQ(system.A(1, 1), 1);
    EXPECT_EQ(system.b(1), 2);
}

namespace {

// In the death test's child, under an address-space limit far below the 8.6 GB that A needs.
[[noreturn]] void readShortInputsThatNameTheLargestOrder() {
    limitAddressSpace(1ULL << 30);
    std::string row;
    for (int k = 0; k < 32767; ++k)
        row += "1 ";
    const double one = 1;
    const std::string oneDouble(reinterpret_cast<const char*>(&one), sizeof one);
    for (const std::string& text :
         {std::string("32766\n1 2 3\n"), row + "\n",
          std::string("%%MatrixMarket matrix array real general\n32766 32766\n1\n"),
          npyHeader("(32766, 32767)", false, "<i4"), npyHeader("(32766, 32767)") + oneDouble}) {
        try {
            readSystem(text);
        } catch (const InputError& error) {
            std::cerr << error.what() << "\n";
        }
    }
    std::exit(0);
}

} // namespace

TEST(Streaming, AShortInputThatNamesALargeOrderAllocatesNothing) {
    if (kAddressSanitizer || kThreadSanitizer)
        GTEST_SKIP() << "the sanitizers reserve address space beyond the limit";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(readShortInputsThatNameTheLargestOrder(), ::testing::ExitedWithCode(0),
                "expected 1073610756 coefficients of A, found 3\nexpected 32766 rows of 32767 "
                "numbers, one per line, found 1 row\nexpected 1073610756 entries, found 1\n"
                "the file ends after 0 of the array's 1073643522 entries\n"
                "the file ends after 1 of the array's 1073643522 entries\n");
}

namespace {

// The plain text of a system of order n with the field at `bad` (counting from 0 after the
// count) replaced.
std::string plainWith(int n, long long bad, const std::string& field) {
    std::string text = std::to_string(n) + "\n";
    long long k = 0;
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j < n; ++j, ++k)
            text += (k == bad ? field : std::to_string(i * 7 + j % 5)) + " ";
        text += "\n";
    }
    return text;
}

std::string outcome(const std::string& text, int threads, std::size_t piece) {
    ReadOptions options;
    options.threads = threads;
    try {
        LinearSystem system;
        if (piece == 0) {
            system = readSystem(text, options);
        } else {
            TrickleSource source(text, piece, SourceKind::pipe);
            system = readFrom(source, options, 4096);
        }
        double sum = 0;
        for (int i = 1; i <= system.n; ++i) {
            sum += system.b(i) * i;
            for (int j = 1; j <= system.n; ++j)
                sum += system.A(i, j) * (i + 2 * j);
        }
        return "n " + std::to_string(system.n) + " sum " + std::to_string(sum);
    } catch (const InputError& error) {
        return error.what();
    }
}

} // namespace

// Batches of 32768 fields are parsed side by side; the mistakes must still come out in the
// order of the input, whichever thread meets them.
TEST(Streaming, ParsingOnSeveralThreadsGivesTheSameSystemsAndMistakes) {
    const int n = 250; // 62750 numbers: two batches
    std::vector<std::string> texts{plainWith(n, -1, "")};
    for (const long long bad : {0LL, 5000LL, 20000LL, 32767LL, 32768LL, 50000LL, 62749LL})
        texts.push_back(plainWith(n, bad, "1.2.3"));
    texts.push_back(plainWith(n, 40000, "1e999") + "7\n");
    // Rows: a short row first, then a field that is not a number, in another batch; and the
    // same with the right number of rows.
    std::string rows;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j <= n; ++j)
            rows += (i == 3 && j == n ? std::string() : std::to_string(i + j)) + " ";
        rows += "\n";
    }
    texts.push_back(rows);
    std::string rowsAndMore = rows;
    rowsAndMore.replace(rowsAndMore.rfind("1 "), 1, "x");
    texts.push_back(rowsAndMore);
    texts.push_back(rowsAndMore + "1 2\n1 2\n"); // too many rows: the field comes first
    // A decimal comma late: the field that is not a number in an earlier batch comes first.
    std::string early = rows;
    early.replace(early.find("1 "), 1, "x");
    texts.push_back(early + "2,5\t1\n");
    for (std::size_t t = 0; t < texts.size(); ++t) {
        SCOPED_TRACE(t);
        const std::string once = outcome(texts[t], 1, 0);
        for (const int threads : {2, 3}) {
            for (const std::size_t piece : {std::size_t{0}, std::size_t{1000}}) {
                EXPECT_EQ(outcome(texts[t], threads, piece), once);
            }
        }
        if (t > 0) {
            EXPECT_NE(once.rfind("n ", 0), 0u) << "a text with a mistake was read: " << once;
        }
    }
}

namespace {

// `text`, UTF-8, as UTF-16 of the byte order `little` with its mark first.
std::string utf16(std::string_view text, bool little) {
    std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
    const auto unit = [&](unsigned u) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += little ? std::string{low, high} : std::string{high, low};
    };
    for (std::size_t k = 0; k < text.size();) {
        const auto byte = static_cast<unsigned char>(text[k]);
        const std::size_t length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        unsigned c = length == 1 ? byte : byte & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i)
            c = c << 6 | (static_cast<unsigned char>(text[k + i]) & 0x3F);
        k += length;
        if (c < 0x10000) {
            unit(c);
        } else {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

} // namespace

// PowerShell's > and Notepad's "Unicode" write UTF-16: it reads as its UTF-8 does, in either
// byte order and in any pieces, a character beyond 16 bits (a pair of code units) too; a code
// unit without its pair, or a last byte alone, is a character that no reader takes.
TEST(Streaming, Utf16ReadsAsItsUtf8) {
    const std::vector<std::string> inputs{
        "3\n4 2 14\n2 17 -5\n14 -5 83\n14 -101 155\n",
        "x1, x2, b\r\n\xE2\x88\x92"
        "4, 2, 14\r\n2 ,17,-101\r\n",
        "%%MatrixMarket matrix coordinate real symmetric\n% c\n3 3 3\n1 1 4\n3 2 -5\n3 3 1e-3\n",
        "2\n1 2\n3 \xF0\x9D\x9F\x8F\n5 6\n", // a mathematical bold 1, U+1D7CF
    };
    for (const std::string& input : inputs)
        for (const bool little : {true, false}) {
            SCOPED_TRACE(input);
            EXPECT_EQ(outcomes(utf16(input, little), {}), outcomes(input, {}));
        }
    const std::string lone = utf16("1\n2 3", true);
    for (const std::string& broken :
         {lone.substr(0, 6) + std::string("\x00\xD8", 2) + lone.substr(6), lone + "4"})
        for (const std::string& result : outcomes(broken, {}))
            EXPECT_NE(result.find("\xEF\xBF\xBD"), std::string::npos) << result;
}

// Quotes that enclose a whole field without a blank or comma give its text, a number or not;
// any others stand as written.
TEST(Streaming, QuotesEncloseAFieldOnlyWhole) {
    const std::vector<RefusedInput> cases{
        {"1,\"2\"\n\"3\",\"4 5\"\n", "line 2, column 5: expected a number, found '\"4'"},
        {"\"1\",\"2\"\"\n3,4\n", "line 1, column 5: expected a number, found '\"2\"\"'"},
        {"\"1,2\n3,4\n", "line 1, column 1: expected a number, found '\"1'"},
        {"1,\"\"\n3,4\n", "line 1, column 4: expected a number, found an empty field"},
    };
    for (const RefusedInput& c : cases) {
        SCOPED_TRACE(c.input);
        for (const std::string& result : outcomes(c.input, optionsFor(c.format)))
            EXPECT_EQ(result, c.message);
    }
}
