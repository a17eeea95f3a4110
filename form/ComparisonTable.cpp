#include "ComparisonTable.h"

#include "AccuracyText.h"
#include "Digits.h"
#include "NumberText.h"
#include "RefinedText.h"
#include "SavedTexts.h"

#include <cctype>
#include <cmath>

namespace lse {

namespace {

// The characters of `text` up to and including its `digits`-th significant digit: none for
// none, all of them when it has no more.
std::size_t charactersHolding(const std::string& text, int digits) {
    if (digits <= 0)
        return 0;
    int seen = 0;
    bool significant = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (c == 'E' || c == 'e')
            return text.size();
        if (!std::isdigit(static_cast<unsigned char>(c)))
            continue;
        significant = significant || c != '0';
        if (significant && ++seen == digits)
            return k + 1;
    }
    return text.size();
}

} // namespace

ComparisonTable::ComparisonTable(const CalculateReport& report) : report_(report) {
    for (const MethodReport& result : report.methods) {
        if (result.solved)
            solved_.push_back(&result);
        if (result.refined)
            refined_.push_back(&result);
    }
    // The doubles' system may have no solution where the written one has (a number that
    // underflows to zero): the written one's still has its column.
    if (report.exact) {
        doubles_ = report.exact->ofDoubles().status == exact::ExactStatus::solved;
        written_ =
            report.exact->doubles && report.exact->asWritten.status == exact::ExactStatus::solved;
        if (doubles_ || written_)
            exact_ = &*report.exact;
    }

    header_.emplace_back("Unknown");
    for (const MethodReport& result : report.methods)
        header_.emplace_back(result.method->title);
    for (const MethodReport* result : refined_)
        header_.push_back(std::string(result->method->title) + " refined");
    if (!exact_)
        return;
    if (written_)
        header_.emplace_back("As written");
    if (!doubles_)
        return;
    header_.insert(header_.end(), {"Exact", "Nearest double"});
    for (const MethodReport* result : solved_)
        header_.push_back(std::string(result->method->title) + " error (ulps)");
}

const MethodReport* ComparisonTable::methodOf(int column) const {
    const std::size_t k = static_cast<std::size_t>(column - 1);
    return column >= 1 && k < report_.methods.size() ? &report_.methods[k] : nullptr;
}

const RefinedReport* ComparisonTable::refinedOf(int column) const {
    const std::size_t k = static_cast<std::size_t>(column - 1) - report_.methods.size();
    return column > static_cast<int>(report_.methods.size()) && k < refined_.size()
               ? &*refined_[k]->refined
               : nullptr;
}

int ComparisonTable::exactColumnsFrom() const {
    return 1 + static_cast<int>(report_.methods.size() + refined_.size());
}

std::string ComparisonTable::cell(int row, int column) const {
    if (column == 0)
        return "x" + intToText(row);
    if (const MethodReport* result = methodOf(column))
        return result->solved ? roundTrip(result->x(row)) : std::string();
    if (const RefinedReport* refined = refinedOf(column))
        return roundTrip(refined->refined.x[static_cast<std::size_t>(row)]);
    const std::size_t k = static_cast<std::size_t>(row - 1);
    int c = column - exactColumnsFrom();
    if (written_ && c-- == 0)
        return exact_->asWritten.components[k].text;
    if (!doubles_)
        return {};
    const exact::ExactComponent& exact = exact_->ofDoubles().components[k];
    if (c == 0)
        return exact.text;
    if (c == 1)
        return exact.nearest ? roundTrip(*exact.nearest) : "beyond the largest double";
    const std::size_t m = static_cast<std::size_t>(c - 2);
    if (m >= exact_->errors.size())
        return {};
    const std::optional<std::uint64_t>& ulps = exact_->errors[m].ulps[k];
    return ulps ? std::to_string(*ulps) : "out of range";
}

const exact::ExactComponent* ComparisonTable::exactValue(int row, int column) const {
    if (!exact_ || column < exactColumnsFrom() || row < 1 || row > rows())
        return nullptr;
    const std::size_t k = static_cast<std::size_t>(row - 1);
    int c = column - exactColumnsFrom();
    if (written_ && c-- == 0)
        return &exact_->asWritten.components[k];
    return c == 0 && doubles_ ? &exact_->ofDoubles().components[k] : nullptr;
}

std::string ComparisonTable::said(int row, int column) const {
    const std::optional<Agreement> agreed = agreement(row, column);
    if (!agreed)
        return {};
    return agreed->whole ? ", every digit correct"
                         : ", " + intToText(agreed->digits) + " correct digits";
}

std::vector<std::string> ComparisonTable::figureHeader() const {
    std::vector<std::string> names{"Figure"};
    for (const MethodReport& result : report_.methods)
        names.emplace_back(result.method->title);
    return names;
}

std::optional<ComparisonTable::Agreement> ComparisonTable::agreement(int row, int column) const {
    // A method is judged by the doubles it was given; a refinement by the system it was refined
    // towards.
    const exact::ExactAnswer* judge = nullptr;
    double value = 0;
    if (const MethodReport* const result = methodOf(column); result && result->solved) {
        judge = doubles_ ? &exact_->ofDoubles() : nullptr;
        value = result->x(row);
    } else if (const RefinedReport* refined = refinedOf(column)) {
        judge = refinedTruth(*refined, report_);
        value = refined->refined.x[static_cast<std::size_t>(row)];
    }
    if (!judge)
        return std::nullopt;
    const std::optional<double> truth =
        judge->components[static_cast<std::size_t>(row - 1)].nearest;
    if (!truth)
        return std::nullopt;
    const double error =
        *truth == 0 ? (value == 0 ? 0.0 : 1.0) : std::fabs(value - *truth) / std::fabs(*truth);
    const std::string text = roundTrip(value);
    Agreement agreement;
    agreement.digits = significantDigits(error);
    agreement.characters =
        value == *truth ? text.size() : charactersHolding(text, agreement.digits);
    agreement.whole = agreement.characters == text.size();
    return agreement;
}

std::vector<std::vector<std::string>> ComparisonTable::figureRows(bool roundTripDigits) const {
    std::vector<std::vector<std::string>> rows;
    if (solved_.empty())
        return rows;
    // The figures' names come from a solved method, in the order every front end shows them.
    const std::vector<FigureLine> names = figureLines(*solved_.front());
    for (std::size_t f = 0; f < names.size(); ++f) {
        std::vector<std::string>& r = rows.emplace_back(1 + report_.methods.size());
        r[0] = names[f].name;
        std::size_t column = 1;
        for (const MethodReport& result : report_.methods) {
            const std::vector<FigureLine> lines = figureLines(result);
            if (f < lines.size())
                r[column] = roundTripDigits && lines[f].value && !lines[f].count
                                ? roundTrip(*lines[f].value)
                                : lines[f].text;
            ++column;
        }
    }
    return rows;
}

} // namespace lse
