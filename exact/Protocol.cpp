#include "Protocol.h"

#include "Limits.h"
#include "NumberText.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <istream>
#include <limits>
#include <ostream>
#include <string>

namespace lse::exact {

namespace {

constexpr const char* kHeader = "lineq-exact 4";

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
    expect(in, "4");
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

// The report is JSON: an object of the report's parts, the numbers as round-trip texts (the
// bits of the doubles, not the JSON writer's digits).
using nlohmann::json;

json numberOrNull(const std::optional<double>& value) {
    return value ? json(text(*value)) : json(nullptr);
}

std::optional<double> numberOrNullAt(const json& value) {
    if (value.is_null())
        return std::nullopt;
    const std::string& written = value.get_ref<const std::string&>();
    const std::optional<double> number = textToDouble(written);
    if (!number)
        throw ProtocolError("not a number: \"" + written + "\"");
    return number;
}

// A count: a whole number from 0 that T holds (a JSON library's get would wrap -1 round).
template <class T> T countAt(const json& value) {
    if (!value.is_number_unsigned() || value.get<std::uint64_t>() > std::numeric_limits<T>::max())
        throw ProtocolError("not a count: " + value.dump());
    return static_cast<T>(value.get<std::uint64_t>());
}

json countOrNull(const std::optional<std::uint64_t>& value) {
    return value ? json(*value) : json(nullptr);
}

std::optional<std::uint64_t> countOrNullAt(const json& value) {
    if (value.is_null())
        return std::nullopt;
    return countAt<std::uint64_t>(value);
}

json componentJson(const ExactComponent& x) {
    json out{{"fraction", x.isFraction}, {"text", x.text}, {"nearest", numberOrNull(x.nearest)}};
    if (!x.whole.empty())
        out["whole"] = x.whole;
    return out;
}

ExactComponent componentAt(const json& in) {
    ExactComponent x;
    x.isFraction = in.at("fraction").get<bool>();
    x.text = in.at("text").get<std::string>();
    x.nearest = numberOrNullAt(in.at("nearest"));
    x.whole = in.value("whole", std::string());
    return x;
}

json vectorJson(const ExactVector& v) {
    json out = json::array();
    for (const ExactComponent& x : v)
        out.push_back(componentJson(x));
    return out;
}

ExactVector vectorAt(const json& in) {
    ExactVector v;
    for (const json& x : in)
        v.push_back(componentAt(x));
    return v;
}

json answerJson(const ExactAnswer& answer) {
    json nullSpace = json::array();
    for (const ExactVector& v : answer.nullSpace)
        nullSpace.push_back(vectorJson(v));
    json out{
        {"status", statusWord(answer.status)},    {"rank", answer.rank},
        {"augmented_rank", answer.augmentedRank}, {"x", vectorJson(answer.components)},
        {"null_space", std::move(nullSpace)},     {"certificate", vectorJson(answer.certificate)}};
    if (answer.status == ExactStatus::noSolution)
        out["certificate_value"] = componentJson(answer.certificateValue);
    return out;
}

ExactAnswer answerAt(const json& in) {
    ExactAnswer answer;
    answer.status = statusNamed(in.at("status").get<std::string>());
    answer.rank = countAt<int>(in.at("rank"));
    answer.augmentedRank = countAt<int>(in.at("augmented_rank"));
    answer.components = vectorAt(in.at("x"));
    answer.certificate = vectorAt(in.at("certificate"));
    const std::size_t n = std::max(answer.components.size(), answer.certificate.size());
    for (const json& v : in.at("null_space")) {
        answer.nullSpace.push_back(vectorAt(v));
        if (answer.nullSpace.back().size() != n)
            throw ProtocolError("a null-space vector is not of the system's order");
    }
    if (answer.status == ExactStatus::noSolution)
        answer.certificateValue = componentAt(in.at("certificate_value"));
    return answer;
}

json errorJson(const MethodError& error) {
    json ulps = json::array();
    for (const std::optional<std::uint64_t>& u : error.ulps)
        ulps.push_back(countOrNull(u));
    return {{"digits", error.correctDigits},
            {"measured", numberOrNull(error.measuredError)},
            {"unit", error.inLargestEntryUnits ? "largest" : "own"},
            {"largest_ulps", countOrNull(error.largestUlps)},
            {"ulps", std::move(ulps)}};
}

MethodError errorAt(const json& in, std::size_t n) {
    MethodError error;
    error.correctDigits = countAt<int>(in.at("digits"));
    error.measuredError = numberOrNullAt(in.at("measured"));
    const std::string unit = in.at("unit").get<std::string>();
    if (unit != "own" && unit != "largest")
        throw ProtocolError("expected \"own\" or \"largest\", found \"" + unit + "\"");
    error.inLargestEntryUnits = unit == "largest";
    error.largestUlps = countOrNullAt(in.at("largest_ulps"));
    for (const json& u : in.at("ulps"))
        error.ulps.push_back(countOrNullAt(u));
    if (error.ulps.size() != n)
        throw ProtocolError("an error of another order than the solution's");
    return error;
}

json summedJson(const SummedEntries& summed) {
    return {{"count", summed.count}, {"row", summed.row}, {"column", summed.column}};
}

SummedEntries summedAt(const json& in) {
    SummedEntries summed;
    summed.count = countAt<std::size_t>(in.at("count"));
    summed.row = countAt<int>(in.at("row"));
    summed.column = countAt<int>(in.at("column"));
    if (summed.count == 0 || summed.row < 1 || summed.column < 1)
        throw ProtocolError("a malformed summed entry");
    return summed;
}

json notHeldJson(const WrittenNotHeld& notHeld) {
    json listed = json::array();
    for (const NotHeldValue& value : notHeld.listed)
        listed.push_back({{"row", value.row}, {"column", value.column}, {"text", value.text}});
    return {{"count", notHeld.count}, {"order", notHeld.order}, {"listed", std::move(listed)}};
}

WrittenNotHeld notHeldAt(const json& in) {
    WrittenNotHeld notHeld;
    notHeld.count = countAt<std::size_t>(in.at("count"));
    notHeld.order = countAt<int>(in.at("order"));
    for (const json& value : in.at("listed"))
        notHeld.listed.push_back({countAt<int>(value.at("row")), countAt<int>(value.at("column")),
                                  value.at("text").get<std::string>()});
    if (notHeld.count == 0 || notHeld.listed.size() > WrittenNotHeld::kListed ||
        notHeld.listed.size() > notHeld.count)
        throw ProtocolError("a malformed list of values not held");
    return notHeld;
}

ExactReport reportAt(const json& in) {
    if (!in.is_object() || in.value("format", std::string()) != kHeader)
        throw ProtocolError(std::string("not a report of the format \"") + kHeader + "\"");
    ExactReport report;
    report.asWritten = answerAt(in.at("written"));
    if (in.contains("doubles"))
        report.doubles = answerAt(in.at("doubles"));
    const std::size_t n = report.ofDoubles().components.size();
    if (in.contains("rounding"))
        report.inputRounding = errorAt(in.at("rounding"), report.asWritten.components.size());
    for (const json& error : in.at("errors"))
        report.errors.push_back(errorAt(error, n));
    report.writtenDropped = in.at("dropped").get<bool>();
    if (in.contains("summed"))
        report.summed = summedAt(in.at("summed"));
    if (in.contains("not_held"))
        report.notHeld = notHeldAt(in.at("not_held"));
    report.fractionSteps = in.value("steps", std::string());
    return report;
}

} // namespace

void writeReport(std::ostream& out, const ExactReport& report) {
    json root{{"format", kHeader},
              {"written", answerJson(report.asWritten)},
              {"errors", json::array()},
              {"dropped", report.writtenDropped}};
    if (report.doubles)
        root["doubles"] = answerJson(*report.doubles);
    if (report.inputRounding)
        root["rounding"] = errorJson(*report.inputRounding);
    for (const MethodError& error : report.errors)
        root["errors"].push_back(errorJson(error));
    if (report.summed.any())
        root["summed"] = summedJson(report.summed);
    if (report.notHeld.any())
        root["not_held"] = notHeldJson(report.notHeld);
    if (!report.fractionSteps.empty())
        root["steps"] = report.fractionSteps;
    out << root.dump() << '\n';
}

ExactReport readReport(std::istream& in) {
    try {
        return reportAt(json::parse(in));
    } catch (const json::exception& e) {
        throw ProtocolError(e.what());
    }
}

} // namespace lse::exact
