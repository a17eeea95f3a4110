#pragma once

// What the window and lineq-exact say to each other through its standard input and output.
// Both are lines of words separated by single spaces, numbers as round-trip texts.
//
// The request:
//   lineq-exact 3
//   n
//   A, row by row (n lines of n)
//   b (one line of n)
//   written K rowsums|given kept|dropped, then K lines ROW COLUMN TEXT
//   summed COUNT ROW COLUMN (when any entry of A was summed in doubles)
//   detail shown|whole
//   k, then k method solutions of n
//
// The report:
//   lineq-exact 3
//   answer written|doubles STATUS RANK AUGMENTED
//   x KIND TEXT NEAREST WHOLE (per component)
//   v KIND TEXT NEAREST WHOLE (null space, n each)
//   y KIND TEXT NEAREST WHOLE (certificate)
//   c KIND TEXT NEAREST WHOLE
//   rounding DIGITS MEASURED UNIT LARGEST ULPS...
//   error DIGITS MEASURED UNIT LARGEST ULPS... (per judged method)
//   dropped (when it was)
//   summed COUNT ROW COLUMN (when any entry was, so that the system was not solved as written)
//   not-held COUNT N K, then K lines ROW COLUMN TEXT (when any)
//   steps BYTES, then that text (when any)
//   end
//
// STATUS is solved, no-solution or infinitely-many; KIND fraction or approx; NEAREST a
// round-trip text or "out-of-range"; WHOLE the whole p/q or "-"; MEASURED a round-trip text or
// "-"; UNIT own or largest (MethodError::inLargestEntryUnits); LARGEST and each of ULPS a
// count or "-". An answer's lines follow its own "answer" line; the written one comes first.
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
