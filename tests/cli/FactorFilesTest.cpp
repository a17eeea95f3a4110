// lineq-solve --factors: the arrays written read back through the program's own readers and
// multiply out to A, on the blocked path and with row exchanges.

#include "ConditionedSystems.h"
#include "RunProgram.h"
#include "SystemReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace lse::test {
namespace {

Matrix readArray(const std::string& path) {
    return io::readSystemFile(path).A;
}

TEST(FactorFiles, ReadBackAndMultiplyOutToA) {
    const std::string dir = scratchFile("factors");
    std::filesystem::remove_all(dir);
    const int n = 70; // the blocked path
    for (const auto& [method, system] : {std::pair{"gauss", randomGeneral(n, 7)},
                                         std::pair{"cholesky", randomPositiveDefinite(n, 7)}}) {
        SCOPED_TRACE(method);
        const ProgramRun run =
            runProgram({"--method", method, "--factors", dir}, plainInput(system));
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string stem = dir + "/" + method;
        const Matrix L = readArray(stem + "-L.npy");
        const bool gauss = std::string(method) == "gauss";
        const Matrix U = gauss ? readArray(stem + "-U.npy") : Matrix();
        const Vector order =
            gauss ? io::readRightHandSideFile(stem + "-row-order.npy", n) : Vector();
        double largest = 0;
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j) {
                double product = 0;
                for (int k = 1; k <= n; ++k)
                    product += L(i, k) * (gauss ? U(k, j) : L(j, k));
                const int row = gauss ? static_cast<int>(order(i)) : i;
                largest = std::max(largest, std::fabs(product - system.a(row, j)));
            }
        }
        EXPECT_LT(largest, 1e-9);
        if (gauss) {
            // Partial pivoting exchanged rows, and the order is a permutation.
            std::vector<int> seen;
            for (int i = 1; i <= n; ++i)
                seen.push_back(static_cast<int>(order(i)));
            EXPECT_FALSE(std::is_sorted(seen.begin(), seen.end()));
            std::sort(seen.begin(), seen.end());
            for (int i = 1; i <= n; ++i)
                ASSERT_EQ(seen[static_cast<std::size_t>(i - 1)], i);
        }
    }
    std::filesystem::remove_all(dir);
}

// A second run into the same folder leaves its own files alone: Cholesky failing on the second
// system leaves no L of the first beside the second's Gauss factors.
TEST(FactorFiles, ASecondRunLeavesOnlyItsOwnFiles) {
    const std::string dir = scratchFile("factors-again");
    std::filesystem::remove_all(dir);
    ASSERT_EQ(runProgram({"--factors", dir}, "3\n4 1 0\n1 4 1\n0 1 4\n1 1 1\n").status, 0);
    const ProgramRun second = runProgram({"--factors", dir}, "2\n1 2\n2 1\n1 1\n");
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.err.rfind("lineq-solve: removed the factors of an earlier run: ", 0), 0u);
    EXPECT_NE(second.err.find(dir + "/cholesky-L.npy"), std::string::npos) << second.err;
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left,
              (std::vector<std::string>{"gauss-L.npy", "gauss-U.npy", "gauss-row-order.npy"}));
    EXPECT_EQ(readArray(dir + "/gauss-L.npy").rowsUpper(), 2);
    std::filesystem::remove_all(dir);
}

TEST(FactorFiles, AFolderThatCannotBeMadeIsRefusedBeforeAnyOutput) {
    const std::string file = scratchFile("factors-file");
    std::ofstream(file) << "not a folder";
    const ProgramRun run = runProgram({"--factors", file + "/inside"}, "1\n2\n4\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("lineq-solve: " + file + "/inside: ", 0), 0u) << run.err;
    std::filesystem::remove(file);
}

} // namespace
} // namespace lse::test
