#include "Protocol.h"

#include "Limits.h"
#include "NumberText.h"

#include <charconv>
#include <istream>
#include <ostream>
#include <string>

namespace lse::exact {

namespace {

constexpr const char* kHeader = "lineq-exact 1";
constexpr const char* kOutOfRange = "out-of-range";
constexpr const char* kNone = "-";

std::string word(std::istream& in) {
    std::string text;
    if (!(in >> text))
        throw ProtocolError("the message ends early");
    return text;
}

void expect(std::istream& in, const std::string& expected) {
    const std::string text = word(in);
    if (text != expected)
        throw ProtocolError("expected \"" + expected + "\", found \"" + text + "\"");
}

void expectHeader(std::istream& in) {
    expect(in, "lineq-exact");
    expect(in, "1");
}

double number(std::istream& in) {
    const std::string text = word(in);
    const std::optional<double> value = textToDouble(text);
    if (!value)
        throw ProtocolError("not a number: \"" + text + "\"");
    return *value;
}

std::uint64_t count(const std::string& text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        throw ProtocolError("not a count: \"" + text + "\"");
    return value;
}

std::optional<std::uint64_t> optionalCount(std::istream& in) {
    const std::string text = word(in);
    if (text == kNone)
        return std::nullopt;
    return count(text);
}

std::string text(double value) {
    return doubleToText(value, Digits::roundTrip);
}

void writeVector(std::ostream& out, const Vector& v, int n) {
    for (int i = 1; i <= n; ++i)
        out << (i > 1 ? " " : "") << text(v(i));
    out << '\n';
}

Vector readVector(std::istream& in, int n) {
    Vector v;
    v.recreate(n);
    for (int i = 1; i <= n; ++i)
        v(i) = number(in);
    return v;
}

} // namespace

void writeRequest(std::ostream& out, const Matrix& A, const Vector& b, int n,
                  const std::vector<Vector>& methodSolutions) {
    out << kHeader << '\n' << n << '\n';
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            out << (j > 1 ? " " : "") << text(A(i, j));
        out << '\n';
    }
    writeVector(out, b, n);
    out << methodSolutions.size() << '\n';
    for (const Vector& x : methodSolutions)
        writeVector(out, x, n);
}

ExactRequest readRequest(std::istream& in) {
    expectHeader(in);
    ExactRequest request;
    const std::uint64_t n = count(word(in));
    if (n < 1 || n > static_cast<std::uint64_t>(kMaxOrder))
        throw ProtocolError("the order is not within 1.." + std::to_string(kMaxOrder));
    request.n = static_cast<int>(n);
    request.A.recreate(request.n, request.n);
    for (int i = 1; i <= request.n; ++i)
        for (int j = 1; j <= request.n; ++j)
            request.A(i, j) = number(in);
    request.b = readVector(in, request.n);
    const std::uint64_t solutions = count(word(in));
    for (std::uint64_t k = 0; k < solutions; ++k)
        request.methodSolutions.push_back(readVector(in, request.n));
    return request;
}

void writeReport(std::ostream& out, const ExactReport& report) {
    out << kHeader << '\n';
    out << "status " << (report.status == ExactStatus::solved ? "solved" : "no-unique-solution")
        << '\n';
    for (const ExactComponent& x : report.components)
        out << "x " << (x.isFraction ? "fraction " : "approx ") << x.text << ' '
            << (x.nearest ? text(*x.nearest) : kOutOfRange) << '\n';
    const auto optional = [](const std::optional<std::uint64_t>& value) {
        return value ? std::to_string(*value) : std::string(kNone);
    };
    for (const MethodError& error : report.errors) {
        out << "error " << error.correctDigits << ' ' << optional(error.largestUlps);
        for (const std::optional<std::uint64_t>& ulps : error.ulps)
            out << ' ' << optional(ulps);
        out << '\n';
    }
    out << "end\n";
}

ExactReport readReport(std::istream& in) {
    expectHeader(in);
    ExactReport report;
    expect(in, "status");
    const std::string status = word(in);
    if (status == "solved")
        report.status = ExactStatus::solved;
    else if (status != "no-unique-solution")
        throw ProtocolError("unknown status \"" + status + "\"");
    for (std::string key = word(in); key != "end"; key = word(in)) {
        if (key == "x") {
            ExactComponent x;
            const std::string kind = word(in);
            if (kind != "fraction" && kind != "approx")
                throw ProtocolError("unknown kind of component \"" + kind + "\"");
            x.isFraction = kind == "fraction";
            x.text = word(in);
            const std::string nearest = word(in);
            if (nearest != kOutOfRange) {
                x.nearest = textToDouble(nearest);
                if (!x.nearest)
                    throw ProtocolError("not a number: \"" + nearest + "\"");
            }
            report.components.push_back(std::move(x));
        } else if (key == "error") {
            MethodError error;
            error.correctDigits = static_cast<int>(count(word(in)));
            error.largestUlps = optionalCount(in);
            for (std::size_t i = 0; i < report.components.size(); ++i)
                error.ulps.push_back(optionalCount(in));
            report.errors.push_back(std::move(error));
        } else {
            throw ProtocolError("unknown line \"" + key + "\"");
        }
    }
    return report;
}

} // namespace lse::exact
