#include "MemoryLimit.h"
#include "FormSession.h"
#include "Messages.h"
#include "Sanitizers.h"
#include "Systems.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <string>

using namespace lse;
using namespace lse::test;

namespace {

// Far below the 8.6 GB that A alone needs for 32766 equations.
constexpr long long kAddressSpace = 1LL << 30;

// Runs in the death test's child, whose address space is limited; exits 0 when every
// expectation holds.
[[noreturn]] void enterTheLargestSystemUnderALimit() {
    limitAddressSpace(kAddressSpace);
    FormSession s;
    s.submitDefault();
    s.calculate(Both);
    s.platform.messages.clear();

    s.enter(" 3.2766E4 ", {"1"});
    const bool kept =
        s.form.n == 3 && s.form.A() == makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}}) &&
        s.form.b() == makeVector({14, -101, 155}) && s.box(TextBox::display) == kDefaultDisplay &&
        s.box(TextBox::txtVector) == kDefaultVector;
    const bool told =
        s.platform.messages == std::vector<ShownMessage>{messages::outOfMemory(32766)} &&
        s.platform.prompts.empty();
    s.calculate(Both);
    const bool stillSolves = s.box(TextBox::txtGauss) == kDefaultSolution &&
                             s.box(TextBox::txtCholesky) == kDefaultSolution;
    std::cerr << "kept " << kept << ", told " << told << ", still solves " << stillSolves << "\n";
    std::exit(kept && told && stillSolves ? 0 : 1);
}

// Answers the coefficient prompts of an n x n system in order, without keeping them: 2n on
// the diagonal and 1 elsewhere, b all 1 (symmetric and positive definite).
class GeneratedEntry : public FakePlatform {
public:
    explicit GeneratedEntry(int n) : n_(n), diagonal_(std::to_string(2 * n)) {}

    Task<std::optional<std::string>> inputBox(std::string) override {
        const long long k = asked_++;
        if (k < 1LL * n_ * n_ && k / n_ == k % n_)
            co_return diagonal_;
        co_return "1";
    }

private:
    int n_;
    std::string diagonal_;
    long long asked_ = 0;
};

constexpr int kOrder = 3000;

// In the death test's child: the system entered, the address space is limited to what is in
// use, one more n x n array and some room for the solvers' buffers and a thread, but not a
// third array. Exits 0 when Calculate still solves by both methods.
[[noreturn]] void calculateWithRoomForTwoArrays() {
    GeneratedEntry platform(kOrder);
    frmCholesky form(platform);
    platform.chkDefault = 0;
    platform.texts[TextBox::Textn] = std::to_string(kOrder);
    form.submit_but_Click();
    platform.texts.clear();

    const long long array = (kOrder + 1LL) * (kOrder + 8) * 8;
    if (form.n != kOrder)
        std::exit(2);
    limitAddressSpace(addressSpaceInUse() + array + (40LL << 20));
    int solved = 0;
    for (const int choice : {Both, Cholesky, Gauss}) {
        platform.selectedOption = choice;
        form.Start_Click();
        solved += !platform.text(TextBox::txtGauss).empty();
        solved += !platform.text(TextBox::txtCholesky).empty();
    }
    std::cerr << "solved " << solved << ", messages " << platform.messages.size() << "\n";
    std::exit(solved == 4 && platform.messages.empty() ? 0 : 1);
}

} // namespace

// A, W and buffers of a size in proportion to n: the Cholesky factor is W itself, and a new
// working copy replaces the old one instead of joining it.
TEST(MemoryLimit, CalculateNeedsNoThirdArray) {
    if (kAddressSanitizer)
        GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(calculateWithRoomForTwoArrays(), ::testing::ExitedWithCode(0),
                "solved 4, messages 0");
}

TEST(MemoryLimit, TheLargestCountBeyondTheMemoryKeepsThePreviousSystem) {
    if (kAddressSanitizer)
        GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space and reports a "
                        "failed allocation instead of throwing";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(enterTheLargestSystemUnderALimit(), ::testing::ExitedWithCode(0),
                "kept 1, told 1, still solves 1");
}
