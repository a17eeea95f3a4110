#include "FormSession.h"
#include "Systems.h"

#include <gtest/gtest.h>

using namespace lse;
using namespace lse::test;

TEST(SystemState, StartsEmpty) {
    FormSession s;
    EXPECT_EQ(s.form.n, 0);
    EXPECT_FALSE(s.form.A().exists());
    EXPECT_FALSE(s.form.b().exists());
    EXPECT_FALSE(s.form.x().exists());
    EXPECT_FALSE(s.form.W().exists());
}

TEST(SystemState, DefaultSystemLoadsTheSameStateEveryTime) {
    FormSession s;
    s.platform.texts[TextBox::Textn] = "17";
    s.submitDefault();
    EXPECT_EQ(s.form.n, 3);
    EXPECT_EQ(s.box(TextBox::Textn), "3");
    EXPECT_EQ(s.form.A(), makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}}));
    EXPECT_EQ(s.form.b(), makeVector({14, -101, 155}));
    EXPECT_EQ(s.form.x(), makeVector({0, 0, 0}));

    s.calculate(Both);
    ASSERT_NE(s.form.x(), makeVector({0, 0, 0}));
    s.submitDefault();
    EXPECT_EQ(s.form.x(), makeVector({0, 0, 0})) << "a Submit resets x";
    EXPECT_EQ(s.form.A(), makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}}));
}

TEST(SystemState, CopyPassCopiesAAndDropsTheGaussColumn) {
    FormSession s;
    s.form.copyPass();
    EXPECT_EQ(s.form.W().rowsUpper(), 0) << "before any Submit: a 1 x 1 zero matrix";
    EXPECT_EQ(s.form.W().colsUpper(), 0);

    s.submitDefault();
    s.calculate(Gauss);
    EXPECT_EQ(s.form.W().colsUpper(), 4) << "widened by the Gauss run";
    s.form.copyPass();
    EXPECT_EQ(s.form.W(), s.form.A());
    EXPECT_EQ(s.form.W().colsUpper(), 3);
}
