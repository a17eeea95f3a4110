#include "StepsText.h"

#include "NumberText.h"
#include "StepObserver.h"
#include "TextGrid.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace lse {

namespace {

std::string number(double value) {
    return doubleToText(value, Digits::roundTrip);
}

// A value after a minus sign: a negative one in parentheses.
std::string subtrahend(double value) {
    return value < 0 ? "(" + number(value) + ")" : number(value);
}

std::string at(int i, int j) {
    return "(" + intToText(i) + "," + intToText(j) + ")";
}

// The text of each step as the method takes it.
class StepsWriter final : public StepObserver {
public:
    StepsWriter(const Matrix& A, const Vector& b, int n) : n_(n) {
        text +=
            "[A | b]\n" + augmented([&](int i, int k) { return number(k <= n ? A(i, k) : b(i)); });
    }

    void pivotChosen(int j, int p, const Matrix& W) override {
        text += "\nStep " + intToText(j) + ". Pivot " + number(W(j, j));
        if (j == n_) {
            text += ", the last.\n";
            return;
        }
        text += ", the largest magnitude in column " + intToText(j) + " from row " + intToText(j) +
                " down: ";
        text += p == j ? "no rows exchanged.\n"
                       : "rows " + intToText(j) + " and " + intToText(p) + " exchanged.\n";
    }

    void eliminated(int j, const Matrix& W) override {
        for (int i = j + 1; i <= n_; ++i) {
            // The division the step made, so the same bits.
            text += "   m" + at(i, j) + " = " + number(W(i, j)) + " / " + number(W(j, j)) + " = " +
                    number(W(i, j) / W(j, j)) + "\n";
        }
        text += "   Row i less m(i," + intToText(j) + ") times row " + intToText(j) +
                ", for each row i below it:\n" + augmented([&](int i, int k) {
                    return k < i && k <= j ? std::string("0") : number(W(i, k));
                });
    }

    void backSubstituted(int h, double rhs, double sum, double x) override {
        if (h == n_)
            text += "\nBack substitution: x(i) = (c(i) - s(i)) / U(i,i), c the last column, "
                    "s(i) the sum of x(k) U(i,k) for k > i\n";
        text += "   x(" + intToText(h) + ") = (" + number(rhs) + " - " + subtrahend(sum) + ") / U" +
                at(h, h) + " = " + number(x) + "\n";
    }

    void choleskyPivot(int i, double sum) override {
        if (i == 1)
            text += "\nL(i,i) = sqrt(A(i,i) - the sum of L(i,k)^2), L(j,i) = (A(j,i) - the sum "
                    "of L(i,k) L(j,k)) / L(i,i), k < i\n";
        text += "\nColumn " + intToText(i) + ". Pivot " + number(sum) + "\n";
        lastPivot = sum;
    }

    void choleskyEntry(int j, int i, double sum, double value) override {
        text += "   L" + at(j, i) + " = " +
                (i == j ? "sqrt(" + number(sum) + ")" : number(sum) + " / L" + at(i, i)) + " = " +
                number(value) + "\n";
    }

    void choleskySubstituted(bool forward, int i, double sum, double value) override {
        if (forward && i == 1)
            text += "\nL y = b forward: y(i) = (b(i) - the sum of L(i,k) y(k), k < i) / L(i,i)\n";
        if (!forward && i == n_)
            text += "L^T x = y backward: x(i) = (y(i) - the sum of L(k,i) x(k), k > i) / "
                    "L(i,i)\n";
        text += "   " + std::string(forward ? "y" : "x") + "(" + intToText(i) +
                ") = " + number(sum) + " / L" + at(i, i) + " = " + number(value) + "\n";
    }

    // What the method made, once it has solved: P A = L U for Gauss, A = L L^T for Cholesky.
    void factors(const FactorMatrices& f) {
        if (f.rowOrder.empty()) {
            text += "\nThe factor: A = L L^T\nL\n" + triangle(true, f.L);
            return;
        }
        text += "\nThe factors: P A = L U, P taking the rows of A in the order";
        for (int i = 1; i <= n_; ++i)
            text += " " + intToText(f.rowOrder[static_cast<std::size_t>(i)]);
        text += "\nL\n" + triangle(true, f.L) + "U\n" + triangle(false, *f.U);
    }

    std::string text;
    double lastPivot = 0;

private:
    // An n x (n + 1) matrix, its last column apart.
    template <typename Cell> std::string augmented(Cell cell) const {
        std::vector<std::vector<std::string>> rows;
        for (int i = 1; i <= n_; ++i) {
            rows.emplace_back();
            for (int k = 1; k <= n_ + 1; ++k)
                rows.back().push_back(cell(i, k));
        }
        return grid(rows, true);
    }
    std::string triangle(bool lower, const Matrix& entry) const {
        std::vector<std::vector<std::string>> rows;
        for (int i = 1; i <= n_; ++i) {
            rows.emplace_back();
            for (int k = 1; k <= n_; ++k)
                rows.back().push_back((lower ? k > i : k < i) ? "0" : number(entry(i, k)));
        }
        return grid(rows, false);
    }

    int n_;
};

} // namespace

namespace {

using Block = std::vector<std::string_view>;

std::vector<Block> blocks(std::string_view text) {
    std::vector<Block> result(1);
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty())
            result.back().push_back(line);
        else if (!result.back().empty())
            result.emplace_back();
    }
    if (result.back().empty())
        result.pop_back();
    return result;
}

// How a block begins: its first line up to a full stop, a colon or an equals sign.
std::string_view key(const Block& block) {
    const std::string_view first = block.front();
    return first.substr(0, first.find_first_of(".:="));
}

} // namespace

std::pair<std::string, std::string> besideEachOther(std::string_view left, std::string_view right) {
    const std::vector<Block> l = blocks(left);
    const std::vector<Block> r = blocks(right);
    std::pair<std::string, std::string> columns;
    const auto put = [&](const Block* a, const Block* b) {
        const std::size_t height = std::max(a ? a->size() : 0, b ? b->size() : 0);
        for (auto [block, text] : {std::pair{a, &columns.first}, std::pair{b, &columns.second}}) {
            if (!text->empty())
                *text += '\n';
            for (std::size_t k = 0; k < height; ++k)
                text->append(block && k < block->size() ? (*block)[k] : "").append("\n");
        }
    };
    const auto later = [](const std::vector<Block>& in, std::size_t from, std::string_view k) {
        return std::any_of(in.begin() + static_cast<std::ptrdiff_t>(from), in.end(),
                           [&](const Block& b) { return key(b) == k; });
    };
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < l.size() || j < r.size()) {
        if (i < l.size() && j < r.size() && ((i == 0 && j == 0) || key(l[i]) == key(r[j])))
            put(&l[i++], &r[j++]);
        else if (i < l.size() && (j == r.size() || later(r, j, key(l[i])) == false))
            put(&l[i++], nullptr);
        else
            put(nullptr, &r[j++]);
    }
    return columns;
}

std::string stepsTitle(const MethodEntry& method) {
    return "Steps of " + std::string(method.title);
}

std::string stepsFractionsTitle(const MethodEntry& method) {
    return stepsTitle(method) + " in exact fractions";
}

bool hasFractionSteps(const MethodEntry& method, int n) {
    return method.gaussFractionSteps && n > 0 && n <= kStepsUpTo;
}

std::string stepsText(const MethodEntry& method, const Matrix& A, const Vector& b, int n) {
    std::string text = stepsTitle(method) + ", in the doubles it computes with\n\n";
    if (n > kStepsUpTo)
        return text + "Steps are shown for up to " + intToText(kStepsUpTo) +
               " equations; this system has " + intToText(n) + ".\n";
    if (n == 0)
        return text + "There are no equations.\n";

    Matrix W;
    W.recreate(n, n, 1);
    for (int i = 1; i <= n; ++i)
        for (int k = 1; k <= n; ++k)
            W(i, k) = A(i, k);
    Vector x;
    x.recreate(n);
    MethodState state;
    StepsWriter writer(A, b, n);
    SolveOptions options;
    options.steps = &writer;
    const CalculateOutcome outcome =
        method.solve(W, b, x, static_cast<std::int16_t>(n), state, options);
    if (!outcome.solved())
        return text + writer.text + "\n" +
               (method.stepsFailure ? method.stepsFailure(outcome, writer.lastPivot)
                                    : std::string("The method failed.")) +
               "\n";
    writer.factors(outcome.factors->matrices());
    text += writer.text + "\nx =";
    for (int i = 1; i <= n; ++i)
        text += " " + number(x(i));
    return text + "\n";
}

} // namespace lse
