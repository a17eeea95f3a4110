// Solves the conditioned test systems with each method that applies and prints, one JSON
// object a line, each system's bits, the solution and its accuracy figures, for
// check_accuracy.py to hold against the exact truth.
#include "Accuracy.h"
#include "Calculate.h"
#include "ConditionedSystems.h"

#include <cstdio>
#include <optional>
#include <string>

namespace {

using namespace lse;

std::string hex(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "\"%a\"", value);
    return text;
}

std::string hexOr(std::optional<double> value) {
    return value ? hex(*value) : "null";
}

std::string entries(const Vector& v, int n) {
    std::string out = "[";
    for (int i = 1; i <= n; ++i)
        out += (i > 1 ? "," : "") + hex(v(i));
    return out + "]";
}

void report(const test::ConditionedSystem& s, const test::MethodUnderTest& method) {
    const int n = s.a.rowsUpper();
    const auto order = static_cast<std::int16_t>(n);
    Matrix W;
    const std::optional<double> norm1 = copyWithNorm1(s.a, W, order);
    Vector x;
    x.recreate(n);
    MethodState state;
    const CalculateOutcome outcome = method.solve(W, s.b, x, order, state, {});
    const std::optional<AccuracyFigures> figures =
        lse::test::figuresOf({s.a, norm1}, outcome, s.b, x);

    std::string rows = "[";
    for (int i = 1; i <= n; ++i) {
        rows += i > 1 ? ",[" : "[";
        for (int j = 1; j <= n; ++j)
            rows += (j > 1 ? "," : "") + hex(s.a(i, j));
        rows += "]";
    }
    rows += "]";
    std::printf("{\"name\":\"%s\",\"method\":\"%s\",\"singular\":%s,\"solved\":%s,\"a\":%s,"
                "\"b\":%s,\"x\":%s",
                s.name.c_str(), method.name, s.singular ? "true" : "false",
                outcome.solved() ? "true" : "false", rows.c_str(), entries(s.b, n).c_str(),
                entries(x, n).c_str());
    if (figures)
        std::printf(",\"rcond\":%s,\"berr\":%s,\"ferr\":%s,\"warning\":%s,\"digits\":%d",
                    hexOr(figures->rcond).c_str(), hexOr(figures->berr).c_str(),
                    hexOr(figures->ferr).c_str(), figures->warning() ? "true" : "false",
                    figures->correctDigits().value_or(-1));
    std::printf("}\n");
}

} // namespace

int main() {
    for (const test::ConditionedSystem& s : test::conditionedSystems()) {
        report(s, test::kGauss);
        if (s.symmetric)
            report(s, test::kCholesky);
    }
    return 0;
}
