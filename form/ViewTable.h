#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lse {

struct CalculateReport;

// A cell as a view shows it: its text; where only its leading characters are correct digits,
// how many (the rest are marked wrong); and what is said of it after its text, to a screen
// reader and in a tooltip.
struct ViewCell {
    std::string text;
    std::optional<std::size_t> correct;
    std::string said;
};

// The colour of a cell's wrong digits, as #rrggbb: a red that keeps a contrast of 4.5:1 on
// white, so that it reads as text too.
inline constexpr const char* kWrongDigitsColour = "#b00020";

// A view's table, described once for the window and the page: its control's name (the desktop's
// object name, the page's class), its accessible name, its header and its rows 1..rows, whose
// cells are made as they are asked for, so that 32766 rows cost what a view shows. The first
// column names the row. Valid while the report it shows is unchanged.
struct ViewTable {
    std::string id;
    std::string name;
    std::vector<std::string> header;
    int rows = 0;
    std::function<ViewCell(int row, int column)> cell;
};

// The accuracy view's tables: each solved method's figures, and the unknowns side by side.
ViewTable figuresTable(const CalculateReport& report);
ViewTable comparisonTable(const CalculateReport& report);

} // namespace lse
