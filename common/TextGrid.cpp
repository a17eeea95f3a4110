#include "TextGrid.h"

#include <algorithm>

namespace lse {

std::string grid(const std::vector<std::vector<std::string>>& rows, bool bar) {
    std::vector<std::size_t> width;
    for (const auto& row : rows) {
        width.resize(std::max(width.size(), row.size()));
        for (std::size_t c = 0; c < row.size(); ++c)
            width[c] = std::max(width[c], row[c].size());
    }
    std::string text;
    for (const auto& row : rows) {
        text += "   ";
        for (std::size_t c = 0; c < row.size(); ++c) {
            text += bar && c + 1 == row.size() ? "  |  " : (c == 0 ? "" : "  ");
            text.append(width[c] - row[c].size(), ' ').append(row[c]);
        }
        text += "\n";
    }
    return text;
}

} // namespace lse
