#include "frmCholesky.h"

#include "AccuracyText.h"
#include "BinaryFraction.h"
#include "Commands.h"
#include "Limits.h"
#include "Messages.h"
#include "NumberText.h"
#include "ResultText.h"
#include "SavedTexts.h"
#include "StepsText.h"
#include "SystemReader.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <filesystem>
#include <ios>
#include <new>
#include <string>

namespace lse {

void frmCholesky::submit_but_Click() {
    if (busy_)
        return;
    // The last Calculate's report goes with the system it solved: a refused or cancelled entry
    // keeps both, and what was computed for them (an exact solution may have taken minutes).
    bool replaced = true;
    if (platform_.checkBoxValue(CheckBox::chkDefault) != 0)
        loadDefault();
    else
        replaced = enterSystem();
    if (replaced)
        session_.clear();
    text(A_, b_, n);
}

void frmCholesky::loadDefault() {
    static constexpr double kA[3][3] = {{4, 2, 14}, {2, 17, -5}, {14, -5, 83}};
    static constexpr double kB[3] = {14, -101, 155};

    n = 3;
    written_.clear();
    platform_.replaceText(TextBox::Textn, intToText(n));
    platform_.replaceText(TextBox::display, "");
    A_.recreate(n, n);
    b_.recreate(n);
    x_.recreate(n);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            A_(i, j) = kA[i - 1][j - 1];
        b_(i) = kB[i - 1];
    }
}

bool frmCholesky::enterSystem() {
    const std::string countText = platform_.readText(TextBox::Textn);
    platform_.replaceText(TextBox::display, "");
    if (!isNumeric(countText)) {
        show(messages::notANumber);
        return false;
    }
    const std::optional<std::int16_t> count = textToInt16(countText);
    if (!count || *count < 0 || *count > kMaxOrder) {
        show(messages::badCount);
        return false;
    }

    // The new system is built aside and adopted only once complete, so that a cancel or a
    // failed allocation keeps the previous one.
    try {
        const int size = *count;
        Matrix newA;
        Vector newB;
        Vector newX;
        WrittenValues newWritten;
        newWritten.dropped = size > WrittenValues::kLargestOrder;
        newA.recreate(size, size);
        newB.recreate(size);
        newX.recreate(size);
        for (int i = 1; i <= size; ++i)
            for (int j = 1; j <= size; ++j)
                if (!askCoefficient(messages::coefficientPromptA(i, j), newA(i, j), newWritten, i,
                                    j))
                    return false;
        for (int i = 1; i <= size; ++i)
            if (!askCoefficient(messages::coefficientPromptB(i), newB(i), newWritten, i, size + 1))
                return false;
        n = *count;
        A_ = std::move(newA);
        b_ = std::move(newB);
        x_ = std::move(newX);
        written_ = std::move(newWritten);
        return true;
    } catch (const std::bad_alloc&) {
        show(messages::outOfMemory(*count));
        return false;
    }
}

void frmCholesky::loadSystemText(std::string_view text) {
    if (busy_)
        return;
    load([text](const io::ReadOptions& options) { return io::readSystem(text, options); }, {},
         text.size());
}

void frmCholesky::loadSystemFile(const std::string& path) {
    if (busy_)
        return;
    const std::string name = std::filesystem::path(path).filename().string();
    // A folder opens as a stream and throws on the first read, and a named pipe may wait for
    // a writer for ever: only files are read.
    std::error_code ignored;
    const std::filesystem::file_status status = std::filesystem::status(path, ignored);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        show(messages::unreadableSystem(std::filesystem::is_directory(status)
                                            ? "cannot open: Is a directory"
                                            : "cannot open: not a regular file",
                                        name));
        return;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, ignored);
    load([&path](const io::ReadOptions& options) { return io::readSystemFile(path, options); },
         name, size == static_cast<std::uintmax_t>(-1) ? 0 : size);
}

void frmCholesky::loadSystemWith(
    const std::function<io::LinearSystem(const io::ReadOptions&)>& read, const std::string& name,
    std::uint64_t size) {
    if (busy_)
        return;
    load(read, name, size);
}

// A large input takes a while to read: it is read as long work, which Cancel stops. A cancel
// leaves everything as it was, without a message, whether the reader stopped or had just
// ended (with a system, which is dropped, or a refusal).
void frmCholesky::load(const std::function<io::LinearSystem(const io::ReadOptions&)>& read,
                       const std::string& name, std::uint64_t size) {
    const BusyWhile busy(busy_);
    WorkStatus status;
    status.title = name.empty() ? "Reading the system" : "Reading " + name;
    // Counted in megabytes, which an int holds for any input there is room for.
    constexpr std::uint64_t kMegabyte = 1000000;
    const auto megabytes = [](std::uint64_t bytes) {
        return static_cast<int>(std::min<std::uint64_t>(bytes / kMegabyte, INT_MAX));
    };
    status.unit = "MB";
    status.total = megabytes(size + kMegabyte - 1);
    io::ReadOptions options = readOptions;
    options.cancel = &status.cancel;
    options.keepWritten = true;
    options.progress = [&](std::uint64_t position) {
        status.done = megabytes(position);
        if (readOptions.progress)
            readOptions.progress(position);
    };
    const auto refuse = [&](const std::string& reason) {
        if (!status.cancel)
            show(messages::unreadableSystem(reason, name));
    };
    try {
        io::LinearSystem system;
        platform_.runLong(
            [&] {
                system = read(options);
                io::requireRightHandSide(system);
            },
            status);
        if (!status.cancel)
            adopt(system);
    } catch (const io::ReadCancelled&) {
    } catch (const io::InputError& error) {
        refuse(error.what());
    } catch (const std::ios_base::failure&) {
        refuse("cannot read it");
    } catch (const std::bad_alloc&) {
        refuse("not enough memory to read it");
    }
}

// The system read is taken over whole, without a copy; only x is new.
void frmCholesky::adopt(io::LinearSystem& system) {
    Vector newX;
    try {
        newX.recreate(system.n);
    } catch (const std::bad_alloc&) {
        show(messages::outOfMemory(system.n));
        return;
    }
    n = static_cast<std::int16_t>(system.n);
    A_ = std::move(system.A);
    b_ = std::move(system.b);
    x_ = std::move(newX);
    written_ = std::move(system.written);
    platform_.replaceText(TextBox::Textn, intToText(n));
    platform_.setCheckBoxValue(CheckBox::chkDefault, 0);
    text(A_, b_, n);
    clearSolutions();
    session_.clear();
}

bool frmCholesky::askCoefficient(const std::string& prompt, double& value, WrittenValues& written,
                                 int row, int column) {
    for (;;) {
        const std::optional<std::string> reply = platform_.inputBox(prompt);
        if (!reply)
            return false;
        if (const std::optional<double> number = textToDouble(*reply)) {
            value = *number;
            std::string_view text = *reply;
            text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
            text = text.substr(0, text.find_last_not_of(" \t") + 1);
            if (!written.dropped)
                written.note(row, column, text);
            return true;
        }
        const std::optional<std::string> fault = numberFault(*reply);
        show(fault ? messages::refusedNumber(*fault) : messages::notANumber);
    }
}

void frmCholesky::text(const Matrix& matrix, const Vector& vector, std::int16_t count) {
    // Built in memory and written once per box: appending through the control would cost
    // time quadratic in the length of the text. A large matrix shows its first rows only, and
    // the platform may build those lines only as it shows them: from `matrix` (A itself), which
    // changes only after the display has been written again.
    platform_.replaceLines(TextBox::display, matrixEchoLines(count), [&matrix, count](int line) {
        return matrixEchoLine(matrix, count, line);
    });
    platform_.replaceText(TextBox::txtVector, namedLines("b", vector, count));
}

void frmCholesky::Start_Click() {
    if (busy_)
        return;
    const BusyWhile busy(busy_);
    clearSolutions();
    session_.setExactTimeFactor(platform_.exactTimeFactor());
    const MethodTable runs = methodsChosen(methods_, [this](SolutionMethod button) {
        return platform_.optionValue(OptionArray::Option1, button);
    });
    // A cancel takes back what the run showed so far.
    if (!session_.calculate(runs, system(), x_, KeepA::yes,
                            [this](const MethodEntry& method, const RunMethod& solve) {
                                return run(method, solve);
                            })) {
        clearSolutions();
        return;
    }
    if (const std::optional<Message> warning = accuracyWarning(report()))
        show(*warning);
}

// A box shows a solution only when its method produced one; a failure shows its message
// instead, and the box stays empty, as it does after a cancel. The copy and the solve may
// take long, and run as the platform runs long work: with a progress display and Cancel.
// False when the user cancelled.
bool frmCholesky::run(const MethodEntry& method, const RunMethod& solve) {
    try {
        const CalculateOutcome outcome =
            solveLong(std::string(method.title), [&](const SolveOptions& options) {
                CalculateOutcome solved = solve(options);
                if (solved.solved())
                    session_.measureEntries(system());
                return solved;
            });
        if (outcome.cancelled())
            return false;
        if (outcome.solved())
            solutionText(method.box);
        else if (const std::optional<Message>& message = report().methods.back().failure)
            show(*message);
    } catch (const std::bad_alloc&) {
        show(messages::outOfMemory(n));
    }
    return true;
}

CalculateOutcome frmCholesky::solveLong(const std::string& title, const RunMethod& solve) {
    WorkStatus status;
    status.title = title;
    status.total = n;
    // The solver polls the platform's cancel; one asked for through solveOptions is passed on
    // to it at the start and with every progress report.
    status.cancel = solveOptions.cancelRequested();
    SolveOptions options = solveOptions;
    options.cancel = &status.cancel;
    options.progress = [&](int done, int total) {
        status.done = done;
        status.total = total;
        if (solveOptions.progress)
            solveOptions.progress(done, total);
        if (solveOptions.cancelRequested())
            status.cancel = true;
    };
    CalculateOutcome outcome;
    platform_.runLong([&] { outcome = solve(options); }, status);
    return outcome;
}

bool frmCholesky::refinePending() const {
    return std::any_of(report().methods.begin(), report().methods.end(),
                       [](const MethodReport& r) { return refinable(r) && !r.refined; });
}

bool frmCholesky::refineSolutions() {
    bool added = false;
    bool refined = false;
    {
        const BusyWhile busy(busy_);
        try {
            refined =
                session_.refine(system(), [&](const MethodEntry& method, const RunMethod& solve) {
                    const CalculateOutcome outcome =
                        solveLong("Refining the " + std::string(method.title) + " solution", solve);
                    added = added || !outcome.cancelled();
                    return !outcome.cancelled();
                });
        } catch (const std::bad_alloc&) {
            show(messages::outOfMemory(n));
        }
    }
    // A claim the bound left open is settled by the exact solution where that takes under a
    // second; it then stands in the report as Compute Exact Solution's would.
    if (refined && session_.settlesRefined(system()))
        computeExact(true);
    return added;
}

std::string frmCholesky::accuracyText() const {
    return lse::accuracyText(report());
}

std::string frmCholesky::accuracyTable() const {
    return lse::accuracyTable(report());
}

std::string frmCholesky::systemFileText() const {
    return lse::systemFileText(A_, b_, n, written_);
}

std::string frmCholesky::resultsCsv() const {
    return lse::resultsCsv(report());
}

bool frmCholesky::saveSystemFile(const std::string& path) {
    return save(path, "lines", [this](WorkStatus& status) {
        std::string text;
        systemLines(status, [&](std::string_view line) { text += line; });
        return text;
    });
}

bool frmCholesky::saveResultsFile(const std::string& path) {
    return save(path, {}, [this](WorkStatus&) { return resultsCsv(); });
}

bool frmCholesky::systemLines(WorkStatus& status,
                              const std::function<void(std::string_view)>& line) const {
    const SystemFileLines lines(A_, b_, n, written_);
    status.total = lines.count();
    for (int k = 0; k < lines.count(); ++k) {
        if (status.cancel)
            return false;
        line(lines.line(k));
        status.done = k + 1;
    }
    return true;
}

bool frmCholesky::writeSystemLines(const std::function<void(std::string_view)>& line) {
    if (busy_)
        return false;
    const BusyWhile busy(busy_);
    WorkStatus status;
    status.title = "Saving system.txt";
    status.unit = "lines";
    bool written = false;
    std::optional<std::string> why;
    platform_.runLong(
        [&] {
            try {
                written = systemLines(status, line);
            } catch (const std::bad_alloc&) {
                why = "not enough memory";
            }
        },
        status);
    if (why)
        show(messages::unsaved(*why, "system.txt"));
    return written && !why;
}

bool frmCholesky::save(const std::string& path, const std::string& unit,
                       const std::function<std::string(WorkStatus&)>& text) {
    if (busy_)
        return false;
    const BusyWhile busy(busy_);
    // Off the window's thread: a system of 3000 equations is 9 million numbers to write.
    const std::string name = std::filesystem::path(path).filename().string();
    WorkStatus status;
    status.title = "Saving " + name;
    status.unit = unit;
    std::optional<std::string> why;
    bool cancelled = false;
    platform_.runLong(
        [&] {
            try {
                const std::string whole = text(status);
                // A cancel before the file is touched leaves it as it was.
                cancelled = status.cancel;
                if (!cancelled)
                    why = writeWholeFile(path, whole);
            } catch (const std::bad_alloc&) {
                why = "not enough memory";
            }
        },
        status);
    if (why)
        show(messages::unsaved(*why, name));
    return !why && !cancelled;
}

std::optional<std::string> frmCholesky::solutionCopy(TextBox box) const {
    for (const MethodReport& result : report().methods)
        if (result.solved && result.method->box == box)
            return solutionCopyText(result.x, report().n);
    return std::nullopt;
}

const MethodEntry* frmCholesky::stepsOf(TextBox box) const {
    for (const MethodReport& result : report().methods)
        if (result.method->box == box)
            return result.method;
    return nullptr;
}

bool frmCholesky::exactPending() const {
    // A system of no equations has nothing to solve exactly: the exact solvers take 1 to 32766.
    return !report().empty() && !report().exact && report().n > 0;
}

bool frmCholesky::computeExact(bool settling) {
    if (busy_ || !exactPending())
        return false;
    const BusyWhile busy(busy_);
    WorkStatus status;
    status.title = exactProgressText(report());
    status.unit = {};
    std::optional<ExactOutcome> outcome;
    try {
        platform_.runLong(
            [&] {
                outcome = session_.solveExact(
                    system(),
                    [this](const ExactProblem& problem, WorkStatus& work) {
                        return platform_.solveExact(problem, work);
                    },
                    status);
            },
            status);
    } catch (const std::bad_alloc&) {
        show(messages::outOfMemory(n));
        return false;
    }
    if (!outcome) {
        if (!settling)
            show(messages::exactUnavailable);
        return false;
    }
    switch (outcome->ending) {
    case ExactOutcome::Ending::solved:
        return true;
    case ExactOutcome::Ending::cancelled:
        return false;
    case ExactOutcome::Ending::outOfMemory:
        show(messages::outOfMemory(n));
        return false;
    case ExactOutcome::Ending::failed:
        show(messages::exactFailed(outcome->message));
        return false;
    }
    return false;
}

void frmCholesky::copyPass() {
    session_.copyPass(A_, n);
}

void frmCholesky::gaussText() {
    solutionText(TextBox::txtGauss);
}

void frmCholesky::CholeskyText() {
    solutionText(TextBox::txtCholesky);
}

void frmCholesky::solutionText(TextBox box) {
    platform_.replaceText(box, namedLines("x", x_, n));
}

// The window's solution boxes, whichever methods write into them.
void frmCholesky::clearSolutions() {
    for (const TextBox box : resultBoxes())
        platform_.replaceText(box, "");
}

void frmCholesky::show(const Message& message) {
    platform_.messageBox(message.text, message.style, message.title);
}

} // namespace lse
