#include "Matrix.h"
#include "NumberText.h"
#include "SystemReader.h"
#include "Systems.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>
#include <set>

using namespace lse;
using namespace lse::io;
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
        // Under a count alone, n lines of n + 1 are rows, as textbooks write them; any other
        // lines are plain.
        {"3\n1 2 3 1\n4 5 6 2\n\n7 8 10 3 # b last\n", InputFormat::rows},
        {"3\n1 2 3 4\n5 6 7 8\n10 1 2\n3\n", InputFormat::plain},
        {"1 2 3 1\n\n4 5 6 2 # comment\n7 8 10 3", InputFormat::rows},
        // Commas that are no decimal commas, beside tabs.
        {"1,2,3,1\n4\t5\t6\t2\n7, 8,\t10 ,3\n", InputFormat::rows},
        {"\xEF\xBB\xBFx1, x2, x3, b\r\n1,2,3,1\r\n4,5,6,2\r\n+7,8.,1e1,3.0\r\n", InputFormat::rows},
        {"x1, x2, x3, b\r1,2,3,1\r4,5,6,2\r+7,8.,1e1,3.0\r", InputFormat::rows}, // old Macs'
        // Every cell quoted, as spreadsheets may write them.
        {"\"x1\",\"x2\",\"x3\",\"b\"\n\"1\",\"2\",\"3\",\"1\"\n\"4\", "
         "\"5\",\"6\",\"2\"\n\"7\",\"8\",\"10\",3\n",
         InputFormat::rows},
        {"# n, A, b\r3\r1 2 3\r4 5 6\r7 8 10  # last row\r1 2 3\r", InputFormat::plain},
        {"%%MatrixMarket matrix array real general\n% by columns\n3 "
         "3\n1\n4\n7\n2\n5\n8\n3\n6\n10\n",
         InputFormat::matrixMarket},
        {"%%MatrixMarket MATRIX Coordinate integer General\n3 3 8\n3 3 10\n1 1 1\n1 2 2\n1 3 "
         "3\n2 1 4\n2 2 5\n2 3 6\n3 2 8\n",
         InputFormat::matrixMarket},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LinearSystem system = readSystem(c.text);
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

// A header names columns: none of its fields starts as the number grammar's numbers do, with
// a minus sign as word processors write it among them.
TEST(Reader, AFirstLineIsAHeaderOnlyWhereNoFieldStartsLikeANumber) {
    struct Case {
        std::string first;
        bool header;
    };
    const std::vector<Case> cases{
        {"\u22122 \u22121 \u22121", false},
        {"\u20132 \u20131 \u20131", false},
        {"x1, x2, b", true},
        {"\u20142 \u20141 \u20141", true}, // an em dash is no sign
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        const LinearSystem system = readSystem(c.first + "\n1 5 1\n1 1 5\n");
        EXPECT_EQ(system.n, c.header ? 2 : 3);
        EXPECT_EQ(system.A(1, 1), c.header ? 1 : -2);
    }
}

TEST(Reader, SymmetricMatrixMarketFillsBothTriangles) {
    const Matrix expected = makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}});
    for (const std::string text :
         {"%%MatrixMarket matrix array real symmetric\n3 3\n4 2 14 17 -5 83\n",
          "%%MatrixMarket matrix coordinate real symmetric\n3 3 6\n3 2 -5\n1 1 4\n2 1 2\n3 1 "
          "14\n2 2 17\n3 3 83\n"})
        EXPECT_EQ(readSystem(text).A, expected) << text;
}

// Every layout of text keeps its numbers as written, b given on its own too, so that the
// exact solve takes 0.1 as 1/10 wherever it came from.
TEST(Reader, EveryLayoutKeepsItsNumbersAsWritten) {
    const std::string array = "%%MatrixMarket matrix array real ";
    const std::string coordinate = "%%MatrixMarket matrix coordinate real ";
    struct Case {
        std::string text;
        std::string rhs; // b on its own, for A alone
        std::vector<std::string> written;
        Duplicates duplicates = Duplicates::refuse;
    };
    const std::vector<Case> cases{
        {"2\n0.1 1\n1/3 2\n0.5 \u22120.25\n", "", {"1 1 0.1", "1 3 0.5", "2 1 1/3", "2 3 -0.25"}},
        {"0.1 1\n1/3 2\n", "0.5\n\u22120.25\n", {"1 1 0.1", "1 3 0.5", "2 1 1/3", "2 3 -0.25"}},
        {"2\n0.1 1 0.5\n1/3 2 \u22120.25\n", "", {"1 1 0.1", "1 3 0.5", "2 1 1/3", "2 3 -0.25"}},
        {array + "symmetric\n2 2\n0.1\n0.2\n3\n",
         "%%MatrixMarket matrix array real general\n2 1\n0.5\n1e-1\n",
         {"1 1 0.1", "1 2 0.2", "1 3 0.5", "2 1 0.2", "2 3 1e-1"}},
        {array + "skew-symmetric\n3 3\n0.1\n-0.2\n+0.3\n",
         "",
         {"1 2 -0.1", "1 3 0.2", "2 1 0.1", "2 3 -0.3", "3 1 -0.2", "3 2 +0.3"}},
        {coordinate + "skew-symmetric\n2 2 1\n2 1 \u22120.1\n", "", {"1 2 0.1", "2 1 -0.1"}},
        // A summed entry keeps no addend's text: its double is its sum's.
        {coordinate + "general\n2 2 4\n1 1 0.1\n1 1 0.2\n2 1 0.3\n2 2 1\n",
         "",
         {"2 1 0.3"},
         Duplicates::sum},
        {coordinate + "symmetric\n2 2 3\n2 1 0.1\n2 1 1\n1 1 0.5\n",
         "",
         {"1 1 0.5"},
         Duplicates::sum},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ReadOptions options;
        options.keepWritten = true;
        options.duplicates = c.duplicates;
        LinearSystem system = readSystem(c.text, options);
        if (!c.rhs.empty())
            addRightHandSide(system, c.rhs, options);
        std::vector<std::string> written;
        for (std::size_t k = 0; k < system.written.size(); ++k) {
            const WrittenValues::Entry e = system.written[k];
            written.push_back(std::to_string(e.row) + " " + std::to_string(e.column) + " " +
                              std::string(e.text));
        }
        std::sort(written.begin(), written.end());
        EXPECT_EQ(written, c.written);
    }
    // A refused b leaves A alone as it was.
    ReadOptions keeping;
    keeping.keepWritten = true;
    LinearSystem alone = readSystem("0.1 1\n1/3 2\n", keeping);
    EXPECT_THROW(addRightHandSide(alone, "0.5 x\n", keeping), InputError);
    EXPECT_FALSE(alone.hasB);
    EXPECT_EQ(alone.written.size(), 2U);
}

TEST(Reader, RowSumsAddFromLeftToRight) {
    // 1 + 1e16 rounds back to 1e16, so the sum is 0; any other order would give 1.
    LinearSystem system = readSystem("%%MatrixMarket matrix coordinate real general\n3 3 3\n1 1 "
                                     "1\n1 2 1e16\n1 3 -1e16\n",
                                     {});
    setRowSums(system);
    EXPECT_EQ(entries(system.b), (std::vector<double>{0, 0, 0}));
    EXPECT_TRUE(system.written.bIsRowSums);
}

TEST(Reader, TheFormatCanBeForced) {
    // A row layout that happens to hold a valid count is still rows when asked for.
    EXPECT_EQ(readSystem("1 2\n", {InputFormat::rows}).n, 1);
    EXPECT_THROW(readSystem("1 2\n", {InputFormat::plain}), InputError);
    // A plain system asked for is read in the plain order, whatever its lines.
    EXPECT_EQ(readSystem("2\n1 2 5\n3 4 6\n", {InputFormat::plain}).b, makeVector({4, 6}));
}

// A layout added without a name, or a name copied onto the wrong layout, shows here.
TEST(Reader, EveryLayoutHasOneNameAndOtherNamesAreRefused) {
    std::set<InputFormat> named;
    for (const std::string& name : inputFormatNames()) {
        const std::optional<InputFormat> format = inputFormatNamed(name);
        ASSERT_TRUE(format) << name;
        EXPECT_TRUE(named.insert(*format).second) << name << " names a layout named before";
    }
    EXPECT_EQ(named.size(), static_cast<std::size_t>(InputFormat::numpy) + 1);
    for (const std::string_view other : {"", "csv", "Auto", "npy ", "matrix_market"})
        EXPECT_FALSE(inputFormatNamed(other)) << other;
}

TEST(Reader, AViewWithoutDataIsAnEmptyInput) {
    EXPECT_EQ(readRightHandSide(std::string_view(), 0).upper(), 0);
    EXPECT_THROW(readSystem(std::string_view()), InputError);
}

TEST(Reader, ASquareBlockIsAWithoutB) {
    struct Case {
        std::string text;
        InputFormat format;
        std::string missing; // requireRightHandSide's message
    };
    const std::vector<Case> cases{
        {"1\t2\t3\n4\t5\t6\n7\t8\t10\n", InputFormat::rows,
         "b is missing: the input holds 3 rows of 3 numbers, the matrix A alone; give b as the "
         "last number of each row"},
        {"%%MatrixMarket matrix array real general\n3 3\n1 4 7 2 5 8 3 6 10\n",
         InputFormat::matrixMarket, "b is missing: a Matrix Market file holds the matrix A alone"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const LinearSystem system = readSystem(c.text);
        EXPECT_EQ(system.format, c.format);
        EXPECT_FALSE(system.hasB);
        EXPECT_EQ(system.A, kA);
        EXPECT_EQ(entries(system.b), (std::vector<double>{0, 0, 0}));
        try {
            requireRightHandSide(system);
            ADD_FAILURE() << "b was not missing";
        } catch (const InputError& error) {
            EXPECT_EQ(error.what(), c.missing);
        }
    }
    EXPECT_NO_THROW(requireRightHandSide(readSystem("1 2\n")));
}

TEST(Reader, AKeepsRoomForTheColumnGaussAdds) {
    // The stride is rounded to whole cache lines, so the orders next to a multiple of 8 tell;
    // rows are read into an array a column wider, then narrowed.
    for (const int n : {0, 1, 6, 7, 8, 15}) {
        std::string plain = std::to_string(n) + "\n";
        for (int k = 0; k < n * n + n; ++k)
            plain += "1 ";
        std::string rows;
        std::string block;
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                rows += "1 ";
                block += "3 ";
            }
            rows += "2\n";
            block += "\n";
        }
        // A block of one number is a count; none of rows is no system at all.
        for (const std::string& text : {plain, rows, block}) {
            if (n < 2 && text != plain)
                continue;
            SCOPED_TRACE(text);
            const LinearSystem system = readSystem(text);
            ASSERT_EQ(system.n, n);
            EXPECT_GE(system.A.stride(), static_cast<std::size_t>(n) + 2);
        }
    }
}

TEST(Reader, AFileReadsAsItsText) {
    const std::string path = scratchFile("reader-file.txt");
    const std::string text = "x1,x2,x3,b\n1,2,3,1\n4,5,6,2\n7,8,10,3\n";
    std::ofstream(path, std::ios::binary) << text;
    const LinearSystem system = readSystemFile(path);
    EXPECT_EQ(system.A, kA);
    EXPECT_EQ(system.b, kB);
    EXPECT_EQ(system.bytes, text.size());
    EXPECT_EQ(system.source, path);
    std::ofstream(path, std::ios::binary) << "1\n2\n3\n";
    EXPECT_EQ(entries(readRightHandSideFile(path, 3)), (std::vector<double>{1, 2, 3}));
    LinearSystem alone = readSystem("1 2 3\n4 5 6\n7 8 10\n");
    addRightHandSideFile(alone, path, {});
    EXPECT_EQ(alone.b, kB);
    EXPECT_EQ(alone.bSource, path);
    try {
        readSystemFile(path + ".absent");
        ADD_FAILURE() << "an absent file was read";
    } catch (const InputError& error) {
        EXPECT_EQ(std::string(error.what()), "cannot open: No such file or directory");
    }
}
