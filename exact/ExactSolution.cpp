#include "ExactSolution.h"

#include "Digits.h"
#include "FractionSteps.h"
#include "Limits.h"
#include "Rational.h"

#include <flint/fmpq_mat.h>
#include <flint/fmpz_mat.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace lse::exact {

namespace {

// An fmpz_mat_t that clears itself.
struct IntegerMatrix {
    fmpz_mat_t value;
    IntegerMatrix(slong rows, slong cols) { fmpz_mat_init(value, rows, cols); }
    IntegerMatrix(const IntegerMatrix&) = delete;
    IntegerMatrix& operator=(const IntegerMatrix&) = delete;
    ~IntegerMatrix() { fmpz_mat_clear(value); }
};

// An fmpq_mat_t that clears itself.
struct RationalMatrix {
    fmpq_mat_t value;
    RationalMatrix(slong rows, slong cols) { fmpq_mat_init(value, rows, cols); }
    RationalMatrix(const RationalMatrix&) = delete;
    RationalMatrix& operator=(const RationalMatrix&) = delete;
    ~RationalMatrix() { fmpq_mat_clear(value); }
    fmpq* at(slong i, slong j) { return fmpq_mat_entry(value, i, j); }
};

void requireFinite(double value) {
    if (!std::isfinite(value))
        throw std::invalid_argument("the system holds a number that is not finite");
}

// Each row of [A | b] times the power of two that makes its entries integers with no common
// factor of two: the solution is the same, and FLINT's integer solvers need no denominators.
void setIntegralSystem(fmpz_mat_t M, fmpz_mat_t B, const Matrix& A, const Vector& b, int n) {
    std::vector<BinaryFraction> row(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) {
        int lowest = std::numeric_limits<int>::max();
        for (int j = 1; j <= n + 1; ++j) {
            const double value = j <= n ? A(i, j) : b(i);
            requireFinite(value);
            BinaryFraction& entry = row[static_cast<std::size_t>(j - 1)];
            entry = binaryFraction(value);
            if (entry.mantissa != 0)
                lowest = std::min(lowest, entry.exponent);
        }
        for (int j = 1; j <= n + 1; ++j) {
            const BinaryFraction& entry = row[static_cast<std::size_t>(j - 1)];
            fmpz* target = j <= n ? fmpz_mat_entry(M, i - 1, j - 1) : fmpz_mat_entry(B, i - 1, 0);
            setInteger(target, entry.mantissa);
            if (entry.mantissa != 0)
                fmpz_mul_2exp(target, target, static_cast<ulong>(entry.exponent - lowest));
        }
    }
}

// Row i of a rational [A | b] times the least common multiple of its denominators, which is
// left in `multiple`: entry j into target(j). For decimals of d places the multiple is 10^d at
// most, so the integers stay as short as written.
template <typename Target>
void scaleRowToIntegers(const fmpq_mat_t system, slong i, fmpz_t multiple, Target target) {
    const slong n = fmpq_mat_nrows(system);
    fmpz_t factor;
    fmpz_init(factor);
    fmpz_one(multiple);
    for (slong j = 0; j <= n; ++j)
        fmpz_lcm(multiple, multiple, fmpq_denref(fmpq_mat_entry(system, i, j)));
    for (slong j = 0; j <= n; ++j) {
        const fmpq* entry = fmpq_mat_entry(system, i, j);
        fmpz_divexact(factor, multiple, fmpq_denref(entry));
        fmpz_mul(target(j), fmpq_numref(entry), factor);
    }
    fmpz_clear(factor);
}

// The same for rational rows, each scaled to whole numbers.
void setIntegralRows(fmpz_mat_t M, fmpz_mat_t B, const fmpq_mat_t system) {
    const slong n = fmpq_mat_nrows(system);
    fmpz_t multiple;
    fmpz_init(multiple);
    for (slong i = 0; i < n; ++i)
        scaleRowToIntegers(system, i, multiple, [&](slong j) {
            return j < n ? fmpz_mat_entry(M, i, j) : fmpz_mat_entry(B, i, 0);
        });
    fmpz_clear(multiple);
}

// A X = B exactly, checked as A * num = B * den with X = num / den: a second computation,
// independent of the solver's own.
bool satisfies(const fmpz_mat_t A, const fmpz_mat_t B, const fmpq_mat_t X) {
    const slong n = fmpz_mat_nrows(A);
    IntegerMatrix numerators(n, 1), left(n, 1), right(n, 1);
    fmpz_t denominator;
    fmpz_init(denominator);
    fmpq_mat_get_fmpz_mat_matwise(numerators.value, denominator, X);
    fmpz_mat_mul(left.value, A, numerators.value);
    fmpz_mat_scalar_mul_fmpz(right.value, B, denominator);
    fmpz_clear(denominator);
    return fmpz_mat_equal(left.value, right.value) != 0;
}

ExactComponent describe(const fmpq_t value, ExactDetail detail) {
    ExactComponent component;
    if (std::optional<std::string> fraction = fractionText(value)) {
        component.isFraction = true;
        component.text = std::move(*fraction);
    } else {
        component.text = decimalText(value);
    }
    component.nearest = nearestDouble(value);
    if (detail == ExactDetail::whole)
        component.whole = *fractionText(value, std::numeric_limits<int>::max());
    return component;
}

ExactVector describeColumn(const fmpq_mat_t column, ExactDetail detail) {
    ExactVector vector;
    for (slong i = 0; i < fmpq_mat_nrows(column); ++i)
        vector.push_back(describe(fmpq_mat_entry(column, i, 0), detail));
    return vector;
}

void checked(bool holds, const char* what) {
    if (!holds)
        throw std::logic_error(std::string("the exact answer failed its check: ") + what);
}

// A v for the n x n part A of `system` (n x (n + 1)), into `product` (n x 1).
void multiplyA(fmpq_mat_t product, const fmpq_mat_t system, const fmpq_mat_t v) {
    const slong n = fmpq_mat_nrows(system);
    for (slong i = 0; i < n; ++i) {
        fmpq* sum = fmpq_mat_entry(product, i, 0);
        fmpq_zero(sum);
        for (slong j = 0; j < n; ++j)
            fmpq_addmul(sum, fmpq_mat_entry(system, i, j), fmpq_mat_entry(v, j, 0));
    }
}

// Why [A | b] (n x (n + 1), rational) has no unique solution, from its reduced row echelon
// form: the ranks, then a certificate or the general solution, each checked against the
// system itself.
void explainSingular(ExactAnswer& answer, const fmpq_mat_t system, ExactDetail detail) {
    const slong n = fmpq_mat_nrows(system);
    // [A | b | I]: the identity's columns record which combination of the equations each row
    // of the echelon form is; [A | b] is echelon-reduced in its first n + 1 columns alone. Each
    // row is scaled to whole numbers first, which leaves the row space and so the reduced form
    // as they are, for FLINT's fraction-free integer reduction.
    IntegerMatrix work(n, 2 * n + 1), reduced(n, 2 * n + 1);
    {
        fmpz_t multiple;
        fmpz_init(multiple);
        for (slong i = 0; i < n; ++i) {
            scaleRowToIntegers(system, i, multiple,
                               [&](slong j) { return fmpz_mat_entry(work.value, i, j); });
            fmpz_set(fmpz_mat_entry(work.value, i, n + 1 + i), multiple);
        }
        fmpz_clear(multiple);
    }
    fmpz_t denominator;
    fmpz_init(denominator);
    fmpz_mat_rref(reduced.value, denominator, work.value);
    RationalMatrix echelon(n, 2 * n + 1);
    for (slong i = 0; i < n; ++i)
        for (slong j = 0; j < 2 * n + 1; ++j)
            fmpq_set_fmpz_frac(echelon.at(i, j), fmpz_mat_entry(reduced.value, i, j), denominator);
    fmpz_clear(denominator);
    std::vector<slong> pivotColumn; // of each nonzero row of the echelon form's [A | b]
    for (slong r = 0; r < n; ++r) {
        slong j = 0;
        while (j <= n && fmpq_is_zero(echelon.at(r, j)))
            ++j;
        if (j > n)
            break;
        pivotColumn.push_back(j);
    }
    const bool inconsistent = !pivotColumn.empty() && pivotColumn.back() == n;
    answer.augmentedRank = static_cast<int>(pivotColumn.size());
    answer.rank = answer.augmentedRank - (inconsistent ? 1 : 0);

    RationalMatrix product(n, 1);
    if (inconsistent) {
        // That row reads 0 = 1: y^T [A | b] = (0, 1). Scaled to whole numbers without a common
        // factor, it combines the equations into 0 = c.
        answer.status = ExactStatus::noSolution;
        const slong row = answer.augmentedRank - 1;
        RationalMatrix y(n, 1), yT(1, n), left(1, n + 1);
        for (slong i = 0; i < n; ++i)
            fmpq_set(y.at(i, 0), echelon.at(row, n + 1 + i));
        fmpz_t denominator;
        fmpz_init(denominator);
        IntegerMatrix whole(n, 1);
        fmpq_mat_get_fmpz_mat_matwise(whole.value, denominator, y.value);
        fmpz_t content;
        fmpz_init(content);
        for (slong i = 0; i < n; ++i)
            fmpz_gcd(content, content, fmpz_mat_entry(whole.value, i, 0));
        for (slong i = 0; i < n; ++i) {
            fmpz_divexact(fmpz_mat_entry(whole.value, i, 0), fmpz_mat_entry(whole.value, i, 0),
                          content);
            fmpq_set_fmpz_frac(y.at(i, 0), fmpz_mat_entry(whole.value, i, 0), denominator);
            fmpz_set(fmpq_numref(yT.at(0, i)), fmpz_mat_entry(whole.value, i, 0));
            fmpz_one(fmpq_denref(yT.at(0, i)));
        }
        fmpz_clear(content);
        fmpz_clear(denominator);
        fmpq_mat_mul(left.value, yT.value, system);
        for (slong j = 0; j < n; ++j)
            checked(fmpq_is_zero(left.at(0, j)), "y^T A = 0");
        checked(!fmpq_is_zero(left.at(0, n)), "y^T b is not 0");
        RationalMatrix certificate(n, 1);
        for (slong i = 0; i < n; ++i)
            fmpq_set(certificate.at(i, 0), yT.at(0, i));
        answer.certificate = describeColumn(certificate.value, detail);
        answer.certificateValue = describe(left.at(0, n), detail);
        return;
    }

    answer.status = ExactStatus::infinitelyMany;
    std::vector<bool> isPivot(static_cast<std::size_t>(n), false);
    RationalMatrix particular(n, 1), b(n, 1);
    for (std::size_t r = 0; r < pivotColumn.size(); ++r) {
        isPivot[static_cast<std::size_t>(pivotColumn[r])] = true;
        fmpq_set(particular.at(pivotColumn[r], 0), echelon.at(static_cast<slong>(r), n));
    }
    for (slong i = 0; i < n; ++i)
        fmpq_set(b.at(i, 0), fmpq_mat_entry(system, i, n));
    multiplyA(product.value, system, particular.value);
    checked(fmpq_mat_equal(product.value, b.value) != 0, "A x = b");
    answer.components = describeColumn(particular.value, detail);
    for (slong free = 0; free < n; ++free) {
        if (isPivot[static_cast<std::size_t>(free)])
            continue;
        RationalMatrix v(n, 1);
        fmpq_one(v.at(free, 0));
        for (std::size_t r = 0; r < pivotColumn.size(); ++r)
            fmpq_neg(v.at(pivotColumn[r], 0), echelon.at(static_cast<slong>(r), free));
        multiplyA(product.value, system, v.value);
        checked(fmpq_mat_is_zero(product.value) != 0, "A v = 0");
        answer.nullSpace.push_back(describeColumn(v.value, detail));
    }
}

// The gap above |nearest| to the next double: the unit in the last place of x's largest entry.
// None for 0, whose every neighbour is closer than any digit.
std::optional<double> unitInTheLastPlace(const std::optional<double>& nearest) {
    if (!nearest || *nearest == 0)
        return std::nullopt;
    const int lowestExponent =
        std::numeric_limits<double>::min_exponent - std::numeric_limits<double>::digits;
    return std::ldexp(1.0, std::max(std::ilogb(*nearest) - std::numeric_limits<double>::digits + 1,
                                    lowestExponent));
}

// value / unit rounded to the nearest whole number, ties up; none beyond 64 bits. Both
// positive or value 0.
std::optional<std::uint64_t> unitsIn(const fmpq_t value, const fmpq_t unit) {
    Rational quotient;
    fmpq_div(quotient.value, value, unit);
    fmpz_t whole, twiceDenominator, part;
    fmpz_init(whole);
    fmpz_init(twiceDenominator);
    fmpz_init(part);
    // floor((2p + q) / 2q) for p/q.
    fmpz_mul_2exp(whole, fmpq_numref(quotient.value), 1);
    fmpz_add(whole, whole, fmpq_denref(quotient.value));
    fmpz_mul_2exp(twiceDenominator, fmpq_denref(quotient.value), 1);
    // fdiv_qr, not fdiv_q, which the page's build of FLINT leaves out; part is the remainder.
    fmpz_fdiv_qr(whole, part, whole, twiceDenominator);
    std::optional<std::uint64_t> units;
    if (fmpz_bits(whole) <= 64) {
        // In halves of 32 bits: FLINT's ulong has 32 bits in WebAssembly.
        fmpz_fdiv_q_2exp(part, whole, 32);
        units = std::uint64_t{fmpz_get_ui(part)} << 32;
        fmpz_fdiv_r_2exp(part, whole, 32);
        *units |= fmpz_get_ui(part);
    }
    fmpz_clear(whole);
    fmpz_clear(twiceDenominator);
    fmpz_clear(part);
    return units;
}

// |truth - other|∞ / |truth|∞ rounded up to a double, and each component's error in ulps, as a
// method's error is told.
MethodError compare(const fmpq_mat_t truth, const ExactVector& truthShown,
                    const std::vector<std::optional<double>>& otherDoubles,
                    const std::vector<const fmpq*>& otherValues) {
    MethodError error;
    error.largestUlps = 0;
    Rational difference, largestDifference, magnitude, largestMagnitude, unit;
    std::size_t largestAt = 0;
    for (std::size_t i = 0; i < truthShown.size(); ++i) {
        fmpq_abs(magnitude.value, fmpq_mat_entry(truth, static_cast<slong>(i), 0));
        if (fmpq_cmp(magnitude.value, largestMagnitude.value) > 0) {
            fmpq_set(largestMagnitude.value, magnitude.value);
            largestAt = i;
        }
    }
    const std::optional<double> largestUnit =
        truthShown.empty() ? std::nullopt : unitInTheLastPlace(truthShown[largestAt].nearest);
    if (largestUnit)
        setExact(unit.value, *largestUnit);
    bool finite = true;
    for (std::size_t i = 0; i < truthShown.size(); ++i) {
        const fmpq* exactValue = fmpq_mat_entry(truth, static_cast<slong>(i), 0);
        const std::optional<double>& nearest = truthShown[i].nearest;
        if (otherValues[i] != nullptr) {
            fmpq_sub(difference.value, exactValue, otherValues[i]);
            fmpq_abs(difference.value, difference.value);
            if (fmpq_cmp(difference.value, largestDifference.value) > 0)
                fmpq_set(largestDifference.value, difference.value);
        } else {
            finite = false;
        }
        fmpq_abs(magnitude.value, exactValue);
        std::optional<std::uint64_t> ulps;
        if (largestUnit && fmpq_cmp(magnitude.value, unit.value) < 0) {
            error.inLargestEntryUnits = true;
            if (otherValues[i] != nullptr)
                ulps = unitsIn(difference.value, unit.value);
        } else if (nearest && otherDoubles[i]) {
            ulps = doublesBetween(*otherDoubles[i], *nearest);
        }
        error.ulps.push_back(ulps);
        if (!ulps)
            error.largestUlps.reset();
        else if (error.largestUlps)
            error.largestUlps = std::max(*error.largestUlps, *ulps);
    }
    double relative = std::numeric_limits<double>::infinity();
    if (finite && fmpq_is_zero(largestDifference.value)) {
        relative = 0;
    } else if (finite && !fmpq_is_zero(largestMagnitude.value)) {
        fmpq_div(difference.value, largestDifference.value, largestMagnitude.value);
        relative = doubleAbove(difference.value);
    }
    if (std::isfinite(relative))
        error.measuredError = relative;
    error.correctDigits = significantDigits(relative);
    return error;
}

// [A | b] of the doubles, exactly.
void setDoublesSystem(fmpq_mat_t system, const Matrix& A, const Vector& b, int n) {
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n + 1; ++j) {
            const double value = j <= n ? A(i, j) : b(i);
            requireFinite(value);
            setExact(fmpq_mat_entry(system, i - 1, j - 1), value);
        }
}

// Puts the written values the exact arithmetic holds into the doubles' system, and counts in
// notHeld those it does not; true when any differs from its double.
bool setWrittenValues(fmpq_mat_t system, const WrittenValues& written, int n,
                      WrittenNotHeld& notHeld) {
    bool differs = false;
    notHeld.order = n;
    Rational value;
    for (std::size_t k = 0; k < written.size(); ++k) {
        const WrittenValues::Entry entry = written[k];
        if (entry.row < 1 || entry.row > n || entry.column < 1 || entry.column > n + 1)
            throw std::invalid_argument("a written value lies outside the system");
        if (!setWritten(value.value, entry.text)) {
            notHeld.add(entry.row, entry.column, entry.text);
            continue;
        }
        fmpq* target = fmpq_mat_entry(system, entry.row - 1, entry.column - 1);
        if (!fmpq_equal(target, value.value)) {
            fmpq_set(target, value.value);
            differs = true;
        }
    }
    if (written.bIsRowSums && differs) {
        for (int i = 0; i < n; ++i) {
            fmpq* sum = fmpq_mat_entry(system, i, n);
            fmpq_zero(sum);
            for (int j = 0; j < n; ++j)
                fmpq_add(sum, sum, fmpq_mat_entry(system, i, j));
        }
    }
    return differs;
}

} // namespace

WrittenNotHeld setWrittenSystem(fmpq_mat_t system, const Matrix& A, const Vector& b, int n,
                                const WrittenValues& written) {
    setDoublesSystem(system, A, b, n);
    WrittenNotHeld notHeld;
    setWrittenValues(system, written, n, notHeld);
    return notHeld;
}

struct ExactSolution::State {
    int n;
    ExactAnswer answer;
    fmpq_mat_t x;

    explicit State(int order) : n(order) { fmpq_mat_init(x, order, 1); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() { fmpq_mat_clear(x); }
};

namespace {

// Solves the integral system M x = B, whose rational form is `system` (for the explanation of
// a singular one; built here when null, from A and b).
std::unique_ptr<ExactSolution::State> solveIntegral(const fmpz_mat_t M, const fmpz_mat_t B,
                                                    const fmpq_mat_t system, const Matrix& A,
                                                    const Vector& b, int n, ExactDetail detail) {
    auto state = std::make_unique<ExactSolution::State>(n);
    // FLINT picks the method: fraction-free elimination for small orders, Dixon's p-adic
    // lifting above. Either proves a singular matrix singular.
    if (!fmpq_mat_solve_fmpz_mat(state->x, M, B)) {
        if (system != nullptr) {
            explainSingular(state->answer, system, detail);
        } else {
            RationalMatrix doubles(n, n + 1);
            setDoublesSystem(doubles.value, A, b, n);
            explainSingular(state->answer, doubles.value, detail);
        }
        return state;
    }
    checked(satisfies(M, B, state->x), "A x = b");
    state->answer.status = ExactStatus::solved;
    state->answer.rank = n;
    state->answer.augmentedRank = n;
    state->answer.components = describeColumn(state->x, detail);
    return state;
}

} // namespace

ExactSolution::ExactSolution(std::unique_ptr<State> state) : state_(std::move(state)) {}
ExactSolution::ExactSolution(ExactSolution&&) noexcept = default;
ExactSolution& ExactSolution::operator=(ExactSolution&&) noexcept = default;
ExactSolution::~ExactSolution() = default;

ExactSolution ExactSolution::solve(const Matrix& A, const Vector& b, int n, ExactDetail detail) {
    IntegerMatrix M(n, n), B(n, 1);
    setIntegralSystem(M.value, B.value, A, b, n);
    return ExactSolution(solveIntegral(M.value, B.value, nullptr, A, b, n, detail));
}

ExactStatus ExactSolution::status() const {
    return state_->answer.status;
}

const ExactAnswer& ExactSolution::answer() const {
    return state_->answer;
}

std::vector<std::string> ExactSolution::fractions() const {
    std::vector<std::string> texts;
    if (state_->answer.status == ExactStatus::solved)
        for (int i = 0; i < state_->n; ++i)
            texts.push_back(
                *fractionText(fmpq_mat_entry(state_->x, i, 0), std::numeric_limits<int>::max()));
    return texts;
}

MethodError ExactSolution::judge(const Vector& xhat) const {
    if (state_->answer.status != ExactStatus::solved)
        throw std::logic_error("judging against a system with no unique solution");
    const auto size = static_cast<std::size_t>(state_->n);
    std::vector<std::optional<double>> doubles(size);
    std::vector<Rational> exactValues(size);
    std::vector<const fmpq*> values(size, nullptr);
    for (std::size_t i = 0; i < size; ++i) {
        const double v = xhat(static_cast<int>(i) + 1);
        doubles[i] = v;
        if (std::isfinite(v)) {
            setExact(exactValues[i].value, v);
            values[i] = exactValues[i].value;
        }
    }
    return compare(state_->x, state_->answer.components, doubles, values);
}

MethodError ExactSolution::judge(const ExactSolution& other) const {
    if (state_->answer.status != ExactStatus::solved ||
        other.state_->answer.status != ExactStatus::solved || other.state_->n != state_->n)
        throw std::logic_error("judging solutions that are not both unique");
    const auto size = static_cast<std::size_t>(state_->n);
    std::vector<std::optional<double>> nearest(size);
    std::vector<const fmpq*> values(size);
    for (std::size_t i = 0; i < size; ++i) {
        nearest[i] = other.state_->answer.components[i].nearest;
        values[i] = fmpq_mat_entry(other.state_->x, static_cast<slong>(i), 0);
    }
    return compare(state_->x, state_->answer.components, nearest, values);
}

std::optional<ExactSolution> solveAsWritten(const Matrix& A, const Vector& b, int n,
                                            const WrittenValues& written, ExactDetail detail,
                                            WrittenNotHeld* notHeld) {
    if (written.empty())
        return std::nullopt;
    RationalMatrix system(n, n + 1);
    setDoublesSystem(system.value, A, b, n);
    WrittenNotHeld unheld;
    const bool differs = setWrittenValues(system.value, written, n, unheld);
    if (notHeld != nullptr)
        *notHeld = unheld;
    // A summed entry is its double's sum, not its written values': the system as written is
    // not known, so the texts of the others would make a third system, neither.
    if (!differs || unheld.any() || written.summedEntries.any())
        return std::nullopt;
    IntegerMatrix M(n, n), B(n, 1);
    setIntegralRows(M.value, B.value, system.value);
    return ExactSolution(solveIntegral(M.value, B.value, system.value, A, b, n, detail));
}

ExactReport solveAndJudge(const Matrix& A, const Vector& b, int n,
                          const std::vector<Vector>& methodSolutions, const WrittenValues& written,
                          ExactDetail detail) {
    ExactReport report;
    report.writtenDropped = written.dropped;
    report.summed = written.summedEntries;
    const std::optional<ExactSolution> asWritten =
        solveAsWritten(A, b, n, written, detail, &report.notHeld);
    const ExactSolution ofDoubles = ExactSolution::solve(A, b, n, detail);
    report.asWritten = asWritten ? asWritten->answer() : ofDoubles.answer();
    if (asWritten) {
        report.doubles = ofDoubles.answer();
        if (asWritten->status() == ExactStatus::solved && ofDoubles.status() == ExactStatus::solved)
            report.inputRounding = asWritten->judge(ofDoubles);
    }
    if (ofDoubles.status() == ExactStatus::solved)
        for (const Vector& xhat : methodSolutions)
            report.errors.push_back(ofDoubles.judge(xhat));
    if (n <= kStepsUpTo)
        report.fractionSteps = fractionStepsText(A, b, n, written);
    return report;
}

} // namespace lse::exact
