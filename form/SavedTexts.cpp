#include "SavedTexts.h"

#include "AccuracyText.h"
#include "ComparisonTable.h"
#include "NotHeld.h"
#include "NumberText.h"
#include "RefinedText.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>

namespace lse {

// A saved -0 must open as -0, which the window shows as 0.
std::string roundTrip(double value) {
    return value == 0 && std::signbit(value) ? "-0" : doubleToText(value, Digits::roundTrip);
}

SystemFileLines::SystemFileLines(const Matrix& A, const Vector& b, int n,
                                 const WrittenValues& written)
    : A_(A), b_(b), n_(n), written_(written), order_(written.size()) {
    // The readers note the kept texts in no promised order.
    for (std::size_t k = 0; k < order_.size(); ++k)
        order_[k] = k;
    const auto place = [&](std::size_t k) { return std::pair(written[k].row, written[k].column); };
    std::sort(order_.begin(), order_.end(),
              [&](std::size_t p, std::size_t q) { return place(p) < place(q); });
}

std::string SystemFileLines::line(int k) const {
    if (k == 0)
        return intToText(n_) + "\n";
    // b's texts are noted in column n + 1 of their row: line n + 1 takes them from every row.
    const bool ofB = k == n_ + 1;
    auto next = std::lower_bound(order_.begin(), order_.end(), ofB ? 1 : k,
                                 [&](std::size_t e, int row) { return written_[e].row < row; });
    const auto number = [&](int row, int column, double value) {
        while (next != order_.end() &&
               std::pair(written_[*next].row, written_[*next].column) < std::pair(row, column))
            ++next;
        if (next != order_.end() && written_[*next].row == row && written_[*next].column == column)
            return std::string(written_[*next].text);
        return roundTrip(value);
    };
    std::string text;
    for (int j = 1; j <= n_; ++j)
        text.append(j == 1 ? "" : " ")
            .append(ofB ? number(j, n_ + 1, b_(j)) : number(k, j, A_(k, j)));
    return text.append("\n");
}

std::string systemFileText(const Matrix& A, const Vector& b, int n, const WrittenValues& written) {
    const SystemFileLines lines(A, b, n, written);
    std::string text;
    for (int k = 0; k < lines.count(); ++k)
        text += lines.line(k);
    return text;
}

namespace {

// An exact value as a spreadsheet should take it: a whole number as a number; a fraction as a
// formula that yields its text, since a bare 7/3 becomes a date in most spreadsheets; a
// fraction too long to show, rounded to 17 digits, marked as rounded, so that it is never
// taken for the value itself (the nearest double is the column beside it).
std::string spreadsheetValue(const exact::ExactComponent& value) {
    if (!value.isFraction)
        return "~" + value.text;
    return value.text.find('/') == std::string::npos ? value.text : "=\"" + value.text + "\"";
}

} // namespace

std::vector<std::vector<std::string>> resultRows(const CalculateReport& report) {
    const ComparisonTable table(report);
    const std::size_t width = table.header().size();
    std::vector<std::vector<std::string>> rows{table.header()};
    const auto row = [&](std::string name) -> std::vector<std::string>& {
        rows.emplace_back(width);
        rows.back()[0] = std::move(name);
        return rows.back();
    };
    for (int i = 1; i <= table.rows(); ++i) {
        std::vector<std::string>& r = row({});
        for (int c = 0; c < table.columns(); ++c) {
            const exact::ExactComponent* value = table.exactValue(i, c);
            r[static_cast<std::size_t>(c)] = value ? spreadsheetValue(*value) : table.cell(i, c);
        }
    }
    for (std::vector<std::string>& figure : table.figureRows(true)) {
        figure.resize(width);
        rows.push_back(std::move(figure));
    }
    // Each refined column's status below it, as the figures stand below their method's.
    if (std::any_of(report.methods.begin(), report.methods.end(),
                    [](const MethodReport& r) { return r.refined.has_value(); })) {
        // The claim, the system it is of, and what the exact solution says of it.
        const auto refinedRow = [&](const char* name, auto cell) {
            std::vector<std::string>& r = row(name);
            std::size_t column = 1 + report.methods.size();
            for (const MethodReport& result : report.methods)
                if (result.refined)
                    r[column++] = cell(*result.refined);
        };
        refinedRow("Refined", [](const RefinedReport& r) { return refinedStatusText(r); });
        refinedRow("Refined towards", [](const RefinedReport& r) {
            const std::optional<std::string> reason = towardsDoublesReason(r);
            return std::string(refinedSystemName(r)) + (reason ? ": " + *reason : "");
        });
        if (report.exact)
            refinedRow("Refined check", [&](const RefinedReport& r) {
                const std::optional<RefinedCheck> check = refinedCheck(r, report);
                return check ? refinedCheckText(*check, r) : std::string();
            });
    }
    if (std::any_of(report.methods.begin(), report.methods.end(),
                    [](const MethodReport& r) { return r.failure.has_value(); })) {
        std::vector<std::string>& r = row("Failure");
        std::size_t column = 1;
        for (const MethodReport& result : report.methods) {
            if (result.failure)
                r[column] = result.failure->text;
            ++column;
        }
    }
    // Each exact answer without a unique solution says so, the written system's too where
    // the doubles' system has one; a written system with numbers the exact arithmetic cannot
    // hold, or with entries summed in doubles, says why it was not solved.
    if (report.exact) {
        const exact::ExactReport& exact = *report.exact;
        const std::optional<std::string> notAsWritten = exact.notAsWrittenReason();
        if (notAsWritten)
            row("Exact solution as written")[1] = "Not solved as written: " + *notAsWritten + ".";
        else if (exact.asWritten.status != exact::ExactStatus::solved)
            row(exact.doubles ? "Exact solution as written" : "Exact solution")[1] =
                noUniqueSolutionText(exact.asWritten);
        const exact::ExactAnswer& doubles = exact.ofDoubles();
        if ((notAsWritten || exact.doubles) && doubles.status != exact::ExactStatus::solved)
            row("Exact solution of the doubles")[1] = noUniqueSolutionText(doubles);
    }
    return rows;
}

std::string csvText(const std::vector<std::vector<std::string>>& rows) {
    std::string text;
    for (const std::vector<std::string>& row : rows) {
        for (std::size_t k = 0; k < row.size(); ++k) {
            const std::string& field = row[k];
            if (k > 0)
                text += ',';
            if (field.find_first_of(",\"\r\n") == std::string::npos) {
                text += field;
                continue;
            }
            text += '"';
            for (const char c : field) {
                if (c == '"')
                    text += '"';
                text += c;
            }
            text += '"';
        }
        text += "\r\n";
    }
    return text;
}

std::string resultsCsv(const CalculateReport& report) {
    return csvText(resultRows(report));
}

std::optional<std::string> writeWholeFile(const std::string& path, std::string_view text) {
    // Hidden beside the file, so that the rename stays within one file system.
    std::filesystem::path part(path);
    part.replace_filename("." + part.filename().string() + ".part");
    errno = 0;
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    if (out)
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (out)
        out.close();
    if (!out) {
        const std::string why = errno != 0 ? std::strerror(errno) : "cannot write";
        std::error_code ignored;
        std::filesystem::remove(part, ignored);
        return why;
    }
    std::error_code error;
    std::filesystem::rename(part, path, error);
    if (error) {
        std::filesystem::remove(part, error);
        return std::filesystem::is_directory(path) ? "Is a directory" : error.message();
    }
    return std::nullopt;
}

} // namespace lse
