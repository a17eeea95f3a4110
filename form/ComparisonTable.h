#pragma once

#include "CalculateReport.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace lse {

// The last Calculate side by side: a row per unknown, a column per method's x (round-trip
// digits; empty where it failed), one per refined x, and once the exact solution is computed, the
// exact value (and the value as written, where that differs), its nearest double and each solved
// method's error in ulps. Cells are made as they are asked for, so that a view of n = 32766
// rows costs what it shows. Valid while the report is unchanged.
class ComparisonTable {
public:
    explicit ComparisonTable(const CalculateReport& report);

    const std::vector<std::string>& header() const { return header_; }
    int rows() const { return report_.n; }
    int columns() const { return static_cast<int>(header_.size()); }
    // row 1..n, column 0..columns() - 1 (0: "x1").
    std::string cell(int row, int column) const;

    // Of a method's or a refined value, once the exact solution is known: its correct
    // significant digits (as the figures count them, from its relative error against the
    // nearest double of the exact value it is judged by: the doubles' for a method, the
    // written system's for a refinement, RefinedText.h) and how many leading characters of its text
    // hold them, sign and point included.
    struct Agreement {
        int digits = 0;
        std::size_t characters = 0;
        bool whole = false; // every digit shown is correct
    };
    std::optional<Agreement> agreement(int row, int column) const;
    // What is said of that cell after its value, to a screen reader and in a tooltip
    // (", 14 correct digits"); empty without an agreement.
    std::string said(int row, int column) const;

    // The exact value behind an "As written" or "Exact" cell, for a file that must tell a
    // fraction from a rounding; null for any other cell.
    const exact::ExactComponent* exactValue(int row, int column) const;

    // Each solved method's figures: a row per figure, its name first, then a cell per method
    // in the header's order (empty where it failed); with round-trip digits for a file, else
    // as the view shows them ("1.2e+17").
    std::vector<std::vector<std::string>> figureRows(bool roundTripDigits) const;
    // Their header: "Figure", then each method's title.
    std::vector<std::string> figureHeader() const;

private:
    const MethodReport* methodOf(int column) const;
    const RefinedReport* refinedOf(int column) const;
    int exactColumnsFrom() const;

    const CalculateReport& report_;
    std::vector<std::string> header_;
    std::vector<const MethodReport*> solved_;
    std::vector<const MethodReport*> refined_;
    // When the system as written or as the methods got it has a unique solution.
    const exact::ExactReport* exact_ = nullptr;
    bool written_ = false; // the as-written column is shown
    bool doubles_ = false; // the doubles' exact, nearest and errors columns are shown
};

} // namespace lse
