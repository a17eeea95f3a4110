// The input readers on arbitrary bytes. The first byte picks the layout (or detection by
// content), whether a right-hand side follows the matrix after a NUL byte, whether entries
// given twice are summed, and how a second reading takes the input in pieces; the rest is the
// input. An accepted input must give a system of at most kOrderLimit equations whose numbers are
// all finite, and must read back the same from the plain text of its numbers; a refused one must
// give a one-line message. Read again a few bytes at a time through a small buffer, as from a file
// (a pipe, which cannot go back, refuses some inputs that memory reads), it must give the same
// system or the same message, and so must a reading that holds the numbers' words.
#include "FuzzCheck.h"
#include "NumberText.h"
#include "ReadFromSource.h"
#include "TrickleSource.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

using namespace lse;
using lse::test::check;
using namespace lse::io;

namespace {

// A count in the input may ask for any order; refusing those above the limit is the same code
// as refusing those above 32766, and keeps each run's memory small.
constexpr int kOrderLimit = 64;

std::string plainText(const LinearSystem& system) {
    std::string text = std::to_string(system.n) + "\n";
    for (int i = 1; i <= system.n; ++i)
        for (int j = 1; j <= system.n; ++j)
            text += doubleToText(system.A(i, j), Digits::roundTrip) + (j == system.n ? "\n" : " ");
    for (int i = 1; i <= system.n; ++i)
        text += doubleToText(system.b(i), Digits::roundTrip) + "\n";
    return text;
}

void checkSystem(const LinearSystem& system) {
    const int n = system.n;
    check(n >= 0 && n <= kOrderLimit, "an order beyond the limit was accepted");
    check(system.A.rowsUpper() == n && system.A.colsUpper() == n && system.b.upper() == n,
          "the arrays do not match the order");
    check(system.A.stride() >= static_cast<std::size_t>(n) + 2,
          "A has no room for the column that Gauss elimination adds");
    for (int i = 1; i <= n; ++i) {
        check(std::isfinite(system.b(i)), "b holds a number that is not finite");
        for (int j = 1; j <= n; ++j)
            check(std::isfinite(system.A(i, j)), "A holds a number that is not finite");
    }
    ReadOptions options;
    options.maxOrder = kOrderLimit;
    const LinearSystem again = readSystem(plainText(system), options);
    check(again.format == InputFormat::plain && again.A == system.A && again.b == system.b,
          "the plain text of the system does not read back as the same system");
}

// A system with b, or the refusal's message.
struct Outcome {
    LinearSystem system;
    std::string refusal;
};

// piece 0: from memory, whole; kInPlace: from memory, a few bytes in view at a time.
constexpr std::size_t kInPlace = static_cast<std::size_t>(-1);

Outcome readWhole(std::string_view text, std::string_view rhs, bool rhsGiven,
                  const ReadOptions& options, std::size_t piece) {
    Outcome outcome;
    try {
        LinearSystem system;
        if (piece == 0 || piece == kInPlace) {
            MemorySource source(text);
            system = piece == 0 ? readFrom(source, options) : readFrom(source, options, 16);
        } else {
            test::TrickleSource source(text, piece, test::SourceKind::file);
            system = readFrom(source, options, 16);
        }
        check(system.format != InputFormat::automatic, "no layout was chosen");
        check(system.format == InputFormat::plain
                  ? system.hasB
                  : system.format != InputFormat::matrixMarket || !system.hasB,
              "b is missing from a layout that holds it, or given by one that cannot");
        if (!system.hasB) {
            if (rhsGiven) {
                if (piece == 0 || piece == kInPlace) {
                    addRightHandSide(system, rhs, options);
                } else {
                    test::TrickleSource source(rhs, piece, test::SourceKind::file);
                    addRightHandSideFrom(system, source, options, 16);
                }
            } else {
                setRowSums(system);
            }
        }
        outcome.system = std::move(system);
    } catch (const InputError& error) {
        outcome.refusal = error.what();
        check(!outcome.refusal.empty() &&
                  outcome.refusal.find_first_of("\r\n") == std::string::npos,
              "a refusal is not one line");
    }
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t choice = data[0];
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string_view rhs;
    const bool rhsGiven = (choice & 4) != 0;
    if (rhsGiven) {
        const std::size_t cut = text.find('\0');
        rhs = cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1);
        text = text.substr(0, cut);
    }
    ReadOptions options;
    options.format = static_cast<InputFormat>(choice & 3);
    options.maxOrder = kOrderLimit;
    options.duplicates = (choice & 8) != 0 ? Duplicates::sum : Duplicates::refuse;
    const Outcome whole = readWhole(text, rhs, rhsGiven, options, 0);
    if (whole.refusal.empty())
        checkSystem(whole.system);
    ReadOptions words = options;
    words.keepWritten = true;
    words.wordsFrom = 1;
    for (const std::size_t piece : {std::size_t{1} + (choice >> 4), kInPlace, std::size_t{0}}) {
        // The last reading holds the numbers' words, which its scan reads itself.
        const Outcome pieces = readWhole(text, rhs, rhsGiven, piece == 0 ? words : options, piece);
        check(pieces.refusal == whole.refusal, "read in pieces, the input is refused otherwise");
        check(pieces.system.n == whole.system.n && pieces.system.A == whole.system.A &&
                  pieces.system.b == whole.system.b && pieces.system.hasB == whole.system.hasB &&
                  pieces.system.format == whole.system.format,
              "read in pieces, the input gives another system");
    }
    return 0;
}
