#pragma once

#include "Matrix.h"
#include "NumberText.h"

#include <string>
#include <string_view>

namespace lse {

// The texts the window writes into its boxes, also printed by the batch front end. Lines end
// with CR LF in the window.

// Rows 1..count of the matrix, each number after three spaces.
std::string matrixText(const Matrix& matrix, int count, std::string_view lineEnd = "\r\n",
                       Digits digits = Digits::window);

// One line per entry 1..count: "b1 =   14", "x2 =   -6".
std::string namedLines(std::string_view name, const Vector& values, int count,
                       std::string_view lineEnd = "\r\n", Digits digits = Digits::window);

} // namespace lse
