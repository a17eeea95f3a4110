#pragma once

#include "ExactReport.h"
#include "Matrix.h"
#include "SystemReader.h"
#include "Task.h"
#include "View.h"
#include "WrittenValues.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace lse {

// The text boxes the logic reads and writes, by their control names.
enum class TextBox { Textn, display, txtVector, txtGauss, txtCholesky };

enum class CheckBox { chkDefault };

enum class OptionArray { Option1 };

// The buttons of Option1, valued by their indices in the array, which is not their order on
// screen.
enum class SolutionMethod { gaussElimination = 0, bothMethods = 1, choleskyDecomposition = 2 };

// Button-and-icon style of a message box; the values follow the classic style codes.
enum class MessageStyle { OkOnly = 0, OkOnlyCritical = 16, OkOnlyExclamation = 48 };

// How long a long piece of work passes as an instant, without a progress display, on every
// platform that shows one: about a quarter of a second, as less passes as an instant and more
// wants a sign of life.
inline constexpr std::chrono::milliseconds kQuietTime{250};

// What a long piece of work and the platform that runs it share, each from its own thread.
struct WorkStatus {
    std::string title;               // what runs, as the progress display names it
    std::atomic<int> done{0};        // written by the work: how much is done
    std::atomic<int> total{0};       // of how much; 0 when it counts none
    std::string unit = "columns";    // what they count: elimination columns, MB read
    std::atomic<bool> cancel{false}; // set by the platform when the user cancels
};

// What Compute Exact Solution hands the exact solver: A x = b (rows and columns 1..n), the
// numbers as they were written where they may differ, and the methods' solutions (1..n each).
struct ExactProblem {
    const Matrix& A;
    const Vector& b;
    int n;
    const WrittenValues& written;
    const std::vector<Vector>& methodSolutions;
};

// How an exact solve ended.
struct ExactOutcome {
    enum class Ending {
        solved,      // report holds the exact solution and the methods' errors
        cancelled,   // the user's cancel stopped it
        outOfMemory, // the solve ran out of memory
        failed,      // it could not run or answered nonsense: see message
    };
    Ending ending = Ending::failed;
    exact::ExactReport report;
    std::string message;
};

enum class Command;

// Where Paste System or Open System… takes a system from: a text, a file the user chose, or an
// input the platform holds and reads in its own way (the page's, in a Worker), with its name
// (empty for a text) and its bytes (0: unknown).
struct PastedText {
    std::string text;
};
struct ChosenFile {
    std::string path;
};
struct HeldInput {
    std::function<Task<io::LinearSystem>(const io::ReadOptions&)> read;
    std::string name;
    std::uint64_t size = 0;
};
using SystemOrigin = std::variant<PastedText, ChosenFile, HeldInput>;

// A file that a Save command writes, as the desktop's dialog offers it and the page's download
// names it.
struct SavedFile {
    std::string_view filter; // "Systems (*.txt)"
    std::string_view suffix; // added to a chosen name without one
    std::string_view name;   // the download's
    std::string_view mediaType;
};

// Where a Save goes: a path the user chose, the platform's download (which takes the text
// through writeDownload), or nowhere, when the user cancelled.
struct SaveTarget {
    enum class Kind { cancelled, path, download };
    Kind kind = Kind::cancelled;
    std::string path;
};

// Long work as the form hands it to the platform: a task, since some work waits in turn (for
// a Worker of the page's).
using LongWork = std::function<Task<>()>;

// What the equation logic needs from the window and the platform. The Qt window implements
// it for real; tests implement it with a scripted fake. What waits for the user or for long
// work is a Task, which a platform may end at once (the desktop, behind a modal dialog) or
// when its answer comes (the page, whose one thread is not held meanwhile).
class Platform {
public:
    virtual ~Platform() = default;

    virtual std::string readText(TextBox box) const = 0;
    // Afterwards the box shows exactly `text`; a CR LF pair starts a new line.
    virtual void replaceText(TextBox box, const std::string& text) = 0;

    // The same for a text of `lines` lines that `line` gives one at a time (0 first, each with
    // its CR LF), for a text too large to build at once: a platform may ask for a line
    // whenever it shows it, until the box's text is replaced, which the logic does before the
    // data the lines come from changes. By default the whole text, at once.
    virtual void replaceLines(TextBox box, int lines, std::function<std::string(int)> line) {
        std::string text;
        for (int i = 0; i < lines; ++i)
            text += line(i);
        replaceText(box, text);
    }

    // Non-zero when ticked.
    virtual int checkBoxValue(CheckBox box) const = 0;
    // Ticks the box for a non-zero value, unticks it for zero.
    virtual void setCheckBoxValue(CheckBox box, int value) = 0;
    // True when that button is the chosen one.
    virtual bool optionValue(OptionArray array, SolutionMethod button) const = 0;

    // Modal; ends once the user has dismissed it. Without a title the program's own
    // title is shown.
    virtual Task<> messageBox(std::string text, MessageStyle style,
                              std::optional<std::string> title = std::nullopt) = 0;

    // Modal; the text typed, or nullopt when the user cancelled (distinct from an empty
    // reply).
    virtual Task<std::optional<std::string>> inputBox(std::string prompt) = 0;

    // Runs `work` and ends once it has, as a modal dialog does. A platform with threads may
    // run it off the window's thread, so that the window stays painted, showing `status` and
    // a Cancel that sets status.cancel; the window takes no command meanwhile. An exception
    // from the work reaches the awaiter. By default it runs here, at once.
    virtual Task<> runLong(LongWork work, WorkStatus& status) {
        (void)status;
        co_await work();
    }

    // Solves the problem's system in exact arithmetic, as given and as written, and judges
    // each of its method solutions against it. Awaited within runLong's work, so off the
    // window's thread where the platform has threads; ends once the solve has, or within half
    // a second of status.cancel being set, with the ending cancelled. nullopt where the
    // platform has no exact solver, as by default.
    virtual Task<std::optional<ExactOutcome>> solveExact(const ExactProblem& problem,
                                                         WorkStatus& status) {
        (void)problem, (void)status;
        co_return std::nullopt;
    }

    // How many times as long solveExact takes as lineq-exact on the same machine, whose times
    // the estimates are measured on: what a view expects before the solve starts, and whether
    // a refined claim is settled within a second, scale by it.
    virtual double exactTimeFactor() const { return 1; }

    // The primitives the declared commands work through (frmCholesky::execute). Each does
    // nothing, or finds nothing, where the platform has none.

    virtual void setClipboardText(const std::string& text) { (void)text; }
    // Paste System's or Open System…'s input; nullopt when there is none or the user cancelled.
    // `title` names the command, for a dialog of the platform's.
    virtual Task<std::optional<SystemOrigin>> systemOrigin(Command command, std::string title) {
        (void)command, (void)title;
        co_return std::nullopt;
    }
    virtual Task<SaveTarget> chooseSave(const SavedFile& file, std::string title) {
        (void)file, (void)title;
        co_return SaveTarget{};
    }
    // A download's text, a piece at a time, each handed over before the next is made; then
    // the download is made, or dropped when it is not `whole` (a cancel).
    virtual Task<> writeDownload(std::string_view piece) {
        (void)piece;
        co_return;
    }
    virtual void finishDownload(const SavedFile& file, bool whole) { (void)file, (void)whole; }
    // `view`, modal (View.h); ends once it is closed. Its buttons' commands may run
    // meanwhile, and refreshView shows it anew with what they added.
    virtual Task<> showView(const View& view) {
        (void)view;
        co_return;
    }
    virtual void refreshView(const View& view) { (void)view; }
};

} // namespace lse
