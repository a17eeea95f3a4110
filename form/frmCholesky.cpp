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

CommandRun frmCholesky::submit_but_Click() {
    co_await submit();
}

Task<> frmCholesky::submit() {
    if (busy_)
        co_return;
    // Only one entry at a time: the page takes clicks while a prompt waits.
    const BusyWhile busy(busy_);
    // The last Calculate's report goes with the system it solved: a refused or cancelled entry
    // keeps both, and what was computed for them (an exact solution may have taken minutes).
    bool replaced = true;
    if (platform_.checkBoxValue(CheckBox::chkDefault) != 0)
        loadDefault();
    else
        replaced = co_await enterSystem();
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

Task<bool> frmCholesky::enterSystem() {
    const std::string countText = platform_.readText(TextBox::Textn);
    platform_.replaceText(TextBox::display, "");
    if (!isNumeric(countText)) {
        co_await show(messages::notANumber);
        co_return false;
    }
    const std::optional<std::int16_t> count = textToInt16(countText);
    if (!count || *count < 0 || *count > kMaxOrder) {
        co_await show(messages::badCount);
        co_return false;
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
                if (!co_await askCoefficient(messages::coefficientPromptA(i, j), newA(i, j),
                                             newWritten, i, j))
                    co_return false;
        for (int i = 1; i <= size; ++i)
            if (!co_await askCoefficient(messages::coefficientPromptB(i), newB(i), newWritten, i,
                                         size + 1))
                co_return false;
        n = *count;
        A_ = std::move(newA);
        b_ = std::move(newB);
        x_ = std::move(newX);
        written_ = std::move(newWritten);
        co_return true;
    } catch (const std::bad_alloc&) {
    }
    // Outside the handler, which cannot wait.
    co_await show(messages::outOfMemory(*count));
    co_return false;
}

CommandRun frmCholesky::loadSystemText(std::string text) {
    co_await loadText(std::move(text));
}

CommandRun frmCholesky::loadSystemFile(std::string path) {
    co_await loadFile(std::move(path));
}

CommandRun frmCholesky::loadSystemWith(SystemRead read, std::string name, std::uint64_t size) {
    co_await load(read, std::move(name), size);
}

Task<> frmCholesky::loadText(std::string text) {
    if (busy_)
        co_return;
    // Named, as every callable a task borrows: it lives as long as the task.
    const SystemRead read = [&text](const io::ReadOptions& options) -> Task<io::LinearSystem> {
        co_return io::readSystem(text, options);
    };
    co_await load(read, {}, text.size());
}

Task<> frmCholesky::loadFile(std::string path) {
    if (busy_)
        co_return;
    const std::string name = std::filesystem::path(path).filename().string();
    // A folder opens as a stream and throws on the first read, and a named pipe may wait for
    // a writer for ever: only files are read.
    std::error_code ignored;
    const std::filesystem::file_status status = std::filesystem::status(path, ignored);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        co_await show(messages::unreadableSystem(std::filesystem::is_directory(status)
                                                     ? "cannot open: Is a directory"
                                                     : "cannot open: not a regular file",
                                                 name));
        co_return;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, ignored);
    const SystemRead read = [&path](const io::ReadOptions& options) -> Task<io::LinearSystem> {
        co_return io::readSystemFile(path, options);
    };
    co_await load(read, name, size == static_cast<std::uintmax_t>(-1) ? 0 : size);
}

// A large input takes a while to read: it is read as long work, which Cancel stops. A cancel
// leaves everything as it was, without a message, whether the reader stopped or had just
// ended (with a system, which is dropped, or a refusal).
Task<> frmCholesky::load(const SystemRead& read, std::string name, std::uint64_t size) {
    if (busy_)
        co_return;
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
    std::optional<std::string> refusal;
    try {
        io::LinearSystem system;
        co_await platform_.runLong(
            [&]() -> Task<> {
                system = co_await read(options);
                io::requireRightHandSide(system);
            },
            status);
        if (!status.cancel)
            co_await adopt(system);
    } catch (const io::ReadCancelled&) {
    } catch (const io::InputError& error) {
        refusal = error.what();
    } catch (const std::ios_base::failure&) {
        refusal = "cannot read it";
    } catch (const std::bad_alloc&) {
        refusal = "not enough memory to read it";
    }
    if (refusal && !status.cancel)
        co_await show(messages::unreadableSystem(*refusal, name));
}

// The system read is taken over whole, without a copy; only x is new.
Task<> frmCholesky::adopt(io::LinearSystem& system) {
    Vector newX;
    bool made = true;
    try {
        newX.recreate(system.n);
    } catch (const std::bad_alloc&) {
        made = false;
    }
    if (!made) {
        co_await show(messages::outOfMemory(system.n));
        co_return;
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

Task<bool> frmCholesky::askCoefficient(std::string prompt, double& value, WrittenValues& written,
                                       int row, int column) {
    for (;;) {
        const std::optional<std::string> reply = co_await platform_.inputBox(prompt);
        if (!reply)
            co_return false;
        if (const std::optional<double> number = textToDouble(*reply)) {
            value = *number;
            std::string_view text = *reply;
            text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
            text = text.substr(0, text.find_last_not_of(" \t") + 1);
            if (!written.dropped)
                written.note(row, column, text);
            co_return true;
        }
        const std::optional<std::string> fault = numberFault(*reply);
        // Named: GCC 12 destroys a conditional's temporary twice within co_await.
        Message refusal = messages::notANumber;
        if (fault)
            refusal = messages::refusedNumber(*fault);
        co_await show(std::move(refusal));
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

CommandRun frmCholesky::Start_Click() {
    co_await calculate();
}

Task<> frmCholesky::calculate() {
    if (busy_)
        co_return;
    const BusyWhile busy(busy_);
    clearSolutions();
    session_.setExactTimeFactor(platform_.exactTimeFactor());
    const MethodTable runs = methodsChosen(methods_, [this](SolutionMethod button) {
        return platform_.optionValue(OptionArray::Option1, button);
    });
    const EachMethod each = [this](const MethodEntry& method, const RunMethod& solve) {
        return solveMethod(method, solve);
    };
    // A cancel takes back what the run showed so far.
    if (!co_await session_.calculate(runs, system(), x_, KeepA::yes, each)) {
        clearSolutions();
        co_return;
    }
    if (const std::optional<Message> warning = accuracyWarning(report()))
        co_await show(*warning);
}

// A box shows a solution only when its method produced one; a failure shows its message
// instead, and the box stays empty, as it does after a cancel. The copy and the solve may
// take long, and run as the platform runs long work: with a progress display and Cancel.
// False when the user cancelled.
Task<bool> frmCholesky::solveMethod(const MethodEntry& method, const RunMethod& solve) {
    std::optional<Message> failure;
    try {
        const RunMethod measured = [&](const SolveOptions& options) {
            CalculateOutcome solved = solve(options);
            if (solved.solved())
                session_.measureEntries(system());
            return solved;
        };
        const CalculateOutcome outcome = co_await solveLong(std::string(method.title), measured);
        if (outcome.cancelled())
            co_return false;
        if (outcome.solved())
            solutionText(method.box);
        else
            failure = report().methods.back().failure;
    } catch (const std::bad_alloc&) {
        failure = messages::outOfMemory(n);
    }
    if (failure)
        co_await show(*failure);
    co_return true;
}

Task<CalculateOutcome> frmCholesky::solveLong(std::string title, const RunMethod& solve) {
    WorkStatus status;
    status.title = std::move(title);
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
    co_await platform_.runLong(
        [&]() -> Task<> {
            outcome = solve(options);
            co_return;
        },
        status);
    co_return outcome;
}

bool frmCholesky::refinePending() const {
    return std::any_of(report().methods.begin(), report().methods.end(),
                       [](const MethodReport& r) { return refinable(r) && !r.refined; });
}

Task<bool> frmCholesky::refineSolutions() {
    bool added = false;
    bool refined = false;
    bool outOfMemory = false;
    {
        const BusyWhile busy(busy_);
        const EachMethod each = [&](const MethodEntry& method,
                                    const RunMethod& solve) -> Task<bool> {
            const CalculateOutcome outcome = co_await solveLong(
                "Refining the " + std::string(method.title) + " solution", solve);
            added = added || !outcome.cancelled();
            co_return !outcome.cancelled();
        };
        try {
            refined = co_await session_.refine(system(), each);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
        if (outOfMemory)
            co_await show(messages::outOfMemory(n));
    }
    // A claim the bound left open is settled by the exact solution where that takes under a
    // second; it then stands in the report as Compute Exact Solution's would.
    if (refined && session_.settlesRefined(system()))
        co_await computeExact(true);
    co_return added;
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

Task<bool> frmCholesky::saveSystemFile(std::string path) {
    const std::function<Task<std::string>(WorkStatus&)> text =
        [this](WorkStatus& status) -> Task<std::string> {
        std::string whole;
        const LineSink append = [&whole](std::string_view line) -> Task<> {
            whole += line;
            co_return;
        };
        co_await systemLines(status, append);
        co_return whole;
    };
    co_return co_await save(std::move(path), "lines", text);
}

Task<bool> frmCholesky::saveResultsFile(std::string path) {
    const std::function<Task<std::string>(WorkStatus&)> text =
        [this](WorkStatus&) -> Task<std::string> { co_return resultsCsv(); };
    co_return co_await save(std::move(path), {}, text);
}

Task<bool> frmCholesky::systemLines(WorkStatus& status, const LineSink& line) const {
    const SystemFileLines lines(A_, b_, n, written_);
    status.total = lines.count();
    for (int k = 0; k < lines.count(); ++k) {
        if (status.cancel)
            co_return false;
        co_await line(lines.line(k));
        status.done = k + 1;
    }
    co_return true;
}

Task<bool> frmCholesky::writeSystemLines(LineSink line) {
    if (busy_)
        co_return false;
    const BusyWhile busy(busy_);
    WorkStatus status;
    status.title = "Saving system.txt";
    status.unit = "lines";
    bool written = false;
    std::optional<std::string> why;
    co_await platform_.runLong(
        [&]() -> Task<> {
            try {
                written = co_await systemLines(status, line);
            } catch (const std::bad_alloc&) {
                why = "not enough memory";
            }
        },
        status);
    if (why)
        co_await show(messages::unsaved(*why, "system.txt"));
    co_return written && !why;
}

Task<bool> frmCholesky::save(std::string path, std::string unit,
                             const std::function<Task<std::string>(WorkStatus&)>& text) {
    if (busy_)
        co_return false;
    const BusyWhile busy(busy_);
    // Off the window's thread: a system of 3000 equations is 9 million numbers to write.
    const std::string name = std::filesystem::path(path).filename().string();
    WorkStatus status;
    status.title = "Saving " + name;
    status.unit = std::move(unit);
    std::optional<std::string> why;
    bool cancelled = false;
    co_await platform_.runLong(
        [&]() -> Task<> {
            try {
                const std::string whole = co_await text(status);
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
        co_await show(messages::unsaved(*why, name));
    co_return !why && !cancelled;
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

Task<bool> frmCholesky::computeExact(bool settling) {
    if (busy_ || !exactPending())
        co_return false;
    const BusyWhile busy(busy_);
    WorkStatus status;
    status.title = exactProgressText(report());
    status.unit = {};
    std::optional<ExactOutcome> outcome;
    const ExactSolver solver = [this](const ExactProblem& problem, WorkStatus& work) {
        return platform_.solveExact(problem, work);
    };
    bool outOfMemory = false;
    try {
        co_await platform_.runLong(
            [&]() -> Task<> { outcome = co_await session_.solveExact(system(), solver, status); },
            status);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    }
    if (outOfMemory) {
        co_await show(messages::outOfMemory(n));
        co_return false;
    }
    if (!outcome) {
        if (!settling)
            co_await show(messages::exactUnavailable);
        co_return false;
    }
    switch (outcome->ending) {
    case ExactOutcome::Ending::solved:
        co_return true;
    case ExactOutcome::Ending::cancelled:
        co_return false;
    case ExactOutcome::Ending::outOfMemory:
        co_await show(messages::outOfMemory(n));
        co_return false;
    case ExactOutcome::Ending::failed:
        co_await show(messages::exactFailed(outcome->message));
        co_return false;
    }
    co_return false;
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

Task<> frmCholesky::show(Message message) {
    co_await platform_.messageBox(std::move(message.text), message.style, std::move(message.title));
}

} // namespace lse
