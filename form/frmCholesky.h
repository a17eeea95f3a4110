#pragma once

#include "Calculate.h"
#include "CalculateReport.h"
#include "Commands.h"
#include "Matrix.h"
#include "MethodTable.h"
#include "Platform.h"
#include "Session.h"
#include "SolveOptions.h"
#include "SystemReader.h"
#include "WrittenValues.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace lse {

struct Message;

// How the form reads a system: where the platform reads it, as a task.
using SystemRead = std::function<Task<io::LinearSystem>(const io::ReadOptions&)>;
// Where a text goes a line at a time (a download), each line taken before the next is made.
using LineSink = std::function<Task<>(std::string_view)>;

// The logic behind the window: one equation system (n, b, x, A and the working copy W), its
// entry and echo (Submit) and its solution by the chosen method(s) (Calculate). It reaches
// the controls and dialogs only through the Platform.
class frmCholesky final : public CommandState {
public:
    // `methods`: what Calculate offers; each chosen one writes into its own box.
    explicit frmCholesky(Platform& platform, MethodTable methods = builtInMethods())
        : platform_(platform), methods_(methods) {}

    std::int16_t n = 0;
    // How Calculate runs the solvers (threads, progress); never what they compute. Progress
    // is reported from the thread the platform runs the solve on.
    SolveOptions solveOptions;
    // How a paste, open or drop reads (threads, progress); its cancel is the platform's.
    // Progress is reported from the thread the platform runs the reading on.
    io::ReadOptions readOptions;

    // The commands below run as far as they can at once and go on as what they wait for
    // ends (Task.h); on the desktop and in the tests they have ended when they return.

    // Submit: loads the default system or asks for a new one, then echoes A and b. Neither
    // Submit, Calculate nor a paste, open or drop starts while a Calculate runs or a system
    // is read.
    CommandRun submit_but_Click();
    // Calculate: solves by the method(s) chosen in Option1, each result into its method's box.
    CommandRun Start_Click();

    // The declared command `id` as its action, key or button runs it, for the result box `box`
    // where a result box's command is heard; nothing while it has nothing to do (isEnabled),
    // since a key may come before the front end looks at the state again.
    CommandRun execute(Command id, std::optional<TextBox> box = std::nullopt);

    // Paste System and a dropped text: the system that `text` holds replaces the current one
    // as a completed entry does (n and Textn, A, b, a zero x, the echo; the result boxes are
    // cleared), and "Use Default Matrix" is unticked so that Submit does not bring the
    // default back. An input that cannot be read, or holds no b, is refused with the reader's
    // message, and the current system stays; so it does, without a message, when the user
    // cancels the reading.
    CommandRun loadSystemText(std::string text);
    // Open System… and a dropped file: the same for the system in the file at `path`.
    CommandRun loadSystemFile(std::string path);
    // The same for a system that `read` reads where the platform reads (the page: in a
    // Worker), from the input called `name` (empty for a text) of `size` bytes (0: unknown).
    CommandRun loadSystemWith(SystemRead read, std::string name, std::uint64_t size);

    // Writes matrix (1..count squared; of a large one the first rows, see matrixEcho) into
    // display and vector (1..count) into txtVector.
    void text(const Matrix& matrix, const Vector& vector, std::int16_t count);
    void gaussText();
    void CholeskyText();
    // Re-creates W as a fresh copy of A.
    void copyPass();

    // What the last Calculate left: each method's solution and figures, and the exact
    // solution once computed. Empty after Submit, a system loaded or a cancelled Calculate.
    const CalculateReport& report() const { return session_.report(); }
    // The accuracy view's text and its table (tab-separated) for the last Calculate.
    std::string accuracyText() const;
    std::string accuracyTable() const;
    // Save System: the system in the plain format, each number as written (SavedTexts.h).
    std::string systemFileText() const;
    // Save Results: the last Calculate as comma-separated values.
    std::string resultsCsv() const;
    // Save System… and Save Results… once the user has chosen `path`, as long work through the
    // platform: the file is replaced only by the whole text; where it cannot be written the
    // message says why and the file is left as it was, as it is after a cancel. False then.
    Task<bool> saveSystemFile(std::string path);
    Task<bool> saveResultsFile(std::string path);
    // Save System in the page: the same text a line at a time to `line` (the download), as
    // long work through the platform with its progress and Cancel. False when cancelled.
    Task<bool> writeSystemLines(LineSink line);
    // Copy Solution: the doubles of the method whose solution `box` shows, one a line with
    // round-trip digits; nullopt when the box shows none.
    std::optional<std::string> solutionCopy(TextBox box) const;
    // Steps…: the method whose box is `box`, when it ran in the last Calculate (else null).
    const MethodEntry* stepsOf(TextBox box) const;
    // True when Compute Exact Solution has something to do: a Calculate of some equations left
    // a report and its exact solution is not yet known.
    bool exactPending() const override;
    // Compute Exact Solution: solves the system of the last Calculate exactly, as long work
    // through the platform, and keeps the answer in the report. A cancel leaves everything
    // as it was; running out of memory shows the out-of-memory message, another failure its
    // reason. False when nothing was added to the report. `settling`: asked for by Refine
    // Solution, on a platform that may have no exact solver, which then says nothing.
    Task<bool> computeExact(bool settling = false);
    // True when Refine Solution has something to do: some method of the last Calculate can be
    // refined (refinable) and is not yet.
    bool refinePending() const override;
    // Refine Solution: each such method's x refined as long work with the factors Calculate
    // kept, or where none were kept with those of a run again, towards the system as written
    // (Session::refine). A cancel keeps what was refined
    // before it; out of memory shows the out-of-memory message. False when nothing was added.
    Task<bool> refineSolutions();

    // What the commands ask (CommandState).
    bool hasSystem() const override { return n > 0; }
    bool calculated() const override { return !report().empty(); }
    bool showsSolution(TextBox box) const override { return solutionCopy(box).has_value(); }
    bool methodRan(TextBox box) const override { return stepsOf(box) != nullptr; }

    // Read-only views of the system state.
    const Vector& b() const { return b_; }
    const Vector& x() const { return x_; }
    const Matrix& A() const { return A_; }
    const Matrix& W() const { return session_.W(); }

private:
    Task<> submit();
    Task<> calculate();
    Task<> perform(Command id, std::optional<TextBox> box);
    Task<> loadFrom(const SystemOrigin& origin);
    Task<> loadText(std::string text);
    Task<> loadFile(std::string path);
    Task<> saveAs(Command id, const SavedFile& file);
    // The accuracy view, which the commands run from it refresh.
    Task<> showAccuracy();
    // Compute Exact Solution or Refine Solution; false when nothing was added to the report.
    Task<bool> runLongCommand(Command id);
    // `solve` as long work titled `title`, with the solver's progress and the platform's Cancel.
    Task<CalculateOutcome> solveLong(std::string title, const RunMethod& solve);
    void loadDefault();
    // True when the entry was completed and replaced the system.
    Task<bool> enterSystem();
    // The reply's text is noted in `written` as entry (row, column) of [A | b].
    Task<bool> askCoefficient(std::string prompt, double& value, WrittenValues& written, int row,
                              int column);
    Task<bool> solveMethod(const MethodEntry& method, const RunMethod& solve);
    SessionSystem system() { return {A_, b_, n, written_}; }
    void solutionText(TextBox box);
    void clearSolutions();
    Task<> show(Message message);
    // `size`: the input's bytes, for the progress display; 0 when unknown.
    Task<> load(const SystemRead& read, std::string name, std::uint64_t size);
    Task<> adopt(io::LinearSystem& system);
    // `text` counts its progress in the status, in `unit`, and may stop short at a cancel.
    Task<bool> save(std::string path, std::string unit,
                    const std::function<Task<std::string>(WorkStatus&)>& text);
    Task<bool> systemLines(WorkStatus& status, const LineSink& line) const;

    Platform& platform_;
    MethodTable methods_;
    Vector b_;
    Vector x_;
    Matrix A_;
    // The numbers of A and b as written, where they may differ from their doubles.
    WrittenValues written_;
    // Refine Solution refines with the decompositions Calculate kept.
    Session session_{true};
    bool busy_ = false; // a Calculate runs, or a system is read
    // The accuracy view is open: Compute Exact Solution adds to it rather than opening one.
    bool accuracyShown_ = false;

    struct BusyWhile {
        explicit BusyWhile(bool& flag) : flag_(flag) { flag_ = true; }
        ~BusyWhile() { flag_ = false; }
        BusyWhile(const BusyWhile&) = delete;
        BusyWhile& operator=(const BusyWhile&) = delete;
        bool& flag_;
    };
};

} // namespace lse
