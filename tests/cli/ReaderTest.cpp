#include "Matrix.h"
#include "NumberText.h"
#include "Report.h"
#include "SystemReader.h"
#include "Systems.h"
#include "TextFields.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <random>

using namespace lse;
using namespace lse::cli;
using namespace lse::test;

namespace {

const Matrix kA = makeMatrix({{1, 2, 3}, {4, 5, 6}, {7, 8, 10}});
const Vector kB = makeVector({1, 2, 3});

} // namespace

TEST(Reader, EveryLayoutGivesTheSameSystem) {
    struct Case {
        std::string text;
        InputFormat format; // what was detected
    };
    const std::vector<Case> cases{
        {"# n, A, b\n3\n1 2 3\n4 5 6\n7 8 10  # last row\n1 2 3\n", InputFormat::plain},
        {"3, 1,2,3, 4,5,6, 7,8,10, 1,2,3", InputFormat::plain},
        {"3\t1 2 3 4 5 6 7\n8 10 1 2 3", InputFormat::plain},
        {"1 2 3 1\n\n4 5 6 2 # comment\n7 8 10 3", InputFormat::rows},
        {"\xEF\xBB\xBFx1, x2, x3, b\r\n1,2,3,1\r\n4,5,6,2\r\n+7,8.,1e1,3.0\r\n", InputFormat::rows},
        {"%%MatrixMarket matrix array real general\n% by columns\n3 "
         "3\n1\n4\n7\n2\n5\n8\n3\n6\n10\n",
         InputFormat::matrixMarket},
        {"%%MatrixMarket MATRIX Coordinate integer General\n3 3 8\n3 3 10\n1 1 1\n1 2 2\n1 3 "
         "3\n2 1 4\n2 2 5\n2 3 6\n3 2 8\n",
         InputFormat::matrixMarket},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LinearSystem system = readSystem(c.text, InputFormat::automatic);
        EXPECT_EQ(system.format, c.format);
        if (c.format == InputFormat::matrixMarket) {
            system.A(3, 1) = 7; // the coordinate case leaves it out: it must read as zero
            EXPECT_EQ(c.text.find("3 1 7"), std::string::npos);
            system.b = readRightHandSide("1 2\n3", 3);
        }
        EXPECT_EQ(system.A, kA);
        EXPECT_EQ(system.b, kB);
    }
}

TEST(Reader, SymmetricMatrixMarketFillsBothTriangles) {
    const Matrix expected = makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}});
    for (const std::string text :
         {"%%MatrixMarket matrix array real symmetric\n3 3\n4 2 14 17 -5 83\n",
          "%%MatrixMarket matrix coordinate real symmetric\n3 3 6\n3 2 -5\n1 1 4\n2 1 2\n3 1 "
          "14\n2 2 17\n3 3 83\n"})
        EXPECT_EQ(readSystem(text, InputFormat::automatic).A, expected) << text;
}

TEST(Reader, RowSumsAddFromLeftToRight) {
    // 1 + 1e16 rounds back to 1e16, so the sum is 0; any other order would give 1.
    LinearSystem system = readSystem("%%MatrixMarket matrix coordinate real general\n3 3 3\n1 1 "
                                     "1\n1 2 1e16\n1 3 -1e16\n",
                                     InputFormat::automatic);
    setRowSums(system);
    EXPECT_EQ(entries(system.b), (std::vector<double>{0, 0, 0}));
    EXPECT_TRUE(system.bIsRowSums);
}

TEST(Reader, TheFormatCanBeForced) {
    // A row layout that happens to hold a valid count is still rows when asked for.
    EXPECT_EQ(readSystem("1 2\n", InputFormat::rows).n, 1);
    EXPECT_THROW(readSystem("1 2\n", InputFormat::plain), InputError);
}

TEST(Reader, AViewWithoutDataIsAnEmptyInput) {
    EXPECT_EQ(readRightHandSide(std::string_view(), 0).upper(), 0);
    EXPECT_THROW(readSystem(std::string_view(), InputFormat::automatic), InputError);
}

TEST(JsonReport, SolutionsReadBackAsTheSameBits) {
    LinearSystem system;
    system.n = 2;
    system.A = makeMatrix({{3, 1}, {1, 7}});
    system.b = makeVector({1, 0.1});
    const auto results = solve(system, {Method::gauss, Method::cholesky});
    const auto report = nlohmann::json::parse(jsonReport(system, results, false));
    ASSERT_EQ(report["results"].size(), 2u);
    for (int m = 0; m < 2; ++m)
        for (int i = 1; i <= 2; ++i)
            EXPECT_EQ(bits(report["results"][m]["x"][i - 1].get<double>()), bits(results[m].x(i)));
}
