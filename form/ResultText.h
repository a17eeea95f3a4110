#pragma once

#include "Matrix.h"
#include "NumberText.h"

#include <string>
#include <string_view>

namespace lse {

// The texts the window writes into its boxes, also printed by the batch front end. Lines end
// with CR LF in the window.

// Between a name and its number, and between the numbers of a row.
inline constexpr std::string_view kGap = "   ";

// Rows 1..count of the matrix, each number after three spaces.
std::string matrixText(const Matrix& matrix, int count, std::string_view lineEnd = "\r\n",
                       Digits digits = Digits::window);

// The most numbers the window's echo of A shows. Up to 1000 equations it shows them all;
// beyond, the text would cost more time and memory than a box without scroll bars repays
// (see the README).
inline constexpr long kEchoedNumbersMost = 1'000'000;

// The rows of A that the echo of count equations shows: all of them while their numbers stay
// within kEchoedNumbersMost, else as many whole rows as fit, and at least one.
int echoedRows(int count);

// The window's echo of A: matrixText of the rows echoedRows shows, then, when some are left
// out, a line saying how many ("(31736 more rows not shown)").
std::string matrixEcho(const Matrix& matrix, int count);
// The same echo a line at a time, for a box that asks only for the lines it shows: how many
// lines it has, and line `line` (0 first) with its line end.
int matrixEchoLines(int count);
std::string matrixEchoLine(const Matrix& matrix, int count, int line);

// One line per entry 1..count: "b1 =   14", "x2 =   -6".
std::string namedLines(std::string_view name, const Vector& values, int count,
                       std::string_view lineEnd = "\r\n", Digits digits = Digits::window);

} // namespace lse
