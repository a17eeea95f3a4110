#pragma once

// What the window and lineq-exact say to each other through its standard input and output.
//
// The request streams the system, which may hold millions of numbers, as lines of words
// separated by single spaces, numbers as round-trip texts:
//   lineq-exact 4
//   n
//   A, row by row (n lines of n)
//   b (one line of n)
//   written K rowsums|given kept|dropped, then K lines ROW COLUMN TEXT
//   summed COUNT ROW COLUMN (when any entry of A was summed in doubles)
//   detail shown|whole
//   k, then k method solutions of n
//
// The report, of the order of n values, is one JSON object (nlohmann-json):
//   format       "lineq-exact 4"
//   written      the answer of the system as written; doubles: the doubles', where it differs
//   rounding     the doubles' solution judged against the written one, where both are solved
//   errors       each judged method's error, in order
//   dropped      true where the written values were dropped (too large a system)
//   summed       {count, row, column} where entries of A were summed in doubles
//   not_held     {count, order, listed: [{row, column, text}]} where values were not held
//   steps        the fraction steps' text, where there are any
// An answer is {status, rank, augmented_rank, x, null_space, certificate, certificate_value},
// a component {fraction, text, nearest, whole}, an error {digits, measured, unit,
// largest_ulps, ulps}. STATUS is solved, no-solution or infinitely-many; unit own or largest
// (MethodError::inLargestEntryUnits); nearest and measured are round-trip texts, so that the
// bits come back whatever the JSON library's digits, or null (beyond the doubles, none).
// Before it reads, lineq-exact writes the line "ready": by then it has loaded its libraries,
// so that a limit its parent sets on its address space holds for the solve alone.

#include "ExactReport.h"
#include "Matrix.h"
#include "WrittenValues.h"

#include <iosfwd>
#include <stdexcept>
#include <vector>

namespace lse::exact {

struct ProtocolError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct ExactRequest {
    int n = 0;
    Matrix A; // rows and columns 1..n
    Vector b;
    WrittenValues written;
    ExactDetail detail = ExactDetail::shown;
    std::vector<Vector> methodSolutions;
};

void writeRequest(std::ostream& out, const Matrix& A, const Vector& b, int n,
                  const WrittenValues& written, const std::vector<Vector>& methodSolutions,
                  ExactDetail detail = ExactDetail::shown);
// ProtocolError for anything but a well-formed request of an order up to kMaxOrder.
ExactRequest readRequest(std::istream& in);

inline constexpr const char* kReadyLine = "ready\n";

void writeReport(std::ostream& out, const ExactReport& report);
// ProtocolError for anything but a whole report, "end" included.
ExactReport readReport(std::istream& in);

} // namespace lse::exact
