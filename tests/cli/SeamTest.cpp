// One system through every way in and out: each layout lineq-solve reads, b from --rhs, the
// window's paste and prompts. Every path must keep the numbers as written and every output
// must state the same facts: the exact answer, the digits and the warnings.

#include "AccuracyText.h"
#include "ExactSolution.h"
#include "FormSession.h"
#include "InProcessExact.h"
#include "RunProgram.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>

namespace lse::test {
namespace {

struct Seam {
    const char* name;
    std::vector<std::vector<std::string>> rows; // [A | b] as written
    const char* status;                         // of the exact answer as written
    std::vector<std::string> values;            // its x, where solved
};

std::string join(const std::vector<std::string>& fields, const char* between) {
    std::string text;
    for (const std::string& field : fields)
        text.append(text.empty() ? "" : between).append(field);
    return text;
}

// The layouts a user hands lineq-solve: each a file, and with b apart for --rhs.
struct Layout {
    std::string name;
    std::string system;
    std::string rhs; // empty: b is in the system
};

std::vector<Layout> layouts(const Seam& s) {
    const std::size_t n = s.rows.size();
    std::string plain = std::to_string(n) + "\n", rows, tabs, arrayA, b;
    for (std::size_t i = 0; i < n; ++i) {
        const std::vector<std::string> a(s.rows[i].begin(), s.rows[i].begin() + n);
        plain += join(a, " ") + "\n";
        rows += join(s.rows[i], " ") + "\n";
        tabs += join(s.rows[i], "\t") + "\n";
        b += s.rows[i][n] + "\n";
    }
    for (std::size_t i = 0; i < n; ++i)
        plain += s.rows[i][n] + (i + 1 < n ? " " : "\n");
    // Matrix Market's array: column by column.
    arrayA = "%%MatrixMarket matrix array real general\n" + std::to_string(n) + " " +
             std::to_string(n) + "\n";
    for (std::size_t j = 0; j < n; ++j)
        for (std::size_t i = 0; i < n; ++i)
            arrayA += s.rows[i][j] + "\n";
    std::vector<Layout> all{
        {"plain", plain, ""}, {"rows", rows, ""}, {"tab-separated rows", tabs, ""}};
    // Matrix Market's real entries are decimals alone.
    if (arrayA.find('/') == std::string::npos)
        all.push_back({"Matrix Market with --rhs", arrayA, b});
    return all;
}

std::string fileWith(const std::string& name, const std::string& text) {
    const std::string path = scratchFile(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

struct Outputs {
    std::string text, json, csv;
};

Outputs runAll(const Layout& layout) {
    const std::string system = fileWith("seam-system", layout.system);
    std::vector<std::string> args{"--exact", "--accuracy", system};
    if (!layout.rhs.empty())
        args.insert(args.end(), {"--rhs", fileWith("seam-rhs", layout.rhs)});
    Outputs outputs;
    for (const auto& [format, out] :
         {std::pair{"text", &outputs.text}, std::pair{"json", &outputs.json},
          std::pair{"csv", &outputs.csv}}) {
        std::vector<std::string> all = args;
        all.insert(all.end(), {"--format", format});
        const ProgramRun run = runProgram(all);
        EXPECT_NE(run.status, 2) << layout.name << ": " << run.err;
        *out = run.out;
    }
    return outputs;
}

// The window's logic after Calculate and Compute Exact Solution.
std::string windowView(FormSession& s) {
    s.platform.exactSolver = InProcessExact{};
    s.calculate(Both);
    EXPECT_TRUE(runAtOnce(s.form.computeExact()));
    return s.form.accuracyText();
}

const Seam kSeams[] = {
    {"decimals", {{"0.1", "0.2", "0.1"}, {"0.3", "0.3", "0.5"}}, "solved", {"7/3", "-2/3"}},
    {"fractions and a typographic minus",
     {{"1/3", "\u22121/6", "1/2"}, {"1/4", "1/8", "3/8"}},
     "solved",
     {"3/2", "0"}},
    {"a value far beyond the doubles",
     {{"1e-200000", "1"}},
     "solved",
     {"1" + std::string(200000, '0')}},
    {"singular as written, not as doubles",
     {{"0.1", "0.3", "0.1"}, {"0.3", "0.9", "0.3"}},
     "infinitely many",
     {}},
    {"exact zeros in x",
     {{"0.1", "0.2", "0.3", "0.1"}, {"0.4", "0.5", "0.6", "0.4"}, {"0.7", "0.8", "1.1", "0.7"}},
     "solved",
     {"1", "0", "0"}},
};

TEST(Seams, EveryWayInStatesTheSameFactsInEveryWayOut) {
    for (const Seam& seam : kSeams) {
        SCOPED_TRACE(seam.name);
        const std::vector<Layout> ways = layouts(seam);
        const Outputs first = runAll(ways.front());
        const nlohmann::json json = nlohmann::json::parse(first.json);
        EXPECT_EQ(json["exact"]["status"], seam.status);
        if (!seam.values.empty()) {
            EXPECT_EQ(json["exact"]["values"].get<std::vector<std::string>>(), seam.values);
        }
        for (const Layout& way : ways) {
            SCOPED_TRACE(way.name);
            const Outputs outputs = runAll(way);
            EXPECT_EQ(outputs.text, first.text);
            EXPECT_EQ(outputs.json, first.json);
            EXPECT_EQ(outputs.csv, first.csv);
        }

        // The window, pasted as a spreadsheet copies it and typed at the prompts, says what
        // lineq-solve says.
        FormSession pasted, typed;
        pasted.paste(ways[2].system);
        std::vector<std::string> replies;
        // The prompts ask for A row by row.
        for (const std::vector<std::string>& row : seam.rows)
            replies.insert(replies.end(), row.begin(), row.end() - 1);
        for (const std::vector<std::string>& row : seam.rows)
            replies.push_back(row.back());
        typed.enter(std::to_string(seam.rows.size()), replies);
        const std::string view = windowView(pasted);
        EXPECT_EQ(windowView(typed), view);
        std::string exactSection = std::string(kExactHeading) + "\n";
        for (const std::string& line : exactLines(pasted.form.report()))
            exactSection += line + "\n";
        EXPECT_NE(first.text.find(exactSection), std::string::npos) << first.text << view;
    }
}

} // namespace
} // namespace lse::test
