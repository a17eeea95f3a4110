#pragma once

#include "PageMarkup.h"
#include "Platform.h"
#include "SystemReader.h"
#include "ViewLines.h"

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lse {
class CommandState;
}

namespace lse::web {

// The platform services in the browser: the page's controls, found by their ids, which are
// the control names, and message and input boxes as modal <dialog>s. A command waits for a
// box, a view, a Worker or the browser's turn as a task that the page's answer resumes
// (PageAnswer.h), with the page's thread free meanwhile. An adapter only: it holds no logic
// and binds no events.
class WebPlatform final : public Platform {
public:
    std::string readText(TextBox box) const override;
    // A short text goes into the box whole; of a long one the page asks for the lines it
    // shows, as it shows them (page/lineView.js), through viewLines.
    void replaceText(TextBox box, const std::string& text) override;
    void replaceLines(TextBox box, int lines, std::function<std::string(int)> line) override;
    int checkBoxValue(CheckBox box) const override;
    void setCheckBoxValue(CheckBox box, int value) override;
    bool optionValue(OptionArray array, SolutionMethod button) const override;
    Task<> messageBox(std::string text, MessageStyle style,
                      std::optional<std::string> title) override;
    Task<std::optional<std::string>> inputBox(std::string prompt) override;
    // On the page's one thread; the browser has its turn before and after, so that a
    // Calculate holds the thread for one method at a time and the boxes filled so far are
    // shown meanwhile. Work that waits for a Worker (a reading) shows the status and Cancel
    // once it has run for the quiet time, as on the desktop.
    Task<> runLong(LongWork work, WorkStatus& status) override;
    // In a Worker (WebExactSolve.cpp), waited for with a progress box whose Cancel ends it.
    Task<std::optional<ExactOutcome>> solveExact(const ExactProblem& problem,
                                                 WorkStatus& status) override;
    // GMP, MPFR and FLINT in WebAssembly, without their assembly kernels, and a Worker to start:
    // in Chromium 156 on the AMD EPYC (2 cores, another build beside it), systems of 3-place
    // decimals took 0.81 s (100 equations) and 11.2 s (300) where lineq-exact took 0.05 s and
    // 1.20 s: 9.4 times as long at 300, and more for small systems, where starting the Worker
    // counts.
    double exactTimeFactor() const override { return 10; }

    // The commands' primitives: the page's clipboard, the input page.js holds for a reading,
    // the browser's download (with the browser's turn every 25 ms, so that the page stays
    // responsive and the progress box's Cancel is heard), and the views as modal <dialog>s.
    void setClipboardText(const std::string& text) override;
    Task<std::optional<SystemOrigin>> systemOrigin(Command command, std::string title) override;
    Task<SaveTarget> chooseSave(const SavedFile& file, std::string title) override;
    Task<> writeDownload(std::string_view piece) override;
    void finishDownload(const SavedFile& file, bool whole) override;
    // Drawn by the page's one renderer (viewMarkup, page/views.js); a refresh fills the open
    // view anew where it stands.
    Task<> showView(const View& view) override;
    void refreshView(const View& view) override;

    // The form whose commands the views' buttons run, and enable as it says.
    void setForm(const CommandState& form) { form_ = &form; }
    // The rows to show of the open view's table `table` (counted from 0 over its parts), as
    // RowWindow gives them; nullopt while those shown serve, or with no such table.
    std::optional<std::string> viewRows(int table, double into, double inSight, double rowHeight);

    // The progress box's line for the long work that runs, once it has run `elapsed`.
    std::string progressText(std::chrono::milliseconds elapsed) const;

    // Lines first.. first + count - 1 of the long text shown on the view with this id (a
    // box's, or the steps view's) as the page lays them out (viewLinesJson).
    std::string viewLines(std::string_view id, int first, int count) const;
    // The whole of that text, as a copy takes it (viewText).
    std::string viewText(std::string_view id) const;

private:
    std::map<std::string, LongText, std::less<>> longTexts_;
    const WorkStatus* running_ = nullptr;
    const CommandState* form_ = nullptr;
    // The view open as JSON for the page; its tables and its line view's text registered.
    std::string describeOpenView();

    // The view open, whose tables the page asks rows of, each with its window of rows, and
    // the id of its line view's text (empty for none).
    std::optional<View> openView_;
    std::vector<const ViewTable*> openTables_;
    std::vector<RowWindow> rowWindows_;
    std::string openLines_;
};

// The system in the file or text that the page holds for the reading (page.js), read in a
// Worker while the command waits (WebRead.cpp): the readers' system, refusals and cancel, as
// a read on the desktop gives them.
struct ReadInWorker {
    Task<io::LinearSystem> operator()(const io::ReadOptions& options) const;
};

// The text box whose control has this id, or none.
std::optional<TextBox> textBoxWithId(std::string_view id);

} // namespace lse::web
