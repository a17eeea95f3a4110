#include "FormSession.h"
#include "Systems.h"

#include <gtest/gtest.h>

using namespace lse;
using namespace lse::test;

TEST(Entry, DefaultSystemIsEchoed) {
    FormSession s;
    s.submitDefault();
    EXPECT_EQ(s.box(TextBox::display), kDefaultDisplay);
    EXPECT_EQ(s.box(TextBox::txtVector), kDefaultVector);
    EXPECT_TRUE(s.platform.prompts.empty());
    EXPECT_TRUE(s.platform.messages.empty());
}

TEST(Entry, TwoEquationsArePromptedRowByRowThenB) {
    FormSession s;
    s.enter("2", {"1", "2.5", "-3", "1e3", "5", " .5 "});
    EXPECT_EQ(s.platform.prompts,
              (std::vector<std::string>{"Enter A coefficient (1,1)", "Enter A coefficient (1,2)",
                                        "Enter A coefficient (2,1)", "Enter A coefficient (2,2)",
                                        "Enter B coefficient (1)", "Enter B coefficient (2)"}));
    EXPECT_EQ(s.form.n, 2);
    EXPECT_EQ(s.form.A(), makeMatrix({{1, 2.5}, {-3, 1000}}));
    EXPECT_EQ(s.form.b(), makeVector({5, 0.5}));
    EXPECT_EQ(s.box(TextBox::display), "   1   2.5\r\n   -3   1000\r\n");
    EXPECT_EQ(s.box(TextBox::txtVector), "b1 =   5\r\nb2 =   0.5\r\n");
}

// A reply written as a number that is still refused says why, in the readers' words.
TEST(Entry, ANonNumericReplyIsAskedAgain) {
    FormSession s;
    s.enter("1", {"abc", "", "1e400", "7", "x", "1/0", "-1e-400"});
    EXPECT_EQ(s.platform.prompts,
              (std::vector<std::string>{"Enter A coefficient (1,1)", "Enter A coefficient (1,1)",
                                        "Enter A coefficient (1,1)", "Enter A coefficient (1,1)",
                                        "Enter B coefficient (1)", "Enter B coefficient (1)",
                                        "Enter B coefficient (1)"}));
    const auto refused = [](const std::string& why) {
        return ShownMessage{"The number typed is refused: " + why + ".", MessageStyle::OkOnly,
                            std::nullopt};
    };
    EXPECT_EQ(s.platform.messages,
              (std::vector<ShownMessage>{
                  kNotANumber, kNotANumber,
                  refused("its magnitude is beyond the largest double (1.7976931348623157e308), "
                          "so it cannot be held"),
                  kNotANumber, refused("its denominator is 0")}));
    EXPECT_EQ(s.form.A(), makeMatrix({{7}}));
    EXPECT_EQ(s.form.b(), makeVector({-0.0}));
}

// Counts that do not describe a system keep the previous one and echo it again.
TEST(Entry, RefusedCountsKeepThePreviousSystem) {
    struct Case {
        const char* count;
        ShownMessage message;
    };
    for (const Case& c :
         {Case{"abc", kNotANumber}, Case{"", kNotANumber}, Case{"-1", kBadCount},
          Case{"2.5", kBadCount}, Case{"70/266", kBadCount}, Case{"6/2", kBadCount},
          Case{"1/0", kNotANumber}, Case{"40000", kBadCount}, Case{"32767", kBadCount}}) {
        SCOPED_TRACE(c.count);
        FormSession s;
        s.submitDefault();
        s.calculate(Both);
        const Vector solved = s.form.x();
        s.enter(c.count, {});
        EXPECT_EQ(s.platform.messages, std::vector<ShownMessage>{c.message});
        EXPECT_TRUE(s.platform.prompts.empty());
        EXPECT_EQ(s.form.n, 3);
        EXPECT_EQ(s.form.A(), makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}}));
        EXPECT_EQ(s.form.x(), solved);
        EXPECT_EQ(s.box(TextBox::display), kDefaultDisplay);
        EXPECT_EQ(s.box(TextBox::txtVector), kDefaultVector);
        EXPECT_EQ(s.box(TextBox::txtGauss), kDefaultSolution) << "Submit leaves the results";
        EXPECT_TRUE(s.form.solutionCopy(TextBox::txtGauss)) << "and their report";
    }
}

TEST(Entry, NonNumericCountBeforeAnySubmitEchoesNothing) {
    FormSession s;
    s.enter("abc", {});
    EXPECT_EQ(s.box(TextBox::display), "");
    EXPECT_EQ(s.box(TextBox::txtVector), "");
    EXPECT_EQ(s.form.n, 0);
}

TEST(Entry, ZeroEquationsAsksNothing) {
    FormSession s;
    s.submitDefault();
    s.enter("0", {});
    EXPECT_TRUE(s.platform.prompts.empty());
    EXPECT_TRUE(s.platform.messages.empty());
    EXPECT_EQ(s.form.n, 0);
    EXPECT_EQ(s.box(TextBox::display), "");
    EXPECT_EQ(s.box(TextBox::txtVector), "");
}

TEST(Entry, CancelHalfwayAbandonsTheEntry) {
    FormSession s;
    s.submitDefault();
    s.calculate(Both);
    const Vector solved = s.form.x();
    s.platform.chkDefault = 0;
    s.platform.texts[TextBox::Textn] = "2";
    s.platform.reply({"1", "2", "3"});
    s.platform.cancel();
    s.platform.reply({"99"}); // never asked for
    s.form.submit_but_Click();
    EXPECT_EQ(s.platform.prompts.size(), 4u);
    EXPECT_TRUE(s.platform.messages.empty());
    EXPECT_EQ(s.form.n, 3);
    EXPECT_EQ(s.form.A(), makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}}));
    EXPECT_EQ(s.form.b(), makeVector({14, -101, 155}));
    EXPECT_EQ(s.form.x(), solved);
    EXPECT_EQ(s.box(TextBox::display), kDefaultDisplay);
    EXPECT_EQ(s.box(TextBox::txtVector), kDefaultVector);
    EXPECT_FALSE(s.form.report().empty());

    // Cancelling the last prompt, a B coefficient, abandons it too; a completed entry drops the
    // report of the system it replaced.
    s.platform.replies.clear();
    s.platform.reply({"1", "2", "3", "4", "5"});
    s.platform.cancel();
    s.form.submit_but_Click();
    EXPECT_EQ(s.form.n, 3);
    EXPECT_FALSE(s.form.report().empty());
    s.platform.reply({"1", "2", "3", "4", "5", "6"});
    s.form.submit_but_Click();
    EXPECT_EQ(s.form.n, 2);
    EXPECT_TRUE(s.form.report().empty());
}

TEST(Entry, EachBoxIsWrittenAFixedNumberOfTimesWhateverN) {
    constexpr int kCount = 300;
    FormSession s;
    s.platform.chkDefault = 0;
    s.platform.texts[TextBox::Textn] = std::to_string(kCount);
    for (int i = 1; i <= kCount; ++i)
        for (int j = 1; j <= kCount; ++j)
            s.platform.replies.emplace_back(std::to_string(i == j ? 2 * kCount : 1));
    for (int i = 1; i <= kCount; ++i)
        s.platform.replies.emplace_back(std::to_string(i));
    s.form.submit_but_Click();
    ASSERT_EQ(s.form.n, kCount);
    EXPECT_EQ(s.platform.writes[TextBox::display], 2) << "cleared, then the echo";
    EXPECT_EQ(s.platform.writes[TextBox::txtVector], 1);

    s.platform.writes.clear();
    s.calculate(Both);
    EXPECT_TRUE(s.platform.messages.empty());
    EXPECT_EQ(s.platform.writes[TextBox::txtGauss], 2) << "cleared, then the solution";
    EXPECT_EQ(s.platform.writes[TextBox::txtCholesky], 2);
    const std::string& gauss = s.platform.texts[TextBox::txtGauss];
    EXPECT_EQ(std::count(gauss.begin(), gauss.end(), '\n'), kCount);
    EXPECT_EQ(gauss.rfind("x300 =   ", 0) == std::string::npos, true);
    EXPECT_NE(gauss.find("\r\nx300 =   "), std::string::npos);
}
