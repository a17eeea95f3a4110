#pragma once

#include "RefusedInputs.h"
#include "SystemFiles.h"

#include <cstring>
#include <initializer_list>
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

// A NumPy .npy file of little-endian doubles holding these rows.
inline std::string npyArray(std::initializer_list<std::initializer_list<double>> rows) {
    std::string bytes = npyHeader("(" + std::to_string(rows.size()) + ", " +
                                  std::to_string(rows.begin()->size()) + ")");
    for (const auto& row : rows)
        for (const double value : row)
            bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    return bytes;
}

// Layouts that only a file holds: the default system as an n x (n + 1) array, and A alone.
inline const std::vector<SystemInput> kDefaultSystemFiles{
    {"default.npy", npyArray({{4, 2, 14, 14}, {2, 17, -5, -101}, {14, -5, 83, 155}})},
};
inline const SystemInput kNpyWithoutB{"block.npy",
                                      npyArray({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}})};
inline const std::string kNpyWithoutBMessage =
    "b is missing: the array is n x n, the matrix A alone; give an n x (n + 1) array with b as "
    "its last column";

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

// Binary layouts come as files only, never as a text on the clipboard or dragged.
inline bool onlyAsFile(const SystemInput& input) {
    return input.file.ends_with(".npy");
}

// The default system in every layout, texts and files.
inline std::vector<SystemInput> everyDefaultLayout() {
    std::vector<SystemInput> inputs = kDefaultSystemInputs;
    inputs.insert(inputs.end(), kDefaultSystemFiles.begin(), kDefaultSystemFiles.end());
    return inputs;
}

// An input the window refuses, with the reader's one line.
struct Refusal {
    SystemInput input;
    std::string message;
};

// Every input the window refuses: those no reader takes, as the shared table has them, and
// those without b.
inline std::vector<Refusal> everyRefusal() {
    std::vector<Refusal> cases;
    for (const RefusedInput& refused : refusedInputs())
        if (refused.format == "auto")
            cases.push_back(
                {{"refused-" + std::to_string(cases.size() + 1) + ".txt", refused.input},
                 refused.message});
    cases.push_back({kWithoutB[0], kBlockWithoutB});
    cases.push_back({kWithoutB[1], kMatrixMarketWithoutB});
    cases.push_back({kNpyWithoutB, kNpyWithoutBMessage});
    return cases;
}

} // namespace lse::test
