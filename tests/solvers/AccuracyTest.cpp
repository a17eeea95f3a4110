#include "Accuracy.h"
#include "Calculate.h"
#include "ConditionedSystems.h"
#include "Factors.h"
#include "Systems.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cmath>
#include <optional>
#include <vector>

using namespace lse;
using namespace lse::test;

namespace {

using Entries = std::vector<double>;

// A system solved by one method, with its figures; A is kept apart from W.
struct Solved {
    Matrix W;
    Vector x;
    MethodState state;
    CalculateOutcome outcome;
    std::optional<double> norm1;
    std::optional<AccuracyFigures> figures;

    Solved(const Matrix& a, const Vector& b, const MethodUnderTest& method,
           const SolveOptions& options = {}) {
        const auto n = static_cast<std::int16_t>(b.upper());
        norm1 = copyWithNorm1(a, W, n);
        x.recreate(n);
        outcome = method.solve(W, b, x, n, state, options);
        figures = figuresOf({a, norm1}, outcome, b, x, options);
    }
};

// b = A x for the given x, when every sum is exact (integer and small dyadic entries).
Vector timesExactly(const Matrix& a, const Entries& x) {
    Vector b;
    b.recreate(static_cast<int>(x.size()));
    for (int i = 1; i <= b.upper(); ++i)
        for (int j = 1; j <= b.upper(); ++j)
            b(i) = b(i) + a(i, j) * x[j - 1];
    return b;
}

double relativeError(const Vector& x, const Entries& truth) {
    double error = 0;
    double largest = 0;
    for (int i = 1; i <= x.upper(); ++i) {
        error = std::max(error, std::fabs(x(i) - truth[i - 1]));
        largest = std::max(largest, std::fabs(x(i)));
    }
    return error / largest;
}

Entries onesEntries(int n) {
    return Entries(n, 1.0);
}

// x_i = (-1)^i i: no two entries alike.
Entries alternating(int n) {
    Entries x(n);
    for (int i = 0; i < n; ++i)
        x[i] = (i % 2 ? -1.0 : 1.0) * (i + 1);
    return x;
}

} // namespace

// Systems with a known exact solution: the error bound must hold it, and the warning must
// come exactly where the bound says the solution has no correct digit.
TEST(Accuracy, TheErrorBoundHoldsTheTrueError) {
    struct Case {
        ConditionedSystem system;
        Entries truth;
        MethodUnderTest method;
        bool warning;
    };
    const Case cases[] = {
        {wilkinsonGrowth(60), onesEntries(60), kGauss, true},
        {wilkinsonGrowth(60), alternating(60), kGauss, true},
        {wilkinsonGrowth(20), alternating(20), kGauss, false},
        {pascal(12), onesEntries(12), kGauss, false},
        {pascal(12), onesEntries(12), kCholesky, false},
        {pascal(18), alternating(18), kCholesky, true},
        {randomGeneral(70, 9), alternating(70), kGauss, false},
        {randomPositiveDefinite(70, 9), alternating(70), kCholesky, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.system.name);
        const Vector b = timesExactly(c.system.a, c.truth);
        const Solved s(c.system.a, b, c.method);
        ASSERT_TRUE(s.outcome.solved());
        ASSERT_TRUE(s.figures && s.figures->ferr && s.figures->berr && s.figures->rcond);
        EXPECT_GE(*s.figures->ferr, relativeError(s.x, c.truth));
        EXPECT_EQ(s.figures->warning(), c.warning) << "FERR " << *s.figures->ferr;
        EXPECT_GE(*s.figures->berr, 0);
        EXPECT_LE(*s.figures->rcond, 1);
    }
}

// The factors replayed must be A^-1 and A^-T, whichever path eliminated: A (A^-1 v) = v and
// u . A^-1 v = A^-T u . v. A pivot row recorded wrong, or a multiplier taken from the wrong
// place, breaks both by far more than rounding.
TEST(Accuracy, TheFactorsAreTheInverse) {
    SolveOptions literal;
    literal.path = SolverPath::literal;
    SolveOptions blockedSmall;
    blockedSmall.path = SolverPath::blocked;
    blockedSmall.blocks = {
        .panel = 16, .leaf = 4, .triangleLeaf = 4, .chunk = 8, .threadsFrom = 32};
    for (const int n : {1, 2, 9, 40, 100})
        for (const SolveOptions* options : {&literal, &blockedSmall})
            for (const MethodUnderTest& method : {kGauss, kCholesky}) {
                SCOPED_TRACE(testing::Message()
                             << "n " << n << (options == &literal ? " literal" : " blocked") << " "
                             << method.name);
                const ConditionedSystem system =
                    method.isGauss() ? randomGeneral(n, 5) : randomPositiveDefinite(n, 5);
                const Solved s(system.a, system.b, method, *options);
                ASSERT_TRUE(s.outcome.solved());
                const auto solve = [&](Entries& v, bool transposed) {
                    const Factors& factors = *s.outcome.factors;
                    return transposed ? factors.solveTransposed(v) : factors.solve(v);
                };
                Entries v(n + 1), u(n + 1);
                for (int i = 1; i <= n; ++i) {
                    v[i] = (i * 5) % 7 - 3;
                    u[i] = (i * 3) % 5 - 2;
                }
                Entries inverseV = v, inverseTU = u;
                ASSERT_TRUE(solve(inverseV, false));
                ASSERT_TRUE(solve(inverseTU, true));
                double left = 0, right = 0, scale = 0;
                for (int i = 1; i <= n; ++i) {
                    double row = 0;
                    for (int j = 1; j <= n; ++j)
                        row += system.a(i, j) * inverseV[j];
                    EXPECT_NEAR(row, v[i], 1e-9);
                    left += u[i] * inverseV[i];
                    right += inverseTU[i] * v[i];
                    scale += std::fabs(u[i] * inverseV[i]);
                }
                EXPECT_NEAR(left, right, 1e-12 * scale);
            }
}

// Two columns in one pass over the factors each get the bits they get alone, and their own
// answer on finiteness: a column mixed into the other, or an operation moved, changes a bit.
TEST(Accuracy, TwoColumnsTakeTheBitsOfOne) {
    struct Case {
        int n;
        MethodUnderTest method;
        bool transposed;
        double uScale; // 1e308 makes u's product overflow while v's stays finite
    };
    const Case cases[] = {
        {1, kGauss, false, 1},         {2, kGauss, true, 1},     {9, kGauss, false, 1},
        {130, kGauss, false, 1},       {130, kGauss, true, 1},   {130, kGauss, true, 1e308},
        {70, kGauss, false, 1e308},    {9, kCholesky, false, 1}, {130, kCholesky, false, 1},
        {70, kCholesky, false, 1e308},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "n " << c.n << " " << c.method.name << (c.transposed ? " transposed" : "")
                     << " u x " << c.uScale);
        const int n = c.n;
        const ConditionedSystem system =
            c.method.isGauss() ? randomGeneral(n, 7) : randomPositiveDefinite(n, 7);
        const Solved s(system.a, system.b, c.method);
        ASSERT_TRUE(s.outcome.solved());
        Entries v(n + 1), u(n + 1);
        for (int i = 1; i <= n; ++i) {
            v[i] = (i * 5) % 7 - 3.25;
            u[i] = c.uScale * ((i * 3) % 5 - 1.5);
        }
        Entries vAlone = v, uAlone = u;
        struct Finite {
            bool v, u;
            std::array<bool, 2> both;
        };
        const auto run = [&](const auto& factors) {
            if (c.transposed)
                return Finite{factors.solveTransposed(vAlone), factors.solveTransposed(uAlone),
                              factors.solveTransposed(TwoColumns{&v, &u})};
            return Finite{factors.solve(vAlone), factors.solve(uAlone),
                          factors.solve(TwoColumns{&v, &u})};
        };
        const Finite finite = run(*s.outcome.factors);
        EXPECT_TRUE(finite.v);
        EXPECT_EQ(finite.u, c.uScale == 1);
        EXPECT_EQ(finite.both[0], finite.v);
        EXPECT_EQ(finite.both[1], finite.u);
        for (int i = 1; i <= n; ++i) {
            EXPECT_EQ(bits(v[i]), bits(vAlone[i])) << i;
            EXPECT_EQ(bits(u[i]), bits(uAlone[i])) << i;
        }
    }
}

// The pivot rows, W and x are the same bits on both paths.
TEST(Accuracy, BothPathsRecordTheSamePivotRows) {
    const ConditionedSystem system = randomGeneral(100, 11);
    SolveOptions literal;
    literal.path = SolverPath::literal;
    const Solved blocked(system.a, system.b, kGauss);
    const Solved plain(system.a, system.b, kGauss, literal);
    ASSERT_TRUE(blocked.outcome.solved());
    EXPECT_EQ(blocked.outcome.statusesAs<GaussOutcome>()->pivotRows,
              plain.outcome.statusesAs<GaussOutcome>()->pivotRows);
    EXPECT_EQ(blocked.W, plain.W);
    EXPECT_EQ(blocked.x, plain.x);
}

// Each doubt the figures can raise, and the precedence among them: a bound that leaves no
// digit warns from 0.1 on; a failed premise (factors that do not reproduce A, BERR far above
// eps) lets RCOND's warning stand against the bound; without a residual, RCOND and then the
// growth decide; a solution below the normal doubles claims no digit.
TEST(Accuracy, TheWarningRule) {
    const double eps = kUnitRoundoff;
    const auto figures = [](std::optional<double> rcond, std::optional<double> berr,
                            std::optional<double> ferr) {
        AccuracyFigures f;
        f.rcond = rcond;
        f.berr = berr;
        f.ferr = ferr;
        if (!berr)
            f.berrGap = f.ferrGap = FigureGap::noResidual;
        return f;
    };
    const auto with = [](AccuracyFigures f, auto change) {
        change(f);
        return f;
    };
    struct Case {
        const char* name;
        AccuracyFigures figures;
        Doubt doubt;
        std::optional<int> digits;
    };
    const Case cases[] = {
        {"accurate", figures(1e-3, 1e-17, 1e-13), Doubt::none, 13},
        {"one digit", figures(1e-3, 1e-17, 0.1), Doubt::none, 1},
        {"bound between 0.1 and 1", figures(1e-3, 1e-17, 0.5), Doubt::noDigit, 0},
        {"bound above 1", figures(0.5, 1e-17, 3.0), Doubt::noDigit, 0},
        {"badly scaled but accurate",
         with(figures(eps / 2, 1e-17, 1e-3), [](auto& f) { f.scaledCondition = 10; }), Doubt::none,
         3},
        {"singular however its rows are scaled",
         with(figures(eps / 2, 1e-17, 1e-3), [](auto& f) { f.scaledCondition = 1e17; }),
         Doubt::singular, 0},
        {"singular with a large BERR", figures(eps / 2, 1e-3, 1e-3), Doubt::singular, 0},
        {"kappa BERR leaves no digit", figures(1e-2, 1e-2, 1e-5), Doubt::unstable, 0},
        {"large BERR, small kappa", figures(0.5, 1e-7, 1e-6), Doubt::none, 6},
        {"factors changed A",
         with(figures(0.5, 1e-17, std::nullopt),
              [](auto& f) {
                  f.factorsReproduceA = false;
                  f.ferrGap = FigureGap::factorsChangedA;
              }),
         Doubt::unstable, std::nullopt},
        {"no residual, singular", figures(eps / 2, std::nullopt, std::nullopt), Doubt::singular,
         std::nullopt},
        {"no residual, RCOND at eps", figures(eps, std::nullopt, std::nullopt), Doubt::none,
         std::nullopt},
        {"no residual, inverse beyond the doubles",
         with(figures(std::nullopt, std::nullopt, std::nullopt),
              [](auto& f) { f.rcondGap = FigureGap::inverseBeyondDoubles; }),
         Doubt::singular, std::nullopt},
        {"no residual, growth leaves no digit",
         with(figures(1.0 / 60, std::nullopt, std::nullopt), [](auto& f) { f.growth = 0x1p59; }),
         Doubt::growth, std::nullopt},
        {"no residual, modest growth",
         with(figures(1e-6, std::nullopt, std::nullopt), [](auto& f) { f.growth = 30; }),
         Doubt::none, std::nullopt},
        {"bound beyond the doubles",
         with(figures(1e-3, 1e-17, std::nullopt),
              [](auto& f) { f.ferrGap = FigureGap::boundBeyondDoubles; }),
         Doubt::noDigit, std::nullopt},
        {"solution underflowed",
         with(figures(1.0, 0.0, std::nullopt),
              [](auto& f) {
                  f.solutionUnderflowed = true;
                  f.ferrGap = FigureGap::solutionUnderflowed;
              }),
         Doubt::underflowed, 0},
        {"nothing known", figures(std::nullopt, std::nullopt, std::nullopt), Doubt::none,
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.figures.doubt(), c.doubt);
        EXPECT_EQ(c.figures.correctDigits(), c.digits);
    }
}

// Near the top of the doubles a norm or a residual may overflow: that figure is then not
// available, never NaN, and never read as singular.
TEST(Accuracy, FiguresBeyondTheDoublesAreNotAvailable) {
    struct Case {
        const char* name;
        Matrix a;
        Vector b;
        bool rcond, residual;
    };
    const double big = 1e308;
    const Case cases[] = {
        {"the column sum overflows", makeMatrix({{big, 0}, {big, 1}}), makeVector({big, 1}), false,
         false},
        {"only |A| |x| + |b| overflows", makeMatrix({{big, 0}, {0, big}}), makeVector({big, big}),
         true, false},
        {"well inside", makeMatrix({{2, 1}, {1, 3}}), makeVector({1, 2}), true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Solved s(c.a, c.b, kGauss);
        ASSERT_TRUE(s.outcome.solved());
        ASSERT_TRUE(s.figures);
        EXPECT_EQ(s.figures->rcond.has_value(), c.rcond);
        EXPECT_EQ(s.figures->berr.has_value(), c.residual);
        EXPECT_EQ(s.figures->ferr.has_value(), c.residual);
        for (const auto& figure : {s.figures->rcond, s.figures->berr, s.figures->ferr})
            EXPECT_FALSE(figure && std::isnan(*figure));
        EXPECT_FALSE(s.figures->singularToWorkingPrecision());
        EXPECT_FALSE(s.figures->warning());
    }
}

// The edges of the doubles, each against what is true of its solution: no figure is ever
// inf, NaN or a 0 standing for an overflow, and the doubt raised is the one the truth calls
// for. In place: Gauss worked in A itself, so the figures have no residual.
TEST(Accuracy, TheEdgesOfTheDoubles) {
    struct Case {
        const char* name;
        Matrix a;
        Vector b;
        MethodUnderTest method;
        bool inPlace;
        Doubt doubt;
        std::optional<int> digits;
        bool kappa = true; // the condition number can be had
    };
    const double largest = std::numeric_limits<double>::max();
    const ConditionedSystem wilkinson = wilkinsonGrowth(60);
    const Case cases[] = {
        {"1 x 1 of the largest double", makeMatrix({{largest}}), makeVector({largest}), kGauss,
         false, Doubt::none, std::nullopt},
        {"a solution below the normal doubles", makeMatrix({{1}}), makeVector({1e-310}), kCholesky,
         false, Doubt::underflowed, 0},
        {"a solution that underflowed to 0", makeMatrix({{1e300}}), makeVector({1e-300}), kGauss,
         false, Doubt::underflowed, 0},
        {"an exact solution with a 0 in b", makeMatrix({{2, 0}, {0, 4}}), makeVector({2, 0}),
         kCholesky, false, Doubt::none, 15},
        {"a tiny right-hand side", makeMatrix({{2, 1}, {1, 3}}), makeVector({1e-300, 2e-300}),
         kGauss, false, Doubt::none, 14},
        // 1e-325 flushed to 0 drops half of U(2, 2): the answer is off by half.
        {"a multiplier that underflows to 0", makeMatrix({{1e50, 1e50}, {1e-275, 2e-275}}),
         makeVector({1, 1e-300}), kGauss, false, Doubt::unstable, std::nullopt, false},
        {"Wilkinson's growth without a residual", wilkinson.a, wilkinson.b, kGauss, true,
         Doubt::growth, std::nullopt},
        // Rows 1 and 3 all but equal at 4e297: RCOND is tiny and Hager's estimate of the bound
        // misses (1e-15 against a true error of 100 %); equilibrated, the rows stay singular.
        {"singular however its rows are scaled",
         makeMatrix({{4.058448828761429e+297, -5499443398.70978, 4.058448828761429e+297, 1.0},
                     {-5499443398.70978, 3.1980910724827027e+288, -1e-322, 6.444161327984069e-17},
                     {4.058448828761429e+297, -1e-322, 4.058448828761429e+297, -1.0},
                     {1.0, 6.444161327984069e-17, -1.0, 2.0}}),
         makeVector({2.767562522188163e-16, -1.0, 3.0476032021524044e-305, -7.755757964795452e+28}),
         kCholesky, false, Doubt::singular, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto n = static_cast<std::int16_t>(c.b.upper());
        Matrix W;
        Matrix A = c.a;
        const std::optional<double> norm1 = copyWithNorm1(A, W, n);
        Vector x;
        x.recreate(n);
        MethodState state;
        const CalculateOutcome outcome = c.method.solve(c.inPlace ? A : W, c.b, x, n, state, {});
        ASSERT_TRUE(outcome.solved());
        const AccuracyFigures f = *figuresOf(
            {A, norm1, c.inPlace ? outcome.factors->keptOfA() : KeptOfA::all}, outcome, c.b, x);
        EXPECT_EQ(f.doubt(), c.doubt);
        EXPECT_EQ(f.correctDigits(), c.digits);
        EXPECT_EQ(f.conditionNumber().has_value(), c.kappa);
        for (const std::optional<double>& figure : {f.rcond, f.berr, f.ferr, f.conditionNumber()})
            EXPECT_TRUE(!figure || (std::isfinite(*figure) && *figure > 0) ||
                        (figure == f.berr && *figure == 0));
    }
}

// A method that failed, was cancelled or had nothing to solve has no figures.
TEST(Accuracy, NoSolutionNoFigures) {
    std::atomic<bool> cancel{true};
    SolveOptions cancelled;
    cancelled.cancel = &cancel;
    struct Case {
        const char* name;
        Matrix a;
        Vector b;
        MethodUnderTest method;
        SolveOptions options;
    };
    const Case cases[] = {
        {"zero pivot", makeMatrix({{1, 2}, {2, 4}}), makeVector({1, 1}), kGauss, {}},
        {"not positive definite", makeMatrix({{1, 2}, {2, 1}}), makeVector({1, 1}), kCholesky, {}},
        {"cancelled", makeMatrix({{2, 1}, {1, 3}}), makeVector({1, 2}), kGauss, cancelled},
        {"cancelled Cholesky", makeMatrix({{2, 1}, {1, 3}}), makeVector({1, 2}), kCholesky,
         cancelled},
        {"no equations", makeMatrix({}), makeVector({}), kGauss, {}},
        {"no equations, Cholesky", makeMatrix({}), makeVector({}), kCholesky, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Solved(c.a, c.b, c.method, c.options).figures);
    }
}

// Cholesky's residual may read A from the upper triangle W keeps: the same figures as from A
// itself, but for the sums' order.
TEST(Accuracy, CholeskyReadsTheUpperTriangleOfW) {
    for (const ConditionedSystem& system :
         {hilbert(8), pascal(12), randomPositiveDefinite(70, 4)}) {
        SCOPED_TRACE(system.name);
        const auto n = static_cast<std::int16_t>(system.b.upper());
        const Solved s(system.a, system.b, kCholesky);
        const auto fromW =
            figuresOf({s.W, s.norm1, KeptOfA::upperTriangle}, s.outcome, system.b, s.x);
        ASSERT_TRUE(s.figures && fromW);
        EXPECT_EQ(fromW->rcond, s.figures->rcond);
        EXPECT_NEAR(*fromW->ferr, *s.figures->ferr, 0.5 * *s.figures->ferr);
        EXPECT_NEAR(*fromW->berr, *s.figures->berr, 2 * kUnitRoundoff * n);
    }
}

// A second thread forms the residual of a large system while the first makes RCOND's first
// product: the same bits.
TEST(Accuracy, ThreadsChangeNoBitOfTheFigures) {
    struct Case {
        ConditionedSystem system;
        MethodUnderTest method;
    };
    const Case cases[] = {{randomGeneral(1100, 13), kGauss},
                          {diagonallyDominant(1100, 13), kCholesky}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.system.name);
        SolveOptions one;
        one.threads = 1;
        SolveOptions two;
        two.threads = 2;
        const Solved s(c.system.a, c.system.b, c.method, one);
        ASSERT_TRUE(s.outcome.solved());
        const auto figures = [&](const SolveOptions& options) {
            return figuresOf({c.system.a, s.norm1}, s.outcome, c.system.b, s.x, options);
        };
        const auto single = figures(one);
        const auto paired = figures(two);
        ASSERT_TRUE(single && paired);
        EXPECT_EQ(bits(*single->rcond), bits(*paired->rcond));
        EXPECT_EQ(bits(*single->berr), bits(*paired->berr));
        EXPECT_EQ(bits(*single->ferr), bits(*paired->ferr));
    }
}
