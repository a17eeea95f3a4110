#pragma once

#include <string>
#include <vector>

namespace lse {

// Rows of cells as monospaced text: each column right-aligned to its widest cell, three spaces
// before each row, two between cells, and a bar before the last column when `bar`.
std::string grid(const std::vector<std::vector<std::string>>& rows, bool bar);

} // namespace lse
