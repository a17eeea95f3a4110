#include "ResultText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace lse;

namespace {

Matrix numbered(int n) {
    Matrix m;
    m.recreate(n, n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            m(i, j) = i + j / 1e6;
    return m;
}

} // namespace

TEST(Echo, RowsShownStayWithinTheLimitAndAreAtLeastOne) {
    struct Case {
        int count;
        int rows;
    };
    for (const Case c : {Case{-1, 0}, Case{0, 0}, Case{1, 1}, Case{3, 3}, Case{1000, 1000},
                         Case{1001, 999}, Case{2000, 500}, Case{32766, 30}}) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(echoedRows(c.count), c.rows);
        EXPECT_LE(static_cast<long>(echoedRows(c.count)) * c.count,
                  std::max<long>(kEchoedNumbersMost, c.count));
    }
}

TEST(Echo, UpToTheLimitItIsTheWholeMatrix) {
    for (const int n : {0, 1, 3, 1000}) {
        SCOPED_TRACE(n);
        const Matrix m = numbered(n);
        EXPECT_EQ(matrixEcho(m, n), matrixText(m, n));
    }
}

TEST(Echo, BeyondTheLimitTheFirstRowsThenHowManyAreLeftOut) {
    struct Case {
        int n;
        const char* last;
    };
    for (const Case c :
         {Case{1001, "(2 more rows not shown)"}, Case{1999, "(1499 more rows not shown)"}}) {
        SCOPED_TRACE(c.n);
        const Matrix m = numbered(c.n);
        const std::string whole = matrixText(m, c.n);
        std::size_t cut = 0;
        for (int i = 0; i < echoedRows(c.n); ++i)
            cut = whole.find('\n', cut) + 1;
        EXPECT_EQ(matrixEcho(m, c.n), whole.substr(0, cut) + c.last + "\r\n");
    }
}
