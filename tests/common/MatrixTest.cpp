#include "Matrix.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace lse;

TEST(Matrix, DoesNotExistUntilCreatedAndAtChecksEveryAccess) {
    Matrix m;
    EXPECT_FALSE(m.exists());
    EXPECT_THROW(m.at(0, 0), std::out_of_range);

    m.recreate(2, 3);
    EXPECT_TRUE(m.exists());
    EXPECT_EQ(m.at(2, 3), 0);
    EXPECT_THROW(m.at(3, 0), std::out_of_range);
    EXPECT_THROW(m.at(0, 4), std::out_of_range);
    EXPECT_THROW(m.at(-1, 0), std::out_of_range);
    EXPECT_THROW(m.at(0, -1), std::out_of_range);
}

TEST(Matrix, RecreateDiscardsWidenKeeps) {
    Matrix m;
    m.recreate(2, 2);
    m(1, 1) = 1;
    m(1, 2) = 2;
    m(2, 1) = 3;
    m(2, 2) = 4;
    m.widen(3);
    EXPECT_EQ(m.colsUpper(), 3);
    EXPECT_EQ(m(1, 1), 1);
    EXPECT_EQ(m(1, 2), 2);
    EXPECT_EQ(m(2, 1), 3);
    EXPECT_EQ(m(2, 2), 4);
    EXPECT_EQ(m(1, 3), 0);
    EXPECT_EQ(m(2, 3), 0);

    m.recreate(2, 2);
    EXPECT_EQ(m.colsUpper(), 2);
    EXPECT_EQ(m(1, 1), 0);
    EXPECT_EQ(m(2, 2), 0);
}

// A reserved column is widened into without moving the rows.
TEST(Matrix, WideningIntoReservedRoomKeepsTheRowsInPlace) {
    Matrix m;
    m.recreate(3, 3, 1);
    m(3, 3) = 9;
    const double* const before = m.row(3);
    m.widen(4);
    EXPECT_EQ(m.row(3), before);
    EXPECT_EQ(m(3, 3), 9);
    EXPECT_EQ(m(3, 4), 0);

    Matrix unreserved;
    unreserved.recreate(7, 7);
    unreserved(7, 7) = 5;
    unreserved.widen(8);
    EXPECT_EQ(unreserved(7, 7), 5);
    EXPECT_EQ(unreserved(7, 8), 0);
    EXPECT_EQ(unreserved, [] {
        Matrix same;
        same.recreate(7, 8);
        same(7, 7) = 5;
        return same;
    }());
}

// What a reader does with a square block that turns out to hold b in its last column.
TEST(Matrix, ShrinkingKeepsTheEntriesAndLeavesRoomToWidenInPlace) {
    Matrix m;
    m.recreate(3, 3, 1);
    m(2, 2) = 4;
    m(2, 3) = 7;
    const double* const before = m.row(2);
    m.shrink(2, 2);
    EXPECT_EQ(m.rowsUpper(), 2);
    EXPECT_EQ(m.colsUpper(), 2);
    EXPECT_EQ(m.row(2), before);
    EXPECT_EQ(m(2, 2), 4);
    m.widen(3);
    EXPECT_EQ(m.row(2), before);
    EXPECT_EQ(m(2, 3), 0); // widening zero-fills what shrinking gave up
    EXPECT_THROW(m.shrink(4, 1), std::out_of_range);
    EXPECT_THROW(m.shrink(1, 4), std::out_of_range);
}

TEST(Vector, CheckedAndZeroFilled) {
    Vector v;
    EXPECT_THROW(v.at(0), std::out_of_range);
    v.recreate(3);
    v(3) = 5;
    EXPECT_THROW(v.at(4), std::out_of_range);
    v.recreate(3);
    EXPECT_EQ(v(3), 0);
}
