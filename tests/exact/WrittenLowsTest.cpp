// The written values as pairs: the error-free route against the exact one on random texts, both
// against FLINT's reading of the same text, and the system a refinement is towards.
#include "WrittenLows.h"
#include "NumberText.h"
#include "Rational.h"
#include "SystemReader.h"
#include "WrittenNumber.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace lse;
using namespace lse::exact;

namespace {

// Decimals of 1 to 22 digits with exponents that the error-free route takes and some it does
// not, fractions of up to 2^53 (the reader's limit), both signs.
std::string randomText(std::mt19937_64& random) {
    const auto digits = [&](int count) {
        std::string text(1, static_cast<char>('1' + random() % 9));
        for (int i = 1; i < count; ++i)
            text += static_cast<char>('0' + random() % 10);
        return text;
    };
    const std::string sign = random() % 2 ? "-" : "";
    if (random() % 4 == 0)
        return sign + std::to_string(1 + random() % (std::uint64_t{1} << (1 + random() % 53))) +
               "/" + std::to_string(1 + random() % (std::uint64_t{1} << (1 + random() % 53)));
    const std::string m = digits(1 + static_cast<int>(random() % 22));
    const int point = static_cast<int>(random() % m.size());
    const int exponent = static_cast<int>(random() % 61) - 30;
    return sign + m.substr(0, m.size() - point) + (point ? "." + m.substr(m.size() - point) : "") +
           "e" + std::to_string(exponent);
}

TEST(WrittenLows, EveryRouteGivesTheCorrectlyRoundedPair) {
    std::mt19937_64 random(48);
    int fast = 0;
    for (int k = 0; k < 20000; ++k) {
        const std::string text = randomText(random);
        SCOPED_TRACE(text);
        bool beyond = false;
        const std::optional<dd::Pair> pair = exactPair(text, beyond);
        ASSERT_TRUE(pair);
        EXPECT_EQ(pair->hi, textToDouble(text).value());
        // FLINT's reading of the text, minus hi, rounded: the tail.
        Rational value, hi(pair->hi);
        ASSERT_TRUE(setWritten(value.value, text));
        fmpq_sub(value.value, value.value, hi.value);
        EXPECT_EQ(pair->lo, nearestDouble(value.value).value());
        Rational lo(pair->lo);
        fmpq_sub(value.value, value.value, lo.value);
        const double lo2 = nearestDouble(value.value).value();
        const std::optional<Words> quick = writtenWords(text, pair->hi);
        // The one scan finds hi itself, where it takes the text at all.
        const std::optional<Words> scanned = decimalTextWords(text);
        if (scanned) {
            EXPECT_TRUE(quick) << "the scan holds what the reader's double does not";
        }
        for (const std::optional<Words>& words : {quick, scanned}) {
            if (!words)
                continue;
            ++fast;
            EXPECT_EQ(std::bit_cast<std::uint64_t>(words->hi),
                      std::bit_cast<std::uint64_t>(pair->hi));
            EXPECT_EQ(std::bit_cast<std::uint64_t>(words->lo),
                      std::bit_cast<std::uint64_t>(pair->lo));
            EXPECT_EQ(std::bit_cast<std::uint64_t>(words->lo2), std::bit_cast<std::uint64_t>(lo2));
        }
    }
    EXPECT_GT(fast, 10000); // the error-free routes were taken often enough to be checked
}

// The scan's own hi where two roundings of m / 10^k leave it an ulp or two off: beside the
// powers of two, whose ulp below is half the one above, in 17 to 19 digits, each last digit
// moved both ways.
TEST(WrittenLows, TheScanRoundsAsTheReaderAtEveryBinadeEdge) {
    int scanned = 0;
    for (int power = -60; power <= 62; ++power) {
        const double edge = std::ldexp(1.0, power);
        for (const double x : {std::nextafter(edge, 0.0), edge, std::nextafter(edge, 2 * edge)})
            for (int digits = 17; digits <= 19; ++digits)
                for (int move = -2; move <= 2; ++move) {
                    char text[64];
                    std::snprintf(text, sizeof text, "%.*e", digits - 1, x);
                    std::string written = text;
                    const std::size_t e = written.find('e');
                    std::string mantissa = written.substr(0, e);
                    mantissa.back() =
                        static_cast<char>('0' + (mantissa.back() - '0' + 10 + move) % 10);
                    written = mantissa + written.substr(e);
                    SCOPED_TRACE(written);
                    if (const std::optional<Words> words = decimalTextWords(written)) {
                        ++scanned;
                        EXPECT_EQ(words->hi, textToDouble(written).value());
                    }
                }
    }
    EXPECT_GT(scanned, 1000);
}

TEST(WrittenLows, TowardsTheWrittenSystemOrWhollyTheDoubles) {
    struct Case {
        const char* name;
        const char* a11; // the text of A(1, 1); A's others are 1, 1, 2 and b 1, 1
        bool rowSums;
        bool dropped;
        std::optional<TowardsDoubles::Why> why;
    };
    const Case cases[] = {
        {"a tenth", "0.1", false, false, std::nullopt},
        {"a tenth in row sums", "0.1", true, false, std::nullopt},
        {"a half", "0.5", true, false, std::nullopt},
        {"below a pair", "1e-310", false, false, TowardsDoubles::Why::belowPairs},
        {"not kept", "0.1", false, true, TowardsDoubles::Why::notKept},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Matrix A;
        A.recreate(2, 2);
        A(1, 1) = textToDouble(c.a11).value();
        A(1, 2) = A(2, 1) = 1;
        A(2, 2) = 2;
        Vector b;
        b.recreate(2);
        b(1) = c.rowSums ? A(1, 1) + 1 : 1;
        b(2) = c.rowSums ? 3 : 1;
        WrittenValues written;
        written.note(1, 1, c.a11);
        written.bIsRowSums = c.rowSums;
        written.dropped = c.dropped;
        const WrittenLows lows = writtenLows(A, b, 2, written);
        ASSERT_EQ(lows.towardsDoubles.has_value(), c.why.has_value());
        if (c.why) {
            EXPECT_EQ(lows.towardsDoubles->why, *c.why);
            EXPECT_FALSE(lows.aLo.exists() || lows.bLo.exists() || lows.bHi.exists());
            continue;
        }
        const bool tail = std::string(c.a11) == "0.1";
        ASSERT_EQ(lows.aLo.exists(), tail);
        if (tail) {
            EXPECT_EQ(lows.aLo(1, 1), -0x1.999999999999ap-58);
        }
        // 1/10 + 1 as a pair: the sum of the written row, not of its doubles.
        ASSERT_EQ(lows.bHi.exists(), c.rowSums && tail);
        if (lows.bHi.exists()) {
            EXPECT_EQ(lows.bHi(1), 0x1.199999999999ap+0);
            EXPECT_EQ(lows.bLo(1), -0x1.999999999999ap-54);
            EXPECT_EQ(lows.bHi(2), 3);
            EXPECT_EQ(lows.bLo(2), 0);
        }
    }
}

// A system of 90000 written values takes the team: every lo as the entry alone gives it, and of
// two values below the pairs, the earlier is named whoever finds it.
TEST(WrittenLows, ATeamGivesWhatTheEntriesGiveAlone) {
    constexpr int n = 300;
    std::mt19937_64 random(50);
    Matrix A;
    A.recreate(n, n);
    Vector b;
    b.recreate(n);
    WrittenValues written;
    std::vector<std::string> texts;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n + 1; ++j) {
            const std::string text = randomText(random);
            (j <= n ? A(i, j) : b(i)) = textToDouble(text).value();
            written.note(i, j, text);
        }
    const WrittenLows lows = writtenLows(A, b, n, written);
    ASSERT_FALSE(lows.towardsDoubles);
    for (std::size_t k = 0; k < written.size(); ++k) {
        const WrittenValues::Entry e = written[k];
        bool beyond = false;
        const double lo = exactPair(e.text, beyond).value().lo;
        ASSERT_EQ(e.column <= n ? lows.aLo(e.row, e.column) : lows.bLo(e.row), lo) << e.text;
    }
    // Rows 235, 250 and 259 end in pieces 17, 18 and 19 of 4096 values, which two members
    // take in turn: the earlier found by either.
    for (const auto& [late, early] : {std::pair{259, 250}, std::pair{250, 235}}) {
        WrittenValues below;
        for (std::size_t k = 0; k < written.size(); ++k) {
            const WrittenValues::Entry e = written[k];
            below.note(e.row, e.column,
                       e.column == n && (e.row == late || e.row == early) ? "1e-310"
                                                                          : std::string(e.text));
        }
        Matrix tiny = A;
        tiny(late, n) = tiny(early, n) = 1e-310;
        const WrittenLows towards = writtenLows(tiny, b, n, below);
        ASSERT_TRUE(towards.towardsDoubles);
        EXPECT_EQ(towards.towardsDoubles->row, std::min(late, early));
    }
}

} // namespace

// A reading that holds the numbers' words gives the refinement the very system, pairs and third
// words that the texts give: in both text layouts (rows under a count too), b read or made as the
// row sums, on one thread and on helpers (a batch is 16384 numbers), with the texts no route holds
// among them.
TEST(WrittenLows, HeldWordsGiveWhatTheTextsGive) {
    const std::vector<std::string> unheld = {"1e-30", "\u22120.5", "1.2345678901234567890123",
                                             "12345678901234567.5", "3e25"};
    std::mt19937_64 random(51);
    const int n = 150;
    std::string plain = std::to_string(n) + "\n", rows, square;
    for (int i = 1; i <= n + 1; ++i) {
        for (int j = 1; j <= n; ++j) {
            const std::string text =
                random() % 50 == 0 ? unheld[random() % unheld.size()] : randomText(random);
            plain += text + (j < n ? " " : "\n");
            if (i <= n)
                square += text + (j < n ? " " : "\n");
            rows += text + (j < n ? " " : i <= n ? " " : "\n");
        }
        if (i <= n)
            rows += "0.1\n";
    }
    rows.erase(rows.rfind('\n', rows.size() - 2) + 1); // the extra line was the plain b
    std::string rhs;
    for (int i = 1; i <= n; ++i)
        rhs += (i % 7 == 0 ? unheld[i % unheld.size()] : randomText(random)) + "\n";
    std::string counted = std::to_string(n) + "\n" + rows; // rows under a count
    for (const std::string* text : {&plain, &rows, &counted, &square, &rhs})
        for (const int threads : {1, 2}) {
            SCOPED_TRACE(text == &plain     ? "plain"
                         : text == &rows    ? "rows"
                         : text == &counted ? "counted rows"
                                            : "square");
            SCOPED_TRACE(threads);
            io::ReadOptions options;
            options.keepWritten = true;
            options.threads = threads;
            // The last is the square A with its b on its own.
            const std::string& input = text == &rhs ? square : *text;
            io::LinearSystem texts = io::readSystem(input, options);
            options.wordsFrom = 1;
            io::LinearSystem words = io::readSystem(input, options);
            if (text == &rhs) {
                io::addRightHandSide(texts, rhs, options);
                io::addRightHandSide(words, rhs, options);
            }
            ASSERT_TRUE(words.written.words);
            ASSERT_FALSE(texts.written.words);
            if (!texts.hasB) {
                io::setRowSums(texts);
                io::setRowSums(words);
            }
            ASSERT_EQ(words.A, texts.A);
            ASSERT_EQ(words.b, texts.b);
            const WrittenLows a = writtenLows(texts.A, texts.b, n, texts.written);
            const WrittenLows w = writtenLows(words.A, words.b, n, words.written);
            ASSERT_EQ(a.towardsDoubles.has_value(), w.towardsDoubles.has_value());
            if (a.towardsDoubles) {
                EXPECT_EQ(w.towardsDoubles->text, a.towardsDoubles->text);
                continue;
            }
            EXPECT_EQ(w.aLo, a.aLo);
            EXPECT_EQ(w.bLo, a.bLo);
            EXPECT_EQ(w.bHi, a.bHi);
            const std::optional<ThirdWords> at = writtenThirds(n, texts.written);
            const std::optional<ThirdWords> wt = writtenThirds(n, words.written);
            ASSERT_EQ(wt.has_value(), at.has_value());
            if (at) {
                EXPECT_EQ(wt->aLo2, at->aLo2);
                EXPECT_EQ(wt->bLo2, at->bLo2);
            }
        }
}
