#include "Matrix.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace lse;

TEST(Matrix, DoesNotExistUntilCreatedAndChecksEveryAccess) {
    Matrix m;
    EXPECT_FALSE(m.exists());
    EXPECT_THROW(m(0, 0), std::out_of_range);

    m.recreate(2, 3);
    EXPECT_TRUE(m.exists());
    EXPECT_EQ(m(2, 3), 0);
    EXPECT_THROW(m(3, 0), std::out_of_range);
    EXPECT_THROW(m(0, 4), std::out_of_range);
    EXPECT_THROW(m(-1, 0), std::out_of_range);
    EXPECT_THROW(m(0, -1), std::out_of_range);
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

TEST(Vector, CheckedAndZeroFilled) {
    Vector v;
    EXPECT_THROW(v(0), std::out_of_range);
    v.recreate(3);
    v(3) = 5;
    EXPECT_THROW(v(4), std::out_of_range);
    v.recreate(3);
    EXPECT_EQ(v(3), 0);
}
