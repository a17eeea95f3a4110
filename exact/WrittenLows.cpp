#include "WrittenLows.h"

#include "NumberForm.h"
#include "Team.h"

#include <gmp.h>
#include <mpfr.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace lse::exact {

namespace {

// Where a pair's tail is a normal double for any written value, so that hi + lo is within
// 2^-106 of it: |hi| >= 2^(-1022 + 53).
constexpr double kSmallestHeld = 0x1p-969;
// From this many written values on, their pairs are made by a team, a piece at a time.
constexpr std::size_t kEntriesForTeam = std::size_t{1} << 16;
constexpr std::size_t kEntriesPiece = std::size_t{1} << 12;
// Whole numbers of the row sums are counted in units of the smallest subnormal.
constexpr int kUnitShift = 1074;

struct Fraction {
    mpq_t value;
    Fraction() { mpq_init(value); }
    Fraction(const Fraction&) = delete;
    Fraction& operator=(const Fraction&) = delete;
    ~Fraction() { mpq_clear(value); }
};

struct Whole {
    mpz_t value;
    Whole() { mpz_init(value); }
    Whole(const Whole&) = delete;
    Whole& operator=(const Whole&) = delete;
    ~Whole() { mpz_clear(value); }
};

// Digits alone, with their sign.
bool setDigits(mpz_t out, std::string_view digits, bool negative) {
    if (mpz_set_str(out, std::string(digits).c_str(), 10) != 0)
        return false;
    if (negative)
        mpz_neg(out, out);
    return true;
}

// A written exponent beyond this is no pair's, and not read further.
constexpr long kLargestExponent = 100000000;

// The exact value of a decimal or a fraction, as the exact solve reads it; a decimal's exponent
// only so far as the doubles reach (beyond, the value is no pair anyway): false otherwise.
bool setWritten(mpq_t out, std::string_view text, bool& beyond) {
    const std::optional<NumberForm> form = numberForm(text);
    if (!form)
        return false;
    if (form->kind == NumberForm::Kind::fraction) {
        Whole q;
        if (!setDigits(mpq_numref(out), form->numerator, form->negative) ||
            !setDigits(q.value, form->denominator, form->denominatorNegative) ||
            mpz_sgn(q.value) == 0)
            return false;
        mpz_set(mpq_denref(out), q.value);
        mpq_canonicalize(out);
        return true;
    }
    if (form->exponent > kLargestExponent || form->exponent < -kLargestExponent)
        return false;
    const std::string digits = std::string(form->integerDigits).append(form->fractionDigits);
    const long exponent = form->exponent - static_cast<long>(form->fractionDigits.size());
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        mpq_set_ui(out, 0, 1);
        return true;
    }
    // The value is about 10^(exponent + significant digits): a double holds nothing beyond
    // 10^309 nor a pair below 10^-292, so 10^±400 is never built for it.
    const long magnitude = exponent + static_cast<long>(digits.size() - first);
    if (magnitude > 400 || magnitude < -400) {
        beyond = true;
        return false;
    }
    Whole scale;
    if (!setDigits(mpq_numref(out), std::string_view(digits).substr(first), form->negative))
        return false;
    mpz_ui_pow_ui(scale.value, 10, static_cast<unsigned long>(exponent < 0 ? -exponent : exponent));
    if (exponent >= 0) {
        mpz_mul(mpq_numref(out), mpq_numref(out), scale.value);
        mpz_set_ui(mpq_denref(out), 1);
    } else {
        mpz_set(mpq_denref(out), scale.value);
        mpq_canonicalize(out);
    }
    return true;
}

// value rounded once to the nearest double, subnormals rounded once too: MPFR with the doubles'
// precision and exponent range, put back afterwards.
double nearest(const mpq_t value) {
    const mpfr_exp_t emin = mpfr_get_emin();
    const mpfr_exp_t emax = mpfr_get_emax();
    mpfr_set_emin(std::numeric_limits<double>::min_exponent - std::numeric_limits<double>::digits +
                  1);
    mpfr_set_emax(std::numeric_limits<double>::max_exponent);
    mpfr_t rounded;
    mpfr_init2(rounded, std::numeric_limits<double>::digits);
    int ternary = mpfr_set_q(rounded, value, MPFR_RNDN);
    ternary = mpfr_subnormalize(rounded, ternary, MPFR_RNDN);
    const double result = mpfr_get_d(rounded, MPFR_RNDN);
    mpfr_clear(rounded);
    mpfr_set_emin(emin);
    mpfr_set_emax(emax);
    return result;
}

// hi + lo from the exact value; nullopt where the pair does not hold it (`beyond` set).
std::optional<dd::Pair> pairOf(const mpq_t value, bool& beyond) {
    const double hi = nearest(value);
    if (!std::isfinite(hi)) {
        beyond = true;
        return std::nullopt;
    }
    Fraction rest;
    mpq_set_d(rest.value, hi);
    mpq_sub(rest.value, value, rest.value);
    if (mpq_sgn(rest.value) == 0)
        return dd::Pair{hi, 0};
    const double lo = nearest(rest.value);
    if (std::fabs(hi) < kSmallestHeld) {
        // Held only where the tail is exact.
        Fraction tail;
        mpq_set_d(tail.value, lo);
        if (!mpq_equal(tail.value, rest.value)) {
            beyond = true;
            return std::nullopt;
        }
    }
    return dd::Pair{hi, lo};
}

void addDouble(mpz_t sum, double a, mpz_t scratch) {
    if (a == 0)
        return;
    int e = 0;
    const double fraction = std::frexp(a, &e);
    mpz_set_d(scratch, std::ldexp(fraction, 53));
    mpz_mul_2exp(scratch, scratch, static_cast<mp_bitcnt_t>(e - 53 + kUnitShift));
    mpz_add(sum, sum, scratch);
}

// What a member found over its pieces: its first entry that cannot be held, and whether it
// set a word of A or of b.
struct Share {
    static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
    std::size_t failed = kNone;
    bool beyond = false; // the failure is a value below what the words hold
    bool inA = false;
    bool inB = false;
};

// take(begin, end, share) over [0, count): with many entries, the team's members take fixed
// pieces in turn, each with a share of its own, a member stopping at its share's first failure;
// their shares gathered, the earliest failure first.
template <class Take> Share inPieces(std::size_t count, const Take& take) {
    std::vector<Share> shares(count >= kEntriesForTeam ? Team::sizeFor(0) : 1);
    if (shares.size() == 1) {
        take(0, count, shares[0]);
        return shares[0];
    }
    Team team(static_cast<int>(shares.size()));
    const std::size_t pieces = (count + kEntriesPiece - 1) / kEntriesPiece;
    team.run([&](int member) {
        Share& share = shares[static_cast<std::size_t>(member)];
        for (std::size_t p = static_cast<std::size_t>(member); p < pieces;
             p += static_cast<std::size_t>(team.size()))
            if (share.failed == Share::kNone)
                take(p * kEntriesPiece, std::min(count, (p + 1) * kEntriesPiece), share);
    });
    Share all;
    for (const Share& share : shares) {
        if (share.failed < all.failed) {
            all.failed = share.failed;
            all.beyond = share.beyond;
        }
        all.inA = all.inA || share.inA;
        all.inB = all.inB || share.inB;
    }
    return all;
}

// The words to fill for A and b: those the reader held, where it held them, else zeros.
void startFrom(const Matrix* heldA, const Vector* heldB, Matrix& a, Vector& b, int n) {
    if (heldA) {
        a = *heldA;
        b = *heldB;
    } else {
        a.recreate(n, n);
        b.recreate(n);
    }
}

bool anyNonZero(const Matrix& m, int n) {
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            if (m(i, j) != 0)
                return true;
    return false;
}

bool anyNonZero(const Vector& v, int n) {
    for (int i = 1; i <= n; ++i)
        if (v(i) != 0)
            return true;
    return false;
}

// An array of words left all zero is dropped, and costs the refinement nothing. Without held
// words only the texts taken set any (`set`); held ones are looked at.
template <class Array> void dropIfZero(Array& words, bool set, bool held, int n) {
    if (!set && !(held && anyNonZero(words, n)))
        words = Array();
}

} // namespace

std::optional<dd::Pair> exactPair(std::string_view text, bool& beyond) {
    beyond = false;
    Fraction value;
    if (!setWritten(value.value, text, beyond))
        return std::nullopt;
    return pairOf(value.value, beyond);
}

WrittenLows writtenLows(const Matrix& A, const Vector& b, int n, const WrittenValues& written) {
    WrittenLows lows;
    const auto towardsDoubles = [&](TowardsDoubles::Why why, const WrittenValues::Entry& e) {
        WrittenLows doubles;
        doubles.towardsDoubles =
            TowardsDoubles{why, e.row, e.column, e.column == n + 1, std::string(e.text)};
        return doubles;
    };
    if (written.dropped)
        return towardsDoubles(TowardsDoubles::Why::notKept, {0, 0, {}});
    if (const SummedEntries& summed = written.summedEntries; summed.any())
        return towardsDoubles(TowardsDoubles::Why::summed,
                              {summed.row, summed.column, "the entry given more than once"});
    const bool sums = written.bIsRowSums;
    const std::size_t count = written.size();
    const WrittenValues::HeldWords* const words = written.words.get();
    if (count == 0 && !words)
        return lows;
    startFrom(words ? &words->aLo : nullptr, words ? &words->bLo : nullptr, lows.aLo, lows.bLo, n);
    // Entries are independent, each writing its own lo: with many, the team shares them in
    // fixed pieces, and the first entry that cannot be held is the same whoever finds it.
    const auto take = [&](std::size_t begin, std::size_t end, Share& share) {
        for (std::size_t k = begin; k < end; ++k) {
            const WrittenValues::Entry e = written[k];
            const bool inB = e.column == n + 1;
            if (inB && sums)
                continue;
            const double value = inB ? b(e.row) : A(e.row, e.column);
            std::optional<dd::Pair> pair = writtenPair(e.text, value);
            bool beyond = false;
            if (!pair)
                pair = exactPair(e.text, beyond);
            // The reader rounds as the pair does; a text read otherwise is not taken as written.
            if (!pair || pair->hi != value) {
                share.failed = k;
                share.beyond = !pair && beyond;
                return;
            }
            if (pair->lo == 0)
                continue;
            (inB ? lows.bLo(e.row) : lows.aLo(e.row, e.column)) = pair->lo;
            (inB ? share.inB : share.inA) = true;
        }
    };
    const Share all = inPieces(count, take);
    if (all.failed != Share::kNone)
        return towardsDoubles(all.beyond ? TowardsDoubles::Why::belowPairs
                                         : TowardsDoubles::Why::notANumber,
                              written[all.failed]);
    // b's held words are not the row sums', which are made below.
    dropIfZero(lows.aLo, all.inA, words != nullptr, n);
    dropIfZero(lows.bLo, all.inB, words != nullptr && !sums, n);
    if (!sums) {
        // Asked for by each method refined; made once.
        auto made = std::make_shared<std::optional<std::optional<ThirdWords>>>();
        lows.thirds = [n, &written, made] {
            if (!*made)
                *made = writtenThirds(n, written);
            return **made;
        };
    }
    if (!sums || !lows.aLo.exists())
        return lows;
    // b is the written A's row sums rounded to pairs, as the exact solve sums every row once some
    // written value of A is not its double: each row's pairs summed exactly in whole units of
    // 2^-1074. The pairs' own error, 2^-106 of each |a_ij|, is within the bound's u^2 |A| |x|,
    // x being all ones.
    lows.bHi.recreate(n);
    lows.bLo.recreate(n);
    Whole total, scratch;
    Fraction sum;
    for (int i = 1; i <= n; ++i) {
        mpz_set_ui(total.value, 0);
        for (int j = 1; j <= n; ++j) {
            addDouble(total.value, A(i, j), scratch.value);
            addDouble(total.value, lows.aLo(i, j), scratch.value);
        }
        mpq_set_z(sum.value, total.value);
        mpq_div_2exp(sum.value, sum.value, kUnitShift);
        bool beyond = false;
        const std::optional<dd::Pair> pair = pairOf(sum.value, beyond);
        if (!pair)
            return towardsDoubles(TowardsDoubles::Why::belowPairs, {i, n + 1, "the row sum"});
        lows.bHi(i) = pair->hi;
        lows.bLo(i) = pair->lo;
    }
    return lows;
}

std::optional<ThirdWords> writtenThirds(int n, const WrittenValues& written) {
    if (written.dropped || written.summedEntries.any() || written.bIsRowSums)
        return std::nullopt;
    ThirdWords thirds;
    const WrittenValues::HeldWords* const words = written.words.get();
    startFrom(words ? &words->aLo2 : nullptr, words ? &words->bLo2 : nullptr, thirds.aLo2,
              thirds.bLo2, n);
    const auto take = [&](std::size_t begin, std::size_t end, Share& share) {
        Fraction value, rest, taken;
        for (std::size_t k = begin; k < end; ++k) {
            const WrittenValues::Entry e = written[k];
            bool beyond = false;
            if (!setWritten(value.value, e.text, beyond)) {
                share.failed = k;
                return;
            }
            // value - hi - lo, each word the nearest double to what is left.
            double third = 0;
            mpq_set(rest.value, value.value);
            for (int word = 0; word < 3 && std::isfinite(third); ++word) {
                third = nearest(rest.value);
                mpq_set_d(taken.value, std::isfinite(third) ? third : 0.0);
                mpq_sub(rest.value, rest.value, taken.value);
            }
            // Below the normal doubles a word's rounding is no longer relative.
            if (!std::isfinite(third) ||
                (third != 0 && std::fabs(third) < std::numeric_limits<double>::min())) {
                share.failed = k;
                return;
            }
            if (third == 0)
                continue;
            const bool inB = e.column == n + 1;
            (inB ? thirds.bLo2(e.row) : thirds.aLo2(e.row, e.column)) = third;
            (inB ? share.inB : share.inA) = true;
        }
    };
    const Share all = inPieces(written.size(), take);
    if (all.failed != Share::kNone)
        return std::nullopt;
    dropIfZero(thirds.aLo2, all.inA, words != nullptr, n);
    dropIfZero(thirds.bLo2, all.inB, words != nullptr, n);
    return thirds;
}

} // namespace lse::exact
