#include "RandomSystems.h"

#include <cmath>
#include <random>

namespace lse::reference {

namespace {

constexpr int kMaxSmallOrder = 8;
constexpr int kMaxOrder = 40;

// std::mt19937_64 is fully specified by the standard; the library's distributions are not,
// so the draws below are built from its raw output.
class Draw {
public:
    explicit Draw(std::uint64_t seed) : engine_(seed) {}

    std::uint64_t below(std::uint64_t bound) { return engine_() % bound; }
    // Uniform in [-1, 1), a multiple of 2^-52.
    double unit() { return static_cast<double>(engine_() >> 11) * 0x1p-52 - 1.0; }
    double integer(int magnitude) {
        return static_cast<double>(static_cast<int>(below(2 * magnitude + 1)) - magnitude);
    }

private:
    std::mt19937_64 engine_;
};

using Rows = std::vector<std::vector<double>>;

Rows square(int n) {
    return Rows(static_cast<std::size_t>(n), std::vector<double>(static_cast<std::size_t>(n)));
}

Rows randomRows(Draw& draw, int n) {
    Rows a = square(n);
    for (auto& row : a)
        for (double& value : row)
            value = draw.unit();
    return a;
}

// M^T M plus a shift on the diagonal; symmetric to the bit because each entry and its
// mirror are the same sum of the same products.
Rows positiveDefinite(Draw& draw, int n) {
    const Rows m = draw.below(2) == 0 ? randomRows(draw, n) : [&] {
        Rows r = square(n);
        for (auto& row : r)
            for (double& value : row)
                value = draw.integer(3);
        return r;
    }();
    Rows a = square(n);
    const double shift = draw.below(4) == 0 ? 0.0 : 1.0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j) {
            double sum = i == j ? shift : 0.0;
            for (int k = 0; k < n; ++k)
                sum = sum + m[k][i] * m[k][j];
            a[i][j] = a[j][i] = sum;
        }
    return a;
}

Rows symmetric(Draw& draw, int n) {
    Rows a = randomRows(draw, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < i; ++j)
            a[i][j] = a[j][i];
    return a;
}

Rows coefficients(SystemKind kind, Draw& draw, int n) {
    switch (kind) {
    case SystemKind::General:
        return randomRows(draw, n);
    case SystemKind::SmallIntegers: {
        Rows a = square(n);
        for (auto& row : a)
            for (double& value : row)
                value = draw.integer(2);
        return a;
    }
    case SystemKind::ZeroColumn: {
        Rows a = randomRows(draw, n);
        const auto column = draw.below(static_cast<std::uint64_t>(n));
        for (auto& row : a)
            row[column] = 0;
        return a;
    }
    case SystemKind::DuplicateRow: {
        Rows a = randomRows(draw, n);
        a[draw.below(static_cast<std::uint64_t>(n))] = a[draw.below(static_cast<std::uint64_t>(n))];
        return a;
    }
    case SystemKind::PositiveDefinite:
        return positiveDefinite(draw, n);
    case SystemKind::SymmetricIndefinite:
        return symmetric(draw, n);
    case SystemKind::NearlySymmetric: {
        Rows a = positiveDefinite(draw, n);
        if (n > 1) {
            const auto i = 1 + draw.below(static_cast<std::uint64_t>(n - 1));
            const auto j = draw.below(i);
            a[i][j] = std::nextafter(a[i][j], 2 * a[i][j] + 1);
        }
        return a;
    }
    case SystemKind::ExtremeScale: {
        std::vector<int> exponents;
        for (int i = 0; i < n; ++i)
            exponents.push_back(static_cast<int>(draw.below(1001)) - 500);
        if (draw.below(2) == 0) {
            // D A D with D a diagonal of powers of two stays symmetric positive definite.
            Rows a = positiveDefinite(draw, n);
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j)
                    a[i][j] = std::ldexp(a[i][j], exponents[i] + exponents[j]);
            return a;
        }
        Rows a = randomRows(draw, n);
        for (int i = 0; i < n; ++i)
            for (double& value : a[i])
                value = std::ldexp(value, 2 * exponents[i] + static_cast<int>(draw.below(41)) - 20);
        return a;
    }
    }
    return {};
}

System drawSystem(std::uint64_t seed, Draw& draw, int n) {
    const auto kind = static_cast<SystemKind>(seed % 8);
    System system{kind, coefficients(kind, draw, n),
                  std::vector<double>(static_cast<std::size_t>(n))};
    for (double& value : system.b)
        value = draw.below(3) == 0 ? draw.integer(9) : draw.unit();
    if (kind == SystemKind::ExtremeScale)
        for (double& value : system.b)
            value = std::ldexp(value, static_cast<int>(draw.below(2041)) - 1020);
    return system;
}

} // namespace

std::string kindName(SystemKind kind) {
    switch (kind) {
    case SystemKind::General:
        return "general";
    case SystemKind::SmallIntegers:
        return "small integers";
    case SystemKind::ZeroColumn:
        return "zero column";
    case SystemKind::DuplicateRow:
        return "duplicate row";
    case SystemKind::PositiveDefinite:
        return "positive definite";
    case SystemKind::SymmetricIndefinite:
        return "symmetric indefinite";
    case SystemKind::NearlySymmetric:
        return "nearly symmetric";
    case SystemKind::ExtremeScale:
        return "extreme scale";
    }
    return "?";
}

System randomSystem(std::uint64_t seed) {
    Draw draw(seed);
    // Most systems are small, so that the checks stay quick under the sanitizers.
    const int n = draw.below(4) == 0 ? 1 + static_cast<int>(draw.below(kMaxOrder))
                                     : 1 + static_cast<int>(draw.below(kMaxSmallOrder));
    return drawSystem(seed, draw, n);
}

System randomSystem(std::uint64_t seed, int n) {
    Draw draw(seed);
    return drawSystem(seed, draw, n);
}

} // namespace lse::reference
