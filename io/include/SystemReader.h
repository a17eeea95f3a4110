#pragma once

// Reading a system A x = b, or b alone, from a text, a file or a stream. The readers behind
// these entry points are the io library's own.

#include "Limits.h"
#include "Matrix.h"
#include "WrittenValues.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <istream>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lse::io {

// Why an input was refused: one line, without the file's name, which the caller knows.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A reading stopped because its caller asked it to (ReadOptions::cancel): no fault of the
// input, and nothing to report as one.
class ReadCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "the reading was cancelled"; }
};

enum class InputFormat {
    automatic,    // chosen by the content
    plain,        // n, then A row by row, then b
    rows,         // n lines of n + 1 numbers, b last (or n of n, A alone); CSV, with a header
    matrixMarket, // A in Matrix Market array or coordinate form; b comes separately
    numpy,        // a NumPy .npy array: n x n (A) or n x (n + 1) (A, then b)
};

// The layouts by the names that lineq-solve's --input-format takes ("auto", "plain", "rows",
// "matrix-market", "npy"); nullopt for any other name.
std::optional<InputFormat> inputFormatNamed(std::string_view name);
// Those names, in the order above, for a list of choices.
const std::vector<std::string>& inputFormatNames();
// The suffixes of the files that hold a system in these layouts, for an open dialog's choice
// of files: ".txt", ".csv", ".tsv", ".dat", ".mtx", ".npy".
std::span<const std::string_view> systemFileSuffixes();

// What to do with a Matrix Market coordinate entry given twice.
enum class Duplicates {
    refuse, // the file is refused, naming the entry's line
    sum,    // the values are added, in the order of their lines
};

struct ReadOptions {
    InputFormat format = InputFormat::automatic;
    Duplicates duplicates = Duplicates::refuse;
    int maxOrder = kMaxOrder; // a larger order is refused before anything is allocated
    // Threads that parse the numbers of a large text side by side; 0 takes one per
    // processor. The system and the refusals are the same for any number.
    int threads = 0;
    // Set (from any thread) to stop the reading: it then throws ReadCancelled within a piece
    // of the input (a megabyte or so), its arrays released. nullptr: it always runs to the end.
    const std::atomic<bool>* cancel = nullptr;
    // Called on the reading thread with the bytes read so far, once per piece of the input.
    std::function<void(std::uint64_t)> progress = {};
    // Keep the texts of numbers whose written value may differ from their double (0.1, 1/3),
    // for the exact solve of the system as written; every layout but NumPy's (doubles), up to
    // WrittenValues::kLargestOrder. Costs memory and time beside the arrays.
    bool keepWritten = false;
    // With keepWritten, a text system (plain or rows) of this order or more holds its numbers'
    // words instead (WrittenValues::words), made by the threads that parse them, and the texts
    // of those alone that the words do not hold: what a refinement needs, at a fraction of
    // the cost, but not the exact solve. 0: never.
    int wordsFrom = 0;
};

struct LinearSystem {
    int n = 0;
    // Rows and columns 1..n, with room for column n + 1, so that Gauss elimination can work in
    // the array it was read into.
    Matrix A;
    Vector b;                                // 1..n; zero when hasB is false
    InputFormat format = InputFormat::plain; // the layout it was read in
    // False when the input holds A alone: a square block of rows, a Matrix Market matrix, an
    // n x n NumPy array. b is then for the caller to give (readRightHandSide), to make
    // (setRowSums) or to refuse (requireRightHandSide).
    bool hasB = true;
    std::uint64_t bytes = 0; // the size of the input read, for a reading rate
    // With ReadOptions::keepWritten: A's and b's, b's also when given on its own
    // (addRightHandSide). Whether b was made as the row sums (written.bIsRowSums) is said
    // either way.
    WrittenValues written;
    // Where A came from, and b when it came on its own: a file's path, or the name the caller
    // gives a text or a stream ("standard input"); empty when no one named it.
    std::string source;
    std::string bSource;
};

// The system held in `text` (a clipboard's text, a string), every number through the
// program's one parser. A refused input throws InputError with one line naming the place
// (line and column) and what was expected; an order above maxOrder is refused before anything
// is allocated, and so is an input too short to hold the numbers its order needs.
LinearSystem readSystem(std::string_view text, const ReadOptions& options = {});

// The same from a file or a stream (a pipe), read in pieces: beyond the arrays, reading
// takes a buffer of fixed size, not the input's size. InputError also when the file cannot
// be opened or read. The file's path becomes the system's source. From a stream, whose length is
// unknown, the arrays are allocated once the order is read.
LinearSystem readSystemFile(const std::string& path, const ReadOptions& options = {});
LinearSystem readSystem(std::istream& in, const ReadOptions& options = {});

// Throws InputError saying that b is missing when the system holds A alone, for a caller that
// does not make b up.
void requireRightHandSide(const LinearSystem& system);

// b read on its own before A, whose order it cannot know yet, so that a file that cannot be b
// is refused before A's arrays are built (an order of 32766 takes 8.6 GB): opened, its layout
// read and every number parsed. What only A's order can tell (the count of entries, a Matrix
// Market vector's size, a NumPy array's shape) is told when it joins A, in the words a reading
// after A gives.
struct RightHandSide {
    std::vector<double> entries; // as read; at most kMaxOrder, the most a b can need
    WrittenValues written;       // with ReadOptions::keepWritten, entry k's text as (k, 1)
    // Throws InputError where this is not b of n entries.
    std::function<void(int n)> refuseUnlessOf;
    std::string source; // a file's path; empty for a text or a stream
};
RightHandSide readRightHandSideAhead(std::string_view text, const ReadOptions& options);
RightHandSide readRightHandSideAheadFile(const std::string& path, const ReadOptions& options);
RightHandSide readRightHandSideAhead(std::istream& in, const ReadOptions& options);

// b of n entries: a Matrix Market n x 1 array, a NumPy array of n (or n x 1), or n numbers
// laid out as in the plain format.
Vector readRightHandSide(std::string_view text, int n);
Vector readRightHandSideFile(const std::string& path, int n);
Vector readRightHandSide(std::istream& in, int n);

// The same, given to a system that holds A alone (hasB false; otherwise std::logic_error):
// b's doubles, and with options.keepWritten (as A was read) its numbers as written, as
// column n + 1 beside A's, so that the exact solve and the fraction steps take b as written
// too. A refused b leaves the system as it was. The file's path becomes bSource.
void addRightHandSide(LinearSystem& system, std::string_view text, const ReadOptions& options);
void addRightHandSideFile(LinearSystem& system, const std::string& path,
                          const ReadOptions& options);
void addRightHandSide(LinearSystem& system, std::istream& in, const ReadOptions& options);
// The same with b read ahead; its source, if any, becomes bSource.
void addRightHandSide(LinearSystem& system, RightHandSide b, const ReadOptions& options);

// b(i) = A(i, 1) + A(i, 2) + ... + A(i, n), added from left to right starting from zero, so
// that every build forms the same b. A row whose sum leaves the range of numbers is refused.
void setRowSums(LinearSystem& system);

} // namespace lse::io
