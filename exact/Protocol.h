#pragma once

// What the window and lineq-exact say to each other through its standard input and output.
// Both are lines of words separated by single spaces, numbers as round-trip texts:
//
// request:  lineq-exact 1                     report:  lineq-exact 1
//           n                                          status solved | status no-unique-solution
//           A, row by row (n lines of n)               x fraction TEXT NEAREST   (per component)
//           b (one line of n)                          x approx TEXT NEAREST
//           k, then k method solutions of n            error DIGITS LARGEST ULPS...  (per method)
//                                                      end
//
// NEAREST is a round-trip text or "out-of-range"; LARGEST and each of ULPS a count or "-".
// Before it reads, lineq-exact writes the line "ready": by then it has loaded its libraries,
// so that a limit its parent sets on its address space holds for the solve alone.

#include "ExactReport.h"
#include "Matrix.h"

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
    std::vector<Vector> methodSolutions;
};

void writeRequest(std::ostream& out, const Matrix& A, const Vector& b, int n,
                  const std::vector<Vector>& methodSolutions);
// ProtocolError for anything but a well-formed request of an order up to kMaxOrder.
ExactRequest readRequest(std::istream& in);

inline constexpr const char* kReadyLine = "ready\n";

void writeReport(std::ostream& out, const ExactReport& report);
// ProtocolError for anything but a whole report, "end" included.
ExactReport readReport(std::istream& in);

} // namespace lse::exact
