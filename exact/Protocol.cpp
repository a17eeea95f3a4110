#include "Protocol.h"

#include "Limits.h"
#include "NumberText.h"

#include <charconv>
#include <istream>
#include <ostream>
#include <string>

namespace lse::exact {

namespace {

constexpr const char* kHeader = "lineq-exact 3";
constexpr const char* kOutOfRange = "out-of-range";
constexpr const char* kNone = "-";
// Far more than the steps of 8 equations take, so that a damaged count allocates nothing
// absurd.
constexpr std::uint64_t kLongestSteps = std::uint64_t{1} << 26;

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
    expect(in, "3");
}

constexpr struct {
    ExactStatus status;
    const char* word;
} kStatusWords[] = {
    {ExactStatus::solved, "solved"},
    {ExactStatus::noSolution, "no-solution"},
    {ExactStatus::infinitelyMany, "infinitely-many"},
};

const char* statusWord(ExactStatus status) {
    for (const auto& s : kStatusWords)
        if (s.status == status)
            return s.word;
    return "solved";
}

ExactStatus statusNamed(const std::string& word) {
    for (const auto& s : kStatusWords)
        if (word == s.word)
            return s.status;
    throw ProtocolError("unknown status \"" + word + "\"");
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

// "summed COUNT ROW COLUMN", after its key: WrittenValues::summedEntries.
void writeSummed(std::ostream& out, const SummedEntries& summed) {
    out << "summed " << summed.count << ' ' << summed.row << ' ' << summed.column << '\n';
}

SummedEntries readSummed(std::istream& in, std::uint64_t order) {
    SummedEntries summed;
    summed.count = count(word(in));
    const std::uint64_t row = count(word(in));
    const std::uint64_t column = count(word(in));
    if (summed.count == 0 || row < 1 || column < 1 ||
        (order > 0 && (row > order || column > order)))
        throw ProtocolError("a malformed summed line");
    summed.row = static_cast<int>(row);
    summed.column = static_cast<int>(column);
    return summed;
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
                  const WrittenValues& written, const std::vector<Vector>& methodSolutions,
                  ExactDetail detail) {
    out << kHeader << '\n' << n << '\n';
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            out << (j > 1 ? " " : "") << text(A(i, j));
        out << '\n';
    }
    writeVector(out, b, n);
    out << "written " << written.size() << (written.bIsRowSums ? " rowsums" : " given")
        << (written.dropped ? " dropped" : " kept") << '\n';
    for (std::size_t k = 0; k < written.size(); ++k) {
        const WrittenValues::Entry entry = written[k];
        out << entry.row << ' ' << entry.column << ' ' << entry.text << '\n';
    }
    if (written.summedEntries.any())
        writeSummed(out, written.summedEntries);
    out << "detail " << (detail == ExactDetail::whole ? "whole" : "shown") << '\n';
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
    expect(in, "written");
    const std::uint64_t kept = count(word(in));
    const std::string sums = word(in);
    if (sums != "rowsums" && sums != "given")
        throw ProtocolError("expected \"rowsums\" or \"given\", found \"" + sums + "\"");
    const std::string dropped = word(in);
    if (dropped != "dropped" && dropped != "kept")
        throw ProtocolError("expected \"dropped\" or \"kept\", found \"" + dropped + "\"");
    request.written.bIsRowSums = sums == "rowsums";
    request.written.dropped = dropped == "dropped";
    for (std::uint64_t k = 0; k < kept; ++k) {
        const std::uint64_t row = count(word(in));
        const std::uint64_t column = count(word(in));
        if (row < 1 || row > n || column < 1 || column > n + 1)
            throw ProtocolError("a written value lies outside the system");
        const std::string value = word(in);
        if (!isNumeric(value))
            throw ProtocolError("not a number: \"" + value + "\"");
        request.written.note(static_cast<int>(row), static_cast<int>(column), value);
    }
    std::string key = word(in);
    if (key == "summed") {
        request.written.summedEntries = readSummed(in, n);
        key = word(in);
    }
    if (key != "detail")
        throw ProtocolError("expected \"detail\", found \"" + key + "\"");
    const std::string detail = word(in);
    if (detail != "whole" && detail != "shown")
        throw ProtocolError("expected \"whole\" or \"shown\", found \"" + detail + "\"");
    request.detail = detail == "whole" ? ExactDetail::whole : ExactDetail::shown;
    const std::uint64_t solutions = count(word(in));
    for (std::uint64_t k = 0; k < solutions; ++k)
        request.methodSolutions.push_back(readVector(in, request.n));
    return request;
}

namespace {

void writeComponent(std::ostream& out, const char* tag, const ExactComponent& x) {
    out << tag << ' ' << (x.isFraction ? "fraction " : "approx ") << x.text << ' '
        << (x.nearest ? text(*x.nearest) : kOutOfRange) << ' '
        << (x.whole.empty() ? kNone : x.whole.c_str()) << '\n';
}

ExactComponent readComponent(std::istream& in) {
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
    x.whole = word(in);
    if (x.whole == kNone)
        x.whole.clear();
    return x;
}

void writeAnswer(std::ostream& out, const char* which, const ExactAnswer& answer) {
    out << "answer " << which << ' ' << statusWord(answer.status) << ' ' << answer.rank << ' '
        << answer.augmentedRank << '\n';
    for (const ExactComponent& x : answer.components)
        writeComponent(out, "x", x);
    for (const ExactVector& v : answer.nullSpace)
        for (const ExactComponent& x : v)
            writeComponent(out, "v", x);
    for (const ExactComponent& x : answer.certificate)
        writeComponent(out, "y", x);
    if (answer.status == ExactStatus::noSolution)
        writeComponent(out, "c", answer.certificateValue);
}

void writeError(std::ostream& out, const char* tag, const MethodError& error) {
    const auto optional = [](const std::optional<std::uint64_t>& value) {
        return value ? std::to_string(*value) : std::string(kNone);
    };
    out << tag << ' ' << error.correctDigits << ' '
        << (error.measuredError ? text(*error.measuredError) : kNone) << ' '
        << (error.inLargestEntryUnits ? "largest" : "own") << ' ' << optional(error.largestUlps);
    for (const std::optional<std::uint64_t>& ulps : error.ulps)
        out << ' ' << optional(ulps);
    out << '\n';
}

MethodError readError(std::istream& in, std::size_t n) {
    MethodError error;
    error.correctDigits = static_cast<int>(count(word(in)));
    if (const std::string measured = word(in); measured != kNone) {
        error.measuredError = textToDouble(measured);
        if (!error.measuredError)
            throw ProtocolError("not a number: \"" + measured + "\"");
    }
    const std::string unit = word(in);
    if (unit != "own" && unit != "largest")
        throw ProtocolError("expected \"own\" or \"largest\", found \"" + unit + "\"");
    error.inLargestEntryUnits = unit == "largest";
    error.largestUlps = optionalCount(in);
    for (std::size_t i = 0; i < n; ++i)
        error.ulps.push_back(optionalCount(in));
    return error;
}

} // namespace

void writeReport(std::ostream& out, const ExactReport& report) {
    out << kHeader << '\n';
    writeAnswer(out, "written", report.asWritten);
    if (report.doubles)
        writeAnswer(out, "doubles", *report.doubles);
    if (report.inputRounding)
        writeError(out, "rounding", *report.inputRounding);
    for (const MethodError& error : report.errors)
        writeError(out, "error", error);
    if (report.writtenDropped)
        out << "dropped\n";
    if (report.summed.any())
        writeSummed(out, report.summed);
    if (report.notHeld.any()) {
        out << "not-held " << report.notHeld.count << ' ' << report.notHeld.order << ' '
            << report.notHeld.listed.size() << '\n';
        for (const NotHeldValue& value : report.notHeld.listed)
            out << value.row << ' ' << value.column << ' ' << value.text << '\n';
    }
    if (!report.fractionSteps.empty())
        out << "steps " << report.fractionSteps.size() << '\n' << report.fractionSteps;
    out << "end\n";
}

ExactReport readReport(std::istream& in) {
    expectHeader(in);
    ExactReport report;
    ExactAnswer* answer = nullptr;
    ExactVector nullVectors; // every v in order, cut into vectors of n at the end
    const auto finishAnswer = [&] {
        if (answer == nullptr)
            return;
        const std::size_t n = std::max(answer->components.size(), answer->certificate.size());
        if (n == 0 ? !nullVectors.empty() : nullVectors.size() % n != 0)
            throw ProtocolError("a null-space vector is cut short");
        for (std::size_t k = 0; k < nullVectors.size(); k += n)
            answer->nullSpace.emplace_back(nullVectors.begin() + static_cast<std::ptrdiff_t>(k),
                                           nullVectors.begin() +
                                               static_cast<std::ptrdiff_t>(k + n));
        nullVectors.clear();
    };
    const auto current = [&]() -> ExactAnswer& {
        if (answer == nullptr)
            throw ProtocolError("a component before its answer");
        return *answer;
    };
    std::size_t order = 0;
    for (std::string key = word(in); key != "end"; key = word(in)) {
        if (key == "answer") {
            finishAnswer();
            const std::string which = word(in);
            if (which == "written" && answer == nullptr)
                answer = &report.asWritten;
            else if (which == "doubles" && answer == &report.asWritten)
                answer = &report.doubles.emplace();
            else
                throw ProtocolError("unexpected answer \"" + which + "\"");
            answer->status = statusNamed(word(in));
            answer->rank = static_cast<int>(count(word(in)));
            answer->augmentedRank = static_cast<int>(count(word(in)));
        } else if (key == "x") {
            current().components.push_back(readComponent(in));
        } else if (key == "v") {
            current();
            nullVectors.push_back(readComponent(in));
        } else if (key == "y") {
            current().certificate.push_back(readComponent(in));
        } else if (key == "c") {
            current().certificateValue = readComponent(in);
        } else if (key == "rounding" || key == "error") {
            finishAnswer();
            order = report.ofDoubles().components.size();
            (key == "rounding" ? report.inputRounding.emplace() : report.errors.emplace_back()) =
                readError(in, order);
        } else if (key == "dropped") {
            report.writtenDropped = true;
        } else if (key == "summed") {
            report.summed = readSummed(in, 0);
        } else if (key == "not-held") {
            WrittenNotHeld& notHeld = report.notHeld;
            notHeld.count = count(word(in));
            notHeld.order = static_cast<int>(count(word(in)));
            const std::uint64_t listed = count(word(in));
            if (notHeld.count == 0 || listed > WrittenNotHeld::kListed || listed > notHeld.count)
                throw ProtocolError("a malformed not-held line");
            for (std::uint64_t k = 0; k < listed; ++k) {
                NotHeldValue& value = notHeld.listed.emplace_back();
                value.row = static_cast<int>(count(word(in)));
                value.column = static_cast<int>(count(word(in)));
                value.text = word(in);
            }
        } else if (key == "steps") {
            // A count of bytes, its line's end, then the text as it is.
            const std::uint64_t size = count(word(in));
            if (in.get() != '\n' || size > kLongestSteps)
                throw ProtocolError("a malformed steps line");
            report.fractionSteps.resize(size);
            if (!in.read(report.fractionSteps.data(), static_cast<std::streamsize>(size)))
                throw ProtocolError("the steps end early");
        } else {
            throw ProtocolError("unknown line \"" + key + "\"");
        }
    }
    finishAnswer();
    if (answer == nullptr)
        throw ProtocolError("the report holds no answer");
    return report;
}

} // namespace lse::exact
