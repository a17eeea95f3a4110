#pragma once

#include "CalculateReport.h"
#include "Matrix.h"
#include "WrittenValues.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lse {

// What Save System and Save Results write, the same for the window, the page and lineq-solve.

// The system in the plain format (n, then A a row a line, then b on one line), each number as
// it was written where that was kept (0.1, 1/3), else the fewest digits that read back as its
// double; so Open reads back the same doubles and, for the exact solve, the same values.
std::string systemFileText(const Matrix& A, const Vector& b, int n, const WrittenValues& written);

// The same text a line at a time, each with its end, so that a system of 3000 equations (173
// MB) can be written with progress and Cancel, and in the page with the browser's turns between
// lines: line 0 is n, lines 1..n are A's rows, line n + 1 is b. It refers to its arguments.
class SystemFileLines {
public:
    SystemFileLines(const Matrix& A, const Vector& b, int n, const WrittenValues& written);
    int count() const { return n_ + 2; }
    std::string line(int k) const;

private:
    const Matrix& A_;
    const Vector& b_;
    int n_;
    const WrittenValues& written_;
    std::vector<std::size_t> order_; // the kept texts by their place in [A | b]
};

// The fewest digits that read back as the same double, sign of zero included.
std::string roundTrip(double value);

// The last Calculate as one table, a header row first: a row per unknown with each method's
// x (round-trip digits; empty where it failed), then once computed the exact solution and each
// solved method's error in ulps; then a row per figure, each refined method's state and refined
// x (a row each) where the Calculate refined, the failures' messages, and each exact
// answer without a unique solution. Numbers are numbers to a spreadsheet; a fraction is
// ="7/3", which yields its text rather than a date, and a rounded one is marked "~".
std::vector<std::vector<std::string>> resultRows(const CalculateReport& report);

// Rows as comma-separated values (RFC 4180): CR LF after each row, a field quoted where it
// holds a comma, a quote or a line break, its quotes doubled.
std::string csvText(const std::vector<std::vector<std::string>>& rows);

// Save Results: csvText(resultRows(report)).
std::string resultsCsv(const CalculateReport& report);

// Writes `text` to the file at `path` through a file beside it that then replaces it, so that
// a failure part way leaves the file as it was. Why it failed, or nullopt.
std::optional<std::string> writeWholeFile(const std::string& path, std::string_view text);

} // namespace lse
