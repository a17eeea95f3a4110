#pragma once

#include <string>
#include <vector>

namespace lse::test {

// An input as a user brings it to the window or to lineq-solve, under a file name whose
// extension suits it.
struct SystemInput {
    std::string file;
    std::string text;
};

// The window's default system in each layout the readers take.
inline const std::vector<SystemInput> kDefaultSystemInputs{
    {"plain.txt", "# The default system\n3\n4 2 14\n2 17 -5\n14 -5 83\n14 -101 155\n"},
    {"one-line.txt", "3 4 2 14 2 17 -5 14 -5 83 14 -101 155"},
    {"rows.txt", "4 2 14 14\n2 17 -5 -101\n14 -5 83 155\n"},
    {"header.csv", "x1,x2,x3,b\r\n4,2,14,14\r\n2,17,-5,-101\r\n14,-5,83,155\r\n"},
    // As a spreadsheet puts a block on the clipboard.
    {"spreadsheet.tsv", "4\t2\t14\t14\r\n2\t17\t-5\t-101\r\n14\t-5\t83\t155\r\n"},
};

// Inputs that hold A alone, and what the readers say of them.
inline const std::vector<SystemInput> kWithoutB{
    {"block.txt", "4 2 14\n2 17 -5\n14 -5 83\n"},
    {"array.mtx",
     "%%MatrixMarket matrix array real general\n3 3\n4\n2\n14\n2\n17\n-5\n14\n-5\n83\n"},
};
inline const std::string kBlockWithoutB =
    "b is missing: the input holds 3 rows of 3 numbers, the matrix A alone; give b as the "
    "last number of each row";
inline const std::string kMatrixMarketWithoutB =
    "b is missing: a Matrix Market file holds the matrix A alone";

// Inputs that no reader takes, with the reader's one line.
struct RefusedInput {
    SystemInput input;
    std::string message;
};
inline const std::vector<RefusedInput> kRefusedInputs{
    {{"typo.txt", "3\n4 2 14\n2 17 -5\n14 -5 3abc\n14 -101 155\n"},
     "line 4, column 7: expected a number, found '3abc'"},
    {{"empty.txt", ""}, "expected the number of equations, found the end of the input"},
    {{"too-many.txt", "40000\n"}, "line 1, column 1: n = 40000 is more than 32766 equations"},
    {{"short-row.csv", "4,2,14,14\n2,17,-101\n14,-5,83,155\n"},
     "line 2: expected 4 numbers in the row, found 3"},
};

} // namespace lse::test
