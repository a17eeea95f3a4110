#include "Rational.h"

#include "NumberForm.h"

#include <flint/fmpz.h>
#include <mpfr.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace lse::exact {

namespace {

// An fmpz_t that clears itself.
struct Integer {
    fmpz_t value;
    Integer() { fmpz_init(value); }
    Integer(const Integer&) = delete;
    Integer& operator=(const Integer&) = delete;
    ~Integer() { fmpz_clear(value); }
};

// value rounded once to a double in the given direction: MPFR with the doubles' precision
// and exponent range (the smallest subnormal is 0.1b * 2^-1073), then subnormalised using
// the first rounding's direction, so that a subnormal result is not rounded twice. The
// process-wide exponent range is put back afterwards.
double roundToDouble(const fmpq_t value, mpfr_rnd_t direction) {
    const mpfr_exp_t emin = mpfr_get_emin();
    const mpfr_exp_t emax = mpfr_get_emax();
    mpfr_set_emin(std::numeric_limits<double>::min_exponent - std::numeric_limits<double>::digits +
                  1);
    mpfr_set_emax(std::numeric_limits<double>::max_exponent);
    mpfr_t rounded;
    mpfr_init2(rounded, std::numeric_limits<double>::digits);
    int ternary = fmpq_get_mpfr(rounded, value, direction);
    ternary = mpfr_subnormalize(rounded, ternary, direction);
    const double result = mpfr_get_d(rounded, direction);
    mpfr_clear(rounded);
    mpfr_set_emin(emin);
    mpfr_set_emax(emax);
    return result;
}

void setPowerOfTen(fmpz_t out, long exponent) {
    fmpz_set_ui(out, 10);
    fmpz_pow_ui(out, out, static_cast<unsigned long>(exponent));
}

// The digits `digits` long of |p|/q rounded, ties to even, and the decimal exponent of the
// first: |p|/q ≈ N * 10^(exponent - digits + 1) with 10^(digits-1) <= N < 10^digits.
std::string roundedDigits(const fmpz_t p, const fmpz_t q, int digits, long& exponent) {
    Integer low, high, scale, num, den, quotient, remainder;
    setPowerOfTen(low.value, digits - 1);
    setPowerOfTen(high.value, digits);
    fmpz_abs(num.value, p);
    // A first guess from the lengths; sizeinbase may count one digit too many.
    exponent = static_cast<long>(fmpz_sizeinbase(num.value, 10)) -
               static_cast<long>(fmpz_sizeinbase(q, 10));
    for (;;) {
        const long shift = digits - 1 - exponent;
        fmpz_abs(num.value, p);
        fmpz_set(den.value, q);
        setPowerOfTen(scale.value, shift >= 0 ? shift : -shift);
        fmpz_mul(shift >= 0 ? num.value : den.value, shift >= 0 ? num.value : den.value,
                 scale.value);
        fmpz_fdiv_qr(quotient.value, remainder.value, num.value, den.value);
        if (fmpz_cmp(quotient.value, low.value) < 0) {
            --exponent;
            continue;
        }
        if (fmpz_cmp(quotient.value, high.value) >= 0) {
            ++exponent;
            continue;
        }
        fmpz_mul_2exp(remainder.value, remainder.value, 1);
        const int half = fmpz_cmp(remainder.value, den.value);
        if (half > 0 || (half == 0 && fmpz_is_odd(quotient.value)))
            fmpz_add_ui(quotient.value, quotient.value, 1);
        if (fmpz_equal(quotient.value, high.value)) {
            // Rounded up to the next power of ten.
            fmpz_set(quotient.value, low.value);
            ++exponent;
        }
        char* text = fmpz_get_str(nullptr, 10, quotient.value);
        std::string result(text);
        flint_free(text);
        return result;
    }
}

} // namespace

Rational::Rational(double exact) {
    fmpq_init(value);
    setExact(value, exact);
}

void setInteger(fmpz_t out, std::int64_t value) {
    // Not fmpz_set_si alone: FLINT's slong has 32 bits in WebAssembly.
    fmpz_set_si(out, static_cast<slong>(value >> 32));
    fmpz_mul_2exp(out, out, 32);
    fmpz_add_ui(out, out, static_cast<ulong>(value & 0xffffffff));
}

void setExact(fmpq_t out, double finite) {
    const BinaryFraction binary = binaryFraction(finite);
    setInteger(fmpq_numref(out), binary.mantissa);
    fmpz_one(fmpq_denref(out));
    if (binary.exponent >= 0)
        fmpz_mul_2exp(fmpq_numref(out), fmpq_numref(out), static_cast<ulong>(binary.exponent));
    else
        fmpz_mul_2exp(fmpq_denref(out), fmpq_denref(out), static_cast<ulong>(-binary.exponent));
}

namespace {

// Digits alone, with their sign.
bool setDigits(fmpz_t out, std::string_view digits, bool negative) {
    if (fmpz_set_str(out, std::string(digits).c_str(), 10) != 0)
        return false;
    if (negative)
        fmpz_neg(out, out);
    return true;
}

} // namespace

bool setWritten(fmpq_t out, std::string_view text) {
    const std::optional<NumberForm> form = numberForm(text);
    if (!form)
        return false;
    if (form->kind == NumberForm::Kind::fraction) {
        Integer p, q;
        if (!setDigits(p.value, form->numerator, form->negative) ||
            !setDigits(q.value, form->denominator, form->denominatorNegative) ||
            fmpz_is_zero(q.value))
            return false;
        fmpq_set_fmpz_frac(out, p.value, q.value);
        return true;
    }
    // The digits after the point cost what their text does: only the written exponent is bounded.
    if (form->exponent > kLargestDecimalExponent || form->exponent < -kLargestDecimalExponent)
        return false;
    const long exponent = form->exponent - static_cast<long>(form->fractionDigits.size());
    Integer mantissa, scale;
    if (!setDigits(mantissa.value, std::string(form->integerDigits).append(form->fractionDigits),
                   form->negative))
        return false;
    setPowerOfTen(scale.value, exponent < 0 ? -exponent : exponent);
    if (exponent >= 0) {
        fmpz_mul(fmpq_numref(out), mantissa.value, scale.value);
        fmpz_one(fmpq_denref(out));
    } else {
        fmpq_set_fmpz_frac(out, mantissa.value, scale.value);
    }
    return true;
}

void setExactSystem(fmpq_mat_t Q, fmpq_mat_t B, const Matrix& A, const Vector& b, int n) {
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            setExact(fmpq_mat_entry(Q, i - 1, j - 1), A(i, j));
        setExact(fmpq_mat_entry(B, i - 1, 0), b(i));
    }
}

std::optional<double> nearestDouble(const fmpq_t value) {
    const double rounded = roundToDouble(value, MPFR_RNDN);
    if (std::isinf(rounded))
        return std::nullopt;
    return rounded;
}

double doubleAbove(const fmpq_t value) {
    return roundToDouble(value, MPFR_RNDU);
}

std::optional<std::string> fractionText(const fmpq_t value, int maxDigits) {
    const fmpz* p = fmpq_numref(value);
    const fmpz* q = fmpq_denref(value);
    Integer magnitude;
    fmpz_abs(magnitude.value, p);
    // sizeinbase may count one too many: the exact count comes from the text.
    if (fmpz_sizeinbase(magnitude.value, 10) + fmpz_sizeinbase(q, 10) >
        static_cast<std::size_t>(maxDigits) + 2)
        return std::nullopt;
    char* numerator = fmpz_get_str(nullptr, 10, magnitude.value);
    char* denominator = fmpz_get_str(nullptr, 10, q);
    std::string digitsP(numerator);
    std::string digitsQ(denominator);
    flint_free(numerator);
    flint_free(denominator);
    const std::size_t shown = digitsP.size() + (fmpz_is_one(q) ? 0 : digitsQ.size());
    if (shown > static_cast<std::size_t>(maxDigits))
        return std::nullopt;
    std::string text = fmpz_sgn(p) < 0 ? "-" + digitsP : digitsP;
    if (!fmpz_is_one(q))
        text += "/" + digitsQ;
    return text;
}

std::string decimalText(const fmpq_t value, int digits) {
    if (fmpq_is_zero(value))
        return "0";
    long exponent = 0;
    const std::string d = roundedDigits(fmpq_numref(value), fmpq_denref(value), digits, exponent);
    std::string text = fmpq_sgn(value) < 0 ? "-" : "";
    if (exponent > -5 && exponent < digits) {
        if (exponent < 0)
            text += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + d;
        else if (exponent + 1 < digits)
            text += d.substr(0, static_cast<std::size_t>(exponent + 1)) + "." +
                    d.substr(static_cast<std::size_t>(exponent + 1));
        else
            text += d;
        return text;
    }
    const std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
    text += d.substr(0, 1) + "." + d.substr(1) + (exponent < 0 ? "E-" : "E+") +
            (magnitude.size() < 2 ? "0" : "") + magnitude;
    return text;
}

std::optional<std::uint64_t> doublesBetween(double a, double b) {
    if (std::isnan(a) || std::isnan(b))
        return std::nullopt;
    // Doubles in order map to integers in order once the sign is taken off and put back.
    const auto place = [](double v) {
        // memcpy, not std::bit_cast: the page's C++ library has none.
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        const std::uint64_t magnitude = bits & ~(std::uint64_t{1} << 63);
        return (bits >> 63) != 0 ? std::uint64_t{0} - magnitude : magnitude;
    };
    const std::uint64_t pa = place(a);
    const std::uint64_t pb = place(b);
    const bool aBelow = static_cast<std::int64_t>(pa) < static_cast<std::int64_t>(pb);
    return aBelow ? pb - pa : pa - pb;
}

} // namespace lse::exact
