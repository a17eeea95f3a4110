#include "Program.h"

#include "AccuracyReport.h"
#include "AccuracyText.h"
#include "ExactSection.h"
#include "FactorFiles.h"
#include "FractionSteps.h"
#include "ProgressLine.h"
#include "Report.h"
#include "SavedTexts.h"
#include "Session.h"
#include "StepsText.h"
#include "SystemReader.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <ctime>
#include <new>
#include <optional>

namespace lse::cli {

using io::InputError;
using io::LinearSystem;

namespace {

constexpr const char* kProgram = "lineq-solve";
// The --method that runs every method.
constexpr const char* kAllMethods = "both";

struct Settings {
    std::string file = "-";
    std::string method = kAllMethods;
    std::string format = "text";
    std::string inputFormat = "auto";
    std::string rhs;
    std::string duplicates = "refuse";
    std::string factors;       // a folder
    std::string digits = "15"; // a text, so that a wrong value is named with the choices
    int threads = 0;
    bool echo = false;
    bool accuracy = false;
    bool exact = false;
    bool refine = false;
    bool timings = false;
    bool steps = false;
};

// Refused input: the message on standard error, nothing on standard output.
struct Refusal {
    std::string message;
};

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string displayName(const std::string& file) {
    return file == "-" ? "standard input" : file;
}

// The method named, or for "both" all of them, in the table's order.
MethodTable methodsNamed(MethodTable methods, const std::string& name) {
    if (const MethodEntry* method = findMethod(methods, name))
        return {method, 1};
    return methods;
}

// Reads everything the system needs, so that no refusal can come after output has begun.
LinearSystem readInput(const Settings& settings, std::istream& standardInput, std::ostream& err) {
    const Clock::time_point start = Clock::now();
    const std::clock_t processorStart = std::clock();
    const std::string name = displayName(settings.file);
    io::ReadOptions options;
    options.format = io::inputFormatNamed(settings.inputFormat).value(); // checked by the parser
    options.threads = settings.threads;
    // Only the exact solve, the steps and the refinement read the numbers as written; without
    // them reading costs as before.
    options.keepWritten = settings.exact || settings.steps || settings.refine;
    // A refinement alone needs the words of the numbers, not their texts, unless the exact
    // solve may settle its claims.
    if (settings.refine && !settings.exact && !settings.steps)
        options.wordsFrom = Session::firstUnsettledOrder();
    options.duplicates =
        settings.duplicates == "sum" ? io::Duplicates::sum : io::Duplicates::refuse;
    const auto readRightHandSide = [&] {
        try {
            return settings.rhs == "-" ? io::readRightHandSideAhead(standardInput, options)
                                       : io::readRightHandSideAheadFile(settings.rhs, options);
        } catch (const InputError& error) {
            throw Refusal{displayName(settings.rhs) + ": " + error.what()};
        }
    };
    // b first, so that a file that cannot be b is refused before A's arrays are built, which
    // for a sparse file of a large order take gigabytes and half a minute.
    std::optional<io::RightHandSide> b;
    if (!settings.rhs.empty())
        b = readRightHandSide();
    LinearSystem system;
    try {
        system = settings.file == "-" ? io::readSystem(standardInput, options)
                                      : io::readSystemFile(settings.file, options);
    } catch (const InputError& error) {
        throw Refusal{name + ": " + error.what()};
    }
    system.source = name;
    if (!settings.rhs.empty()) {
        if (system.hasB)
            throw Refusal{name +
                          ": --rhs is for an input that holds A alone; this input holds b itself"};
        try {
            io::addRightHandSide(system, std::move(*b), options);
        } catch (const InputError& error) {
            throw Refusal{displayName(settings.rhs) + ": " + error.what()};
        }
        system.bSource = displayName(settings.rhs);
    } else if (!system.hasB) {
        try {
            io::setRowSums(system);
        } catch (const InputError& error) {
            throw Refusal{name + ": " + error.what()};
        }
    }
    if (settings.timings) {
        // Processor time of all threads: on a shared machine, what the reading costs.
        const double seconds = secondsSince(start);
        const double processorSeconds =
            static_cast<double>(std::clock() - processorStart) / CLOCKS_PER_SEC;
        const double megabytes = static_cast<double>(system.bytes) / 1e6;
        err << kProgram << ": read " << megabytes << " MB in " << seconds << " s ("
            << megabytes / seconds << " MB/s; " << processorSeconds << " s of processor time)\n";
    }
    return system;
}

void addOptions(CLI::App& app, Settings& settings, MethodTable methods) {
    app.add_option("FILE", settings.file, "The system to solve; '-' or none reads standard input");
    std::vector<std::string> names;
    std::string help;
    for (const MethodEntry& method : methods) {
        help.append(help.empty() ? "" : ", ").append(method.name);
        names.emplace_back(method.name);
    }
    names.emplace_back(kAllMethods);
    app.add_option("--method", settings.method, help + " or " + kAllMethods + " (in that order)")
        ->check(CLI::IsMember(names))
        ->capture_default_str();
    app.add_option("--digits", settings.digits,
                   "15 as the window shows numbers, or 17 for digits that read back exactly")
        ->check(CLI::IsMember({"15", "17"}))
        ->capture_default_str();
    app.add_option("--format", settings.format,
                   "text, as the window's boxes; json; or csv, the table Save Results writes")
        ->check(CLI::IsMember({"text", "json", "csv"}))
        ->capture_default_str();
    app.add_option("--input-format", settings.inputFormat,
                   "auto (by content), plain, rows, matrix-market or npy")
        ->check(CLI::IsMember(io::inputFormatNames()))
        ->capture_default_str();
    app.add_option("--rhs", settings.rhs,
                   "b for an input that holds A alone; without it b = A (1, ..., 1)");
    app.add_option("--duplicates", settings.duplicates,
                   "A Matrix Market entry given twice: refuse the file, or sum the values")
        ->check(CLI::IsMember({"refuse", "sum"}))
        ->capture_default_str();
    app.add_flag("--echo", settings.echo, "Also print A and b laid out as the window echoes them (all of A)");
    app.add_flag("--accuracy", settings.accuracy,
                 "Also print how far each solution can be trusted: its condition number, "
                 "backward error, error bound and correct digits");
    app.add_flag("--exact", settings.exact,
                 "Also solve the system in exact rational arithmetic and give each method's "
                 "error against it");
    app.add_flag("--refine", settings.refine,
                 "Also refine each solved method's solution with its factors towards the system "
                 "as written, and say whether each refined component is correctly rounded");
    app.add_flag("--steps", settings.steps,
                 "Also print each method's steps, values and factors as it computes them, for "
                 "a system of up to " +
                     std::to_string(kStepsUpTo) + " equations");
    app.add_option("--factors", settings.factors,
                   "Write each solved method's factors into this folder as NumPy arrays, NAME "
                   "the method's: NAME-L.npy, and where the method has them NAME-U.npy and "
                   "NAME-row-order.npy (P A = L U; else A = L L^T)");
    app.add_option("--threads", settings.threads,
                   "Threads for a large system, in reading its numbers and in solving; 0 (the "
                   "default) takes one per processor. The results are the same for any number")
        ->check(CLI::Range(0, 1024));
    app.add_flag("--timings", settings.timings,
                 "Report the reading rate, each method's time, its figures' and its refinement's "
                 "on standard error");
    app.set_version_flag("--version", std::string(kProgram) + " " + LINEQ_VERSION);
}

int printResults(const Settings& settings, const LinearSystem& system,
                 const CalculateReport& report, std::optional<double> exactSeconds,
                 Console& console) {
    const std::vector<MethodReport>& results = report.methods;
    const ReportOptions options{settings.digits == "17" ? Digits::roundTrip : Digits::window,
                                settings.echo, "\n", settings.accuracy};
    const bool text = settings.format == "text";
    bool first = true;
    const auto print = [&](const std::string& section) {
        console.out << (first ? "" : "\n") << section;
        first = false;
    };
    if (text)
        for (const std::string& section : leadingSections(system, options))
            print(section);
    else if (settings.format == "csv")
        console.out << resultsCsv(report);
    else
        console.out << jsonReport(system, report, settings.echo, settings.accuracy);
    bool allSolved = true;
    for (const MethodReport& result : results) {
        if (text)
            print(resultSection(result, report, options));
        if (text && settings.steps) {
            print(stepsText(*result.method, system.A, system.b, system.n));
            if (hasFractionSteps(*result.method, system.n))
                print(exact::fractionStepsText(system.A, system.b, system.n, system.written));
        }
        if (!result.solved) {
            allSolved = false;
            // After the method's heading, when both streams go to one terminal.
            console.out.flush();
            console.err << kProgram << ": " << result.method->title << ": " << result.failure->text
                        << "\n";
        }
        if (const std::optional<std::string> warning = doubtText(result)) {
            console.out.flush();
            console.err << kProgram << ": warning: " << *warning << "\n";
        }
        if (settings.timings) {
            console.err << kProgram << ": " << result.method->title << " took " << result.seconds
                        << " s, its figures " << result.figuresSeconds << " s";
            if (result.refined)
                console.err << ", its refinement " << result.refined->seconds << " s";
            console.err << "\n";
        }
    }
    if (text && report.exact)
        print(exactSection(report, options));
    if (settings.timings && exactSeconds)
        console.err << kProgram << ": the exact solution took " << *exactSeconds << " s\n";
    console.out.flush();
    if (!console.out) {
        console.err << kProgram << ": cannot write the results\n";
        return exitStatus::badInput;
    }
    return allSolved ? exitStatus::solved : exitStatus::methodFailed;
}

} // namespace

int run(int argc, const char* const argv[], Console& console, MethodTable methods) {
    std::string titles;
    for (std::size_t m = 0; m < methods.size(); ++m)
        titles.append(m == 0                    ? ""
                      : m + 1 == methods.size() ? " and "
                                                : ", ")
            .append(methods[m].title);
    CLI::App app{"Solves a linear system A x = b by " + titles +
                     ", with the texts and the bits of the lineq window.",
                 kProgram};
    Settings settings;
    addOptions(app, settings, methods);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0)
            return app.exit(error, console.out, console.err);
        console.err << kProgram << ": " << error.what() << "\nTry '" << kProgram << " --help'.\n";
        return exitStatus::badInput;
    }
    if (settings.steps && settings.format != "text") {
        console.err << kProgram << ": --steps prints text; it does not go with --format "
                    << settings.format << "\n";
        return exitStatus::badInput;
    }

    // One reader takes standard input to its end, so the other would find it empty.
    if (settings.rhs == "-" && settings.file == "-") {
        console.err << kProgram
                    << ": --rhs - and the system both read standard input; give one of them as "
                       "a file\n";
        return exitStatus::badInput;
    }

    int n = 0;
    try {
        LinearSystem system = readInput(settings, console.in, console.err);
        n = system.n;
        if (!settings.factors.empty()) {
            const ClearedFactors cleared = clearFactorFiles(settings.factors, methods);
            if (cleared.failure)
                throw Refusal{*cleared.failure};
            if (!cleared.removed.empty()) {
                console.err << kProgram << ": removed the factors of an earlier run:";
                for (const std::string& path : cleared.removed)
                    console.err << " " << path;
                console.err << "\n";
            }
        }
        ProgressLine progress(console.err, console.errIsTerminal);
        // Only the echo, the exact solution and the refinement read A after the solve; without
        // them the last method solves in A, and then its figures have no residual unless all
        // of them are asked for, as the table of csv shows them. The refinement alone changes
        // none of the figures.
        const bool allFigures = settings.accuracy || settings.format == "csv";
        const KeepA keepA = settings.echo || settings.exact || settings.steps ? KeepA::yes
                            : settings.refine ? (allFigures ? KeepA::yes : KeepA::forRefinement)
                            : allFigures      ? KeepA::forResidual
                                              : KeepA::no;
        const SessionSystem solving{system.A, system.b, static_cast<std::int16_t>(system.n),
                                    system.written};
        Vector x;
        x.recreate(system.n);
        Session session;
        const EachMethod each = [&](const MethodEntry& method,
                                    const RunMethod& run) -> Task<bool> {
            SolveOptions options;
            options.threads = settings.threads;
            options.progress = [&](int done, int total) {
                progress.update(method.title, done, total);
            };
            progress.update(method.title, 0, system.n);
            const CalculateOutcome outcome = run(options);
            if (!settings.factors.empty() && outcome.factors)
                if (const auto why = writeFactorFiles(settings.factors, method, *outcome.factors))
                    throw Refusal{*why};
            co_return true;
        };
        runAtOnce(session.calculate(methodsNamed(methods, settings.method), solving, x, keepA, each,
                                    settings.refine ? Refine::yes : Refine::no));
        session.releaseWorkingCopy();
        progress.clear();
        // Before any output, so that running out of memory in it prints nothing on it.
        std::optional<double> exactSeconds;
        // A refined claim the bound left open is settled by the exact solution where that is
        // quick; without --exact the solution itself is not printed.
        if (settings.refine && !settings.exact && session.settlesRefined(solving)) {
            WorkStatus status;
            runAtOnce(session.solveExact(solving, inProcessExactSolver(), status));
            CalculateReport settled = session.report();
            settled.exact.reset();
            return printResults(settings, system, settled, exactSeconds, console);
        }
        if (settings.exact) {
            const Clock::time_point start = Clock::now();
            session.measureEntries(solving);
            progress.show(exactProgressText(session.report()));
            WorkStatus status;
            runAtOnce(session.solveExact(solving, inProcessExactSolver(), status));
            exactSeconds = secondsSince(start);
            progress.clear();
        }
        return printResults(settings, system, session.report(), exactSeconds, console);
    } catch (const Refusal& refusal) {
        console.err << kProgram << ": " << refusal.message << "\n";
    } catch (const std::bad_alloc&) {
        console.err << kProgram << ": not enough memory for a system of " << n << " equations\n";
    }
    return exitStatus::badInput;
}

} // namespace lse::cli
