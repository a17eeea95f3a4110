// The report of the last Calculate as the accuracy view, Copy Solution and the warning after
// Calculate show it, and Compute Exact Solution through the platform.

#include "AccuracyText.h"
#include "ConditionedSystems.h"
#include "ExactSolution.h"
#include "FormSession.h"
#include "InProcessExact.h"
#include "Systems.h"
#include "Views.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace lse::test {
namespace {

std::string pasted(std::initializer_list<std::initializer_list<double>> rows) {
    std::string text;
    for (const auto& row : rows) {
        for (const double value : row)
            text += doubleToText(value, Digits::roundTrip) + " ";
        text += "\n";
    }
    return text;
}

constexpr double kTiny = 0x1p-52;

struct WarningCase {
    const char* name;
    std::string system; // pasted; empty: the default system
    Choice method;
    std::vector<ShownMessage> messages;
};

const ShownMessage kWarn(std::string text) {
    return {std::move(text), MessageStyle::OkOnlyExclamation, std::nullopt};
}

TEST(AccuracyWarning, OneBoxPerCalculateAfterTheResultsWhereTheFiguresEarnIt) {
    const std::vector<WarningCase> cases{
        {"default system", "", Both, {}},
        {"well conditioned random", pastedText(randomPositiveDefinite(12, 5)), Both, {}},
        {"badly scaled but accurate", pastedText(badlyScaledRows(9, 4)), Gauss, {}},
        {"Hilbert 12 by Gauss",
         pastedText(hilbert(12)),
         Gauss,
         {kWarn("The Gauss Elimination solution may have no correct digit: the matrix is "
                "singular to working precision (estimated condition number 3.8e+16).")}},
        {"nearly equal rows, both methods",
         pasted({{1, 1, 2}, {1, 1 + kTiny, 2}}),
         Both,
         {kWarn("The Gauss Elimination solution may have no correct digit: the matrix is "
                "singular to working precision (estimated condition number 1.8e+16). The "
                "Cholesky Decomposition solution may have no correct digit: the matrix is "
                "singular to working precision (estimated condition number 1.8e+16).")}},
        {"Cholesky fails first, then the warning",
         pasted({{1, 1, 2}, {1, 1 - kTiny, 2}}),
         Both,
         {kCholeskyFailed,
          kWarn("The Gauss Elimination solution may have no correct digit: the matrix is "
                "singular to working precision (estimated condition number 1.8e+16).")}},
        {"Wilkinson growth 60: by its backward error",
         pastedText(wilkinsonGrowth(60)),
         Gauss,
         {kWarn("The Gauss Elimination solution may have no correct digit: its backward error "
                "is 1.6e-01, far above the unit roundoff.")}},
    };
    for (const WarningCase& c : cases) {
        SCOPED_TRACE(c.name);
        FormSession s;
        if (c.system.empty())
            s.submitDefault();
        else
            s.paste(c.system);
        s.calculate(c.method);
        EXPECT_EQ(s.platform.messages, c.messages);
        // Every solved method still shows its solution.
        for (const MethodReport& m : s.form.report().methods)
            EXPECT_EQ(s.box(m.method->box).empty(), !m.solved);
    }
}

TEST(AccuracyReport, SubmitALoadedSystemOrACancelLeaveNothingToShow) {
    const std::string nothing = accuracyText({});
    const std::vector<std::pair<const char*, std::function<void(FormSession&)>>> clearers{
        {"Submit", [](FormSession& s) { s.submitDefault(); }},
        {"system pasted",
         [](FormSession& s) {
             s.paste(pasted({{2, 4}}));
         }},
        {"Calculate cancelled",
         [](FormSession& s) {
             s.platform.cancelRuns = {s.platform.longRuns.size() + 2};
             s.calculate(Both);
         }},
    };
    for (const auto& [name, clear] : clearers) {
        SCOPED_TRACE(name);
        FormSession s;
        s.submitDefault();
        s.calculate(Both);
        ASSERT_EQ(s.form.report().methods.size(), 2u);
        ASSERT_NE(s.form.accuracyText(), nothing);
        clear(s);
        EXPECT_TRUE(s.form.report().empty());
        EXPECT_EQ(s.form.accuracyText(), nothing);
        EXPECT_EQ(s.form.solutionCopy(TextBox::txtGauss), std::nullopt);
        EXPECT_FALSE(s.form.exactPending());
    }
}

TEST(AccuracyView, EachSolvedMethodsFiguresAndWhatTheyMean) {
    FormSession s;
    s.paste(pasted({{1, 1, 2}, {1, 1 - kTiny, 2}}));
    s.calculate(Both);
    const std::string text = s.form.accuracyText();
    EXPECT_EQ(text.substr(0, text.find("Exact solution")),
              "Accuracy of the last Calculate, 2 equations\n"
              "\n"
              "Gauss Elimination\n"
              "  Condition number:   1.8e+16\n"
              "    How much errors in A and b can grow in x: 1 is ideal, 1e+16 leaves no digit.\n"
              "  Backward error:   0\n"
              "    The smallest relative change to the entries of A and b that makes x exact.\n"
              "  Error bound:   6.0e+00\n"
              "    The largest error in x relative to x's largest entry is almost certainly "
              "below this.\n"
              "  Correct digits:   0\n"
              "    Significant digits of x's largest entries that the error bound guarantees.\n"
              "  This solution may have no correct digit.\n"
              "\n"
              "Cholesky Decomposition\n"
              "  No solution: the method failed, so there is nothing to measure.\n"
              "\n");
    // No equations: solved, but nothing to measure.
    FormSession empty;
    empty.enter("0", {});
    empty.calculate(Gauss);
    EXPECT_NE(empty.form.accuracyText().find("  Condition number:   not available\n"),
              std::string::npos);
    EXPECT_NE(empty.form.accuracyText().find("  Correct digits:   not available\n"),
              std::string::npos);
}

// "Correct digits" never claims more than the same run's warning or exact check allows.
TEST(AccuracyView, TheDigitsFigureYieldsToTheWarningAndToTheExactCheck) {
    const auto figures = [](double ferr, std::optional<double> scaledCondition) {
        AccuracyFigures f;
        f.rcond = scaledCondition ? kUnitRoundoff / 2 : 1e-3;
        f.berr = 1e-17;
        f.ferr = ferr;
        f.scaledCondition = scaledCondition;
        return f;
    };
    struct Case {
        const char* name;
        AccuracyFigures figures;
        std::optional<int> measured; // the exact check's digits, when it ran
        std::string shown;
    };
    const Case cases[] = {
        {"the bound's digits", figures(1e-10, std::nullopt), std::nullopt, "10"},
        {"the exact check agrees", figures(1e-10, std::nullopt), 15, "10"},
        {"the bound failed", figures(1e-10, std::nullopt), 3,
         "3 (measured against the exact solution; the error bound promised 10 and failed)"},
        {"a warning overrules the bound", figures(1e-3, 1e17), std::nullopt,
         "0 (the error bound alone gives 3, but the solution may have no correct digit)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CalculateReport report;
        report.n = 1;
        MethodReport& result = report.methods.emplace_back();
        result.method = &builtInMethods().front();
        result.solved = true;
        result.x = makeVector({1});
        result.figures = c.figures;
        if (c.measured) {
            exact::ExactReport answer;
            exact::MethodError error;
            error.correctDigits = *c.measured;
            answer.errors.push_back(error);
            report.setExact(answer);
        }
        const FigureLine digits = figureLines(report.methods.front()).back();
        EXPECT_EQ(digits.text + (digits.why ? " (" + *digits.why + ")" : ""), c.shown);
    }
}

// Over classic and random nearly singular systems, once the exact solution has judged each
// method: its digits figure never exceeds what was measured, and a warning leaves it none.
TEST(AccuracyView, NoFigureClaimsADigitTheRunItselfDenies) {
    std::vector<ConditionedSystem> systems = conditionedSystems();
    for (int seed = 1; seed <= 12; ++seed) {
        ConditionedSystem s = randomGeneral(4 + seed % 5, static_cast<std::uint64_t>(seed));
        const int n = s.a.rowsUpper();
        // The last row all but the first: 2^-4 to 2^-48 away, conditions up to about 1e15.
        const double nearness = std::ldexp(1.0, -4 * seed);
        for (int j = 1; j <= n; ++j)
            s.a(n, j) = s.a(1, j) + nearness * s.a(2, j);
        s.name = "nearly singular " + std::to_string(seed);
        systems.push_back(std::move(s));
    }
    int judged = 0;
    for (const ConditionedSystem& system : systems) {
        SCOPED_TRACE(system.name);
        FormSession s;
        InProcessExact solver;
        s.platform.exactSolver = std::ref(solver);
        s.paste(pastedText(system));
        s.calculate(Both);
        ASSERT_TRUE(runAtOnce(s.form.computeExact()));
        for (const MethodReport& m : s.form.report().methods) {
            if (!m.solved)
                continue;
            const std::optional<double> digits = figureLines(m).back().value;
            if (m.figures && m.figures->warning()) {
                EXPECT_TRUE(!digits || *digits == 0) << m.method->title;
            }
            if (digits && m.measured) {
                EXPECT_LE(*digits, m.measured->correctDigits) << m.method->title;
                ++judged;
            }
        }
    }
    EXPECT_GT(judged, 20);
}

TEST(CopySolution, TheMethodsOwnDoublesReadBackBitForBit) {
    const std::vector<std::pair<const char*, std::string>> systems{
        {"default", ""},
        {"thirds", pasted({{3, 0, 1}, {0, 7, 1}})},
        {"extremes", pasted({{1e-300, 0, 3}, {0, 1e300, 1e-10}})},
        {"Hilbert 8", pastedText(hilbert(8))},
    };
    for (const auto& [name, system] : systems) {
        SCOPED_TRACE(name);
        FormSession s;
        if (system.empty())
            s.submitDefault();
        else
            s.paste(system);
        s.calculate(Both);
        for (const MethodReport& m : s.form.report().methods) {
            const std::optional<std::string> copy = s.form.solutionCopy(m.method->box);
            ASSERT_TRUE(copy);
            std::istringstream lines(*copy);
            std::string line;
            for (int i = 1; i <= s.form.n; ++i) {
                ASSERT_TRUE(std::getline(lines, line));
                const std::optional<double> value = textToDouble(line);
                ASSERT_TRUE(value) << line;
                EXPECT_EQ(bits(*value), bits(m.x(i))) << line;
                if (&m == &s.form.report().methods.back()) {
                    EXPECT_EQ(bits(m.x(i)), bits(s.form.x()(i))) << "the report keeps x";
                }
            }
            EXPECT_FALSE(std::getline(lines, line));
        }
    }
    FormSession s;
    s.submitDefault();
    s.calculate(Both);
    EXPECT_EQ(s.form.solutionCopy(TextBox::txtGauss),
              "2.999999999999995\n-5.999999999999999\n1.0000000000000009\n");
    EXPECT_EQ(s.form.solutionCopy(TextBox::txtCholesky), "3\n-6\n1\n");
}

// What the view expects of Compute Exact Solution is the front end's solver's time: one that
// takes ten times as long as lineq-exact (the page's) expects ten times as long.
TEST(ExactSolution, TheExpectedTimeIsTheFrontEndsSolvers) {
    constexpr int n = 150;
    std::string text = std::to_string(n) + "\n";
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            text += i == j ? "151.25 " : "0.1234567890123 ";
        text += "1\n";
    }
    FormSession s;
    s.paste(text);
    s.calculate(Gauss);
    EXPECT_EQ(expectedTimeText(s.form.report()), "under a second");
    s.platform.exactFactor = 10;
    s.calculate(Gauss);
    EXPECT_TRUE(expectedTimeText(s.form.report()).starts_with("about "));
    EXPECT_NE(s.form.accuracyText().find("is expected to take about "), std::string::npos);
}

TEST(ExactSolution, TheDefaultSystemAndEachMethodsErrorInTheView) {
    FormSession s;
    InProcessExact solver;
    s.platform.exactSolver = std::ref(solver);
    s.submitDefault();
    s.calculate(Both);
    EXPECT_NE(s.form.accuracyText().find("Not computed yet: Compute Exact Solution is expected "
                                         "to take under a second."),
              std::string::npos);
    const MethodEntry& gauss = *s.form.stepsOf(TextBox::txtGauss);
    // The text of each part of the steps view, and what its Copy copies last.
    const auto steps = [&] {
        const View view = stepsView(gauss, s.form.A(), s.form.b(), s.form.n, s.form.report());
        std::vector<std::string> texts;
        for (const ViewPart& part : view.parts)
            texts.push_back(std::get<ViewText>(part).text);
        texts.push_back(std::get<ViewCopy>(view.buttons.at(0)).text);
        return texts;
    };
    ASSERT_EQ(steps().size(), 2u);
    EXPECT_TRUE(steps()[1].ends_with(
        "Compute Exact Solution (Accuracy\u2026) adds the same steps in exact fractions.\n"));
    EXPECT_EQ(steps()[0], steps()[1]);
    ASSERT_TRUE(runAtOnce(s.form.computeExact()));
    EXPECT_EQ(solver.calls, 1);
    EXPECT_FALSE(s.form.exactPending());
    // Gauss's steps, then the same in fractions, from the exact solve; in the view beside them.
    ASSERT_EQ(steps().size(), 3u);
    EXPECT_EQ(steps()[0].find("6/31"), std::string::npos);
    EXPECT_NE(steps()[1].find("   m(3,2) = 6/31\n"), std::string::npos);
    EXPECT_NE(steps()[2].find("\n   m(3,2) = 6/31\n"), std::string::npos);
    const std::string text = s.form.accuracyText();
    EXPECT_EQ(text.substr(text.find("Exact solution")),
              "Exact solution\n"
              "  x1 =   3\n"
              "  x2 =   -6\n"
              "  x3 =   1\n"
              "  Gauss Elimination: largest error 11 units in the last place, 15 correct "
              "digits; error bound 1.0e-14: held (measured error 8.1e-16)\n"
              "  Cholesky Decomposition: largest error 0 units in the last place, 17 correct "
              "digits; error bound 9.2e-15: held (measured error 0)\n"
              "  A unit in the last place is the gap between neighbouring doubles: 0 means the "
              "method found the correctly rounded value.\n");
    const std::string table = s.form.accuracyTable();
    // Save Results' rows, tab-separated.
    EXPECT_EQ(table.substr(0, table.find("\nCondition number")),
              "Unknown\tGauss Elimination\tCholesky Decomposition\tExact\tNearest double\tGauss "
              "Elimination error (ulps)\tCholesky Decomposition error (ulps)\n"
              "x1\t2.999999999999995\t3\t3\t3\t11\t0\n"
              "x2\t-5.999999999999999\t-6\t-6\t-6\t1\t0\n"
              "x3\t1.0000000000000009\t1\t1\t1\t4\t0");
}

TEST(ExactSolution, DecimalsNoUniqueSolutionAndEndingsOtherThanAnAnswer) {
    // Typed decimals count as written; the doubles' solution follows, and the input's
    // rounding is told apart from the method's error.
    {
        FormSession s;
        InProcessExact solver;
        s.platform.exactSolver = std::ref(solver);
        s.paste("2\n0.1 0.2\n0.3 0.3\n0.1 0.5\n");
        s.calculate(Gauss);
        ASSERT_TRUE(runAtOnce(s.form.computeExact()));
        const std::string text = s.form.accuracyText();
        EXPECT_NE(text.find("  As written, each decimal and fraction its own value:\n"
                            "  x1 =   7/3   (nearest double: 2.3333333333333335)\n"
                            "  x2 =   -2/3   (nearest double: -0.6666666666666666)\n"
                            "  As the methods got it, each number its nearest double:\n"
                            "  x1 \u2248   2.3333333333333335\n"),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("  Rounding the input to doubles: largest error 1 unit in the last "
                            "place, 16 correct digits\n  Gauss Elimination against the doubles' "
                            "solution: largest error 0 units"),
                  std::string::npos)
            << text;
    }
    // An exactly singular system that Gauss solves by rounding: the general solution.
    {
        FormSession s;
        s.platform.exactSolver = [](const ExactProblem&, WorkStatus&) {
            exact::ExactReport report;
            const exact::ExactComponent zero{true, "0", 0.0}, one{true, "1", 1.0},
                half{true, "-1/2", -0.5};
            report.asWritten = {exact::ExactStatus::infinitelyMany, 2, 2, {one, zero, zero}};
            report.asWritten.nullSpace = {{half, one, zero}};
            return ExactOutcome{ExactOutcome::Ending::solved, report, {}};
        };
        s.submitDefault();
        s.calculate(Gauss);
        ASSERT_TRUE(runAtOnce(s.form.computeExact()));
        const std::string text = s.form.accuracyText();
        EXPECT_EQ(text.substr(text.find("Exact solution")),
                  "Exact solution\n  The system has no unique solution.\n  A has rank 2 and [A | "
                  "b] rank 2: there are infinitely many solutions, x = p + t1 v1 for any t1, "
                  "with\n  p = (1, 0, 0)\n  v1 = (-1/2, 1, 0)\n  Gauss Elimination: its numbers "
                  "come from rounding alone.\n");
    }
    struct Ending {
        const char* name;
        ExactOutcome::Ending ending;
        std::vector<ShownMessage> messages;
    };
    const std::vector<Ending> endings{
        {"cancelled", ExactOutcome::Ending::cancelled, {}},
        {"out of memory",
         ExactOutcome::Ending::outOfMemory,
         {{"There is not enough memory for a system of 3 equations."}}},
        {"failed",
         ExactOutcome::Ending::failed,
         {{"The exact solution could not be computed: it broke"}}},
    };
    for (const Ending& e : endings) {
        SCOPED_TRACE(e.name);
        FormSession s;
        s.platform.exactSolver = [&](const ExactProblem&, WorkStatus&) {
            return ExactOutcome{e.ending, {}, "it broke"};
        };
        s.submitDefault();
        s.calculate(Both);
        const std::string before = s.form.accuracyText();
        EXPECT_FALSE(runAtOnce(s.form.computeExact()));
        EXPECT_EQ(s.platform.messages, e.messages);
        EXPECT_EQ(s.form.accuracyText(), before);
        EXPECT_TRUE(s.form.exactPending());
    }
    FormSession s;
    s.submitDefault();
    s.calculate(Both);
    EXPECT_FALSE(runAtOnce(s.form.computeExact()));
    EXPECT_EQ(s.platform.messages, std::vector<ShownMessage>{messages::exactUnavailable});
}

} // namespace
} // namespace lse::test
