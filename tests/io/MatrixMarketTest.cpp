// Matrix Market files as other programs write them: pattern, skew-symmetric and hermitian
// matrices of real numbers, indented lines, entries given twice.
#include "SystemReader.h"
#include "Systems.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace lse;
using namespace lse::io;
using namespace lse::test;

TEST(MatrixMarket, FilesAsOthersWriteThem) {
    struct Case {
        std::string file;
        Matrix expected;
        Duplicates duplicates = Duplicates::refuse;
    };
    const std::vector<Case> cases{
        {"pattern-symmetric.mtx", makeMatrix({{1, 1, 0}, {1, 0, 1}, {0, 1, 1}})},
        {"skew.mtx", makeMatrix({{0, -1.5, 2}, {1.5, 0, 0}, {-2, 0, 0}})},
        {"skew-array.mtx", makeMatrix({{0, -7, 1}, {7, 0, -4}, {-1, 4, 0}})},
        {"hermitian.mtx", makeMatrix({{4, 2, 0}, {2, 17, 0}, {0, 0, 83}})},
        {"indented.mtx", makeMatrix({{2, 0, 0}, {0, 3, 0}, {0, 0, 4}})},
        {"duplicates.mtx", makeMatrix({{1.5, 0, 0}, {0, 2, 0}, {0, 0, 3}}), Duplicates::sum},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ReadOptions options;
        options.duplicates = c.duplicates;
        const LinearSystem system = readSystemFile(dataFile(c.file), options);
        EXPECT_EQ(system.format, InputFormat::matrixMarket);
        EXPECT_FALSE(system.hasB);
        EXPECT_EQ(system.A, c.expected);
    }
}

// The banner after blank lines, in capitals, with CR LF line ends; never read as a header of
// rows, whose numbers would be another system.
TEST(MatrixMarket, TheBannerIsFoundAsMatrixMarketHasIt) {
    const std::string entries = "2 2 2\n1 1 2\n2 2 4\n";
    struct Case {
        std::string text;
        std::string refusal; // empty: read as diag(2, 4)
    };
    const std::vector<Case> cases{
        {"\n\n%%MatrixMarket matrix coordinate real general\n" + entries, ""},
        {"\r\n%%MatrixMarket matrix coordinate real general\r\n2 2 2\r\n1 1 2\r\n2 2 4\r\n", ""},
        {"%%MATRIXMARKET MATRIX COORDINATE REAL GENERAL\n" + entries, ""},
        {"\n\n%%MatrixMarket matrix array complex general\n",
         "line 3, column 29: expected 'real', 'integer' or 'pattern', found 'complex'"},
        {"# by hand\n%%MatrixMarket matrix coordinate real general\n" + entries,
         "line 2: expected rows of numbers, found a Matrix Market banner, which only blank "
         "lines, at most a megabyte, may precede"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            const LinearSystem system = readSystem(c.text);
            EXPECT_EQ(c.refusal, "");
            EXPECT_EQ(system.format, InputFormat::matrixMarket);
            EXPECT_EQ(system.A, makeMatrix({{2, 0}, {0, 4}}));
        } catch (const InputError& error) {
            EXPECT_EQ(error.what(), c.refusal);
        }
    }
    EXPECT_EQ(readRightHandSide("\n%%MATRIXMARKET matrix array real general\n2 1\n1\n2\n", 2),
              makeVector({1, 2}));
}

TEST(MatrixMarket, DuplicatesAreRefusedUnlessSummed) {
    try {
        readSystemFile(dataFile("duplicates.mtx"));
        ADD_FAILURE() << "a duplicate entry was taken";
    } catch (const InputError& error) {
        EXPECT_STREQ(error.what(), "line 5: entry (1, 1) is given twice; lineq-solve "
                                   "--duplicates sum adds such entries");
    }
}

// A summed entry is as written only where its addends are whole numbers and their sum exact;
// the others are counted, the first by row and column as the file gives it.
TEST(MatrixMarket, SummedEntriesThatMayNotBeAsWrittenAreCounted) {
    const std::string general = "%%MatrixMarket matrix coordinate real general\n";
    const auto repeated = [](const std::string& line, int times) {
        std::string all;
        for (int k = 0; k < times; ++k)
            all += line;
        return all;
    };
    const struct {
        std::string text;
        SummedEntries expected;
    } cases[] = {
        {general + "2 2 4\n2 2 1\n1 1 0.1\n1 1 0.2\n2 1 0.3\n", {1, 1, 1}},
        {general + "2 2 3\n1 2 1\n1 2 2\n2 1 0.5\n", {}},
        {general + "2 2 3\n2 1 1\n2 1 9007199254740993\n1 1 1\n", {1, 2, 1}},
        {general + "2 2 2\n2 2 1e16\n2 2 1\n", {1, 2, 2}},
        // Whole numbers of 15 digits whose sum passes 2^53 odd, so that the last addition rounds.
        {general + "1 1 10\n" + repeated("1 1 999999999999999\n", 9) + "1 1 999999999999998\n",
         {1, 1, 1}},
        {general + "2 2 5\n2 2 3\n2 2 1.5\n1 2 1\n1 2 1e-1\n2 2 4\n", {2, 1, 2}},
        {"%%MatrixMarket matrix coordinate real symmetric\n2 2 3\n2 1 0.1\n2 1 1\n1 1 0.5\n",
         {1, 2, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ReadOptions options;
        options.duplicates = Duplicates::sum;
        options.keepWritten = true;
        EXPECT_EQ(readSystem(c.text, options).written.summedEntries, c.expected);
    }
}

TEST(MatrixMarket, SummedDuplicatesAddInTheOrderOfTheirLinesOnBothSides) {
    ReadOptions options;
    options.duplicates = Duplicates::sum;
    // 1e16 + 1 + 1 is 1e16 from left to right, 1e16 + 2 in any other order.
    const std::string symmetric = "%%MatrixMarket matrix coordinate real symmetric\n2 2 "
                                  "4\n2 1 1e16\n2 1 1\n2 1 1\n2 2 5\n";
    EXPECT_EQ(readSystem(symmetric, options).A, makeMatrix({{0, 1e16}, {1e16, 5}}));
    const std::string skew = "%%MatrixMarket matrix coordinate real skew-symmetric\n2 2 "
                             "2\n2 1 3\n2 1 0.5\n";
    EXPECT_EQ(readSystem(skew, options).A, makeMatrix({{0, -3.5}, {3.5, 0}}));
    const std::string pattern = "%%MatrixMarket matrix coordinate pattern general\n1 1 2\n1 "
                                "1\n1 1\n";
    EXPECT_EQ(readSystem(pattern, options).A, makeMatrix({{2}}));
}
