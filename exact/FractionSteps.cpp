#include "FractionSteps.h"

#include "ExactSolution.h"
#include "NotHeld.h"
#include "Rational.h"
#include "TextGrid.h"

#include <flint/fmpq_mat.h>

#include <memory>

namespace lse::exact {

namespace {

std::string fraction(const fmpq_t value) {
    const std::unique_ptr<char, void (*)(void*)> text(fmpq_get_str(nullptr, 10, value), flint_free);
    return text.get();
}

std::string at(int i, int j) {
    return "(" + std::to_string(i) + "," + std::to_string(j) + ")";
}

// [A | b] in M, rows and columns from 0.
std::string augmented(const fmpq_mat_t M, int n) {
    std::vector<std::vector<std::string>> rows(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        for (int k = 0; k <= n; ++k)
            rows[static_cast<std::size_t>(i)].push_back(fraction(fmpq_mat_entry(M, i, k)));
    return grid(rows, true);
}

} // namespace

std::string fractionStepsText(const Matrix& A, const Vector& b, int n,
                              const WrittenValues& written) {
    if (written.summedEntries.any())
        return "The same steps in exact fractions are not shown: " +
               summedReason(written.summedEntries) + ".\n";
    fmpq_mat_t M;
    fmpq_mat_init(M, n, n + 1);
    const std::unique_ptr<fmpq_mat_struct, void (*)(fmpq_mat_struct*)> clear(M, fmpq_mat_clear);
    if (const WrittenNotHeld notHeld = setWrittenSystem(M, A, b, n, written); notHeld.any())
        return "The same steps in exact fractions are not shown: " + notHeldReason(notHeld) + ".\n";
    std::string text = "The same steps in exact fractions, each number as written\n\n";
    text += "[A | b]\n" + augmented(M, n);

    Rational largest, magnitude, m, product;
    const auto e = [&M](int i, int k) { return fmpq_mat_entry(M, i - 1, k - 1); };
    for (int j = 1; j <= n; ++j) {
        int p = j;
        fmpq_abs(largest.value, e(j, j));
        for (int k = j + 1; k <= n; ++k) {
            fmpq_abs(magnitude.value, e(k, j));
            if (fmpq_cmp(magnitude.value, largest.value) > 0) {
                fmpq_set(largest.value, magnitude.value);
                p = k;
            }
        }
        for (int c = 1; c <= n + 1; ++c)
            fmpq_swap(e(j, c), e(p, c));
        text += "\nStep " + std::to_string(j) + ". Pivot " + fraction(e(j, j));
        if (fmpq_is_zero(e(j, j)))
            return text + "\n\nAt column " + std::to_string(j) + " every entry from row " +
                   std::to_string(j) + " down is 0, so A as written is singular.\n";
        if (j == n) {
            text += ", the last.\n";
            break;
        }
        text += p == j
                    ? ": no rows exchanged.\n"
                    : ": rows " + std::to_string(j) + " and " + std::to_string(p) + " exchanged.\n";
        for (int i = j + 1; i <= n; ++i) {
            fmpq_div(m.value, e(i, j), e(j, j));
            text += "   m" + at(i, j) + " = " + fraction(m.value) + "\n";
            for (int c = j; c <= n + 1; ++c) {
                fmpq_mul(product.value, m.value, e(j, c));
                fmpq_sub(e(i, c), e(i, c), product.value);
            }
        }
        text += "   Row i less m(i," + std::to_string(j) + ") times row " + std::to_string(j) +
                ":\n" + augmented(M, n);
    }

    text += "\nBack substitution\n";
    fmpq_mat_t x;
    fmpq_mat_init(x, n, 1);
    const std::unique_ptr<fmpq_mat_struct, void (*)(fmpq_mat_struct*)> clearX(x, fmpq_mat_clear);
    for (int h = n; h >= 1; --h) {
        fmpq* const xh = fmpq_mat_entry(x, h - 1, 0);
        fmpq_set(xh, e(h, n + 1));
        for (int l = h + 1; l <= n; ++l) {
            fmpq_mul(product.value, e(h, l), fmpq_mat_entry(x, l - 1, 0));
            fmpq_sub(xh, xh, product.value);
        }
        fmpq_div(xh, xh, e(h, h));
        text += "   x(" + std::to_string(h) + ") = " + fraction(xh) + "\n";
    }
    text += "\nx =";
    for (int i = 0; i < n; ++i)
        text += " " + fraction(fmpq_mat_entry(x, i, 0));
    return text + "\n";
}

} // namespace lse::exact
