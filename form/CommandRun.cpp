// What each declared command does, once for every front end: each works through the
// platform's primitives (a view, the clipboard, a file, the long work), so that a front end
// only binds its action, key or button to execute.
#include "Commands.h"
#include "Views.h"
#include "frmCholesky.h"

#include <stdexcept>
#include <variant>

namespace lse {

namespace {

constexpr SavedFile kSystemFile{"Systems (*.txt)", "txt", "system.txt", "text/plain"};
constexpr SavedFile kResultsFile{"Comma-separated values (*.csv)", "csv", "results.csv",
                                 "text/csv"};

// A dialog is titled by its command, without the ellipsis that promised it.
std::string dialogTitle(Command id) {
    std::string title = plainCaption(declarationOf(id).caption);
    constexpr std::string_view kEllipsis = "\u2026";
    if (title.ends_with(kEllipsis))
        title.resize(title.size() - kEllipsis.size());
    return title;
}

} // namespace

CommandRun frmCholesky::execute(Command id, std::optional<TextBox> box) {
    co_await perform(id, box);
}

Task<> frmCholesky::perform(Command id, std::optional<TextBox> box) {
    if (busy_ || !isEnabled(id, *this, box))
        co_return;
    switch (id) {
    case Command::accuracy:
        co_return co_await showAccuracy();
    case Command::copySolution:
        co_return platform_.setClipboardText(solutionCopy(*box).value_or(std::string()));
    case Command::computeExact:
    case Command::refineSolution:
        // From a result box's menu the view opens with what was computed, or failed to be.
        if (!accuracyShown_) {
            co_await runLongCommand(id);
            co_return co_await showAccuracy();
        }
        if (co_await runLongCommand(id))
            platform_.refreshView(accuracyView(report()));
        co_return;
    case Command::copyTable:
        co_return platform_.setClipboardText(accuracyTable());
    case Command::copyText:
        co_return platform_.setClipboardText(accuracyText());
    case Command::pasteSystem:
    case Command::openSystem:
        if (const std::optional<SystemOrigin> origin =
                co_await platform_.systemOrigin(id, dialogTitle(id)))
            co_await loadFrom(*origin);
        co_return;
    case Command::saveSystem:
        co_return co_await saveAs(id, kSystemFile);
    case Command::saveResults:
        co_return co_await saveAs(id, kResultsFile);
    case Command::steps: {
        // A Calculate leaves A and b as they were, and anything that changes them clears the
        // report.
        const View view = stepsView(*stepsOf(*box), A_, b_, n, report());
        co_await platform_.showView(view);
        co_return;
    }
    }
}

Task<> frmCholesky::showAccuracy() {
    accuracyShown_ = true;
    const View view = accuracyView(report());
    co_await platform_.showView(view);
    accuracyShown_ = false;
}

Task<bool> frmCholesky::runLongCommand(Command id) {
    switch (id) {
    case Command::refineSolution:
        co_return co_await refineSolutions();
    case Command::computeExact:
        co_return co_await computeExact();
    default:
        // A view that ends with any other command asks for what no long command does.
        throw std::logic_error("not a long command");
    }
}

Task<> frmCholesky::loadFrom(const SystemOrigin& origin) {
    if (const auto* text = std::get_if<PastedText>(&origin))
        co_await loadText(text->text);
    else if (const auto* file = std::get_if<ChosenFile>(&origin))
        co_await loadFile(file->path);
    else if (const auto* held = std::get_if<HeldInput>(&origin))
        co_await load(held->read, held->name, held->size);
}

Task<> frmCholesky::saveAs(Command id, const SavedFile& file) {
    const bool system = id == Command::saveSystem;
    const SaveTarget target = co_await platform_.chooseSave(file, dialogTitle(id));
    switch (target.kind) {
    case SaveTarget::Kind::cancelled:
        co_return;
    case SaveTarget::Kind::path:
        if (system)
            co_await saveSystemFile(target.path);
        else
            co_await saveResultsFile(target.path);
        co_return;
    case SaveTarget::Kind::download:
        if (system) {
            const LineSink toDownload = [this](std::string_view line) {
                return platform_.writeDownload(line);
            };
            const bool whole = co_await writeSystemLines(toDownload);
            co_return platform_.finishDownload(file, whole);
        }
        const std::string csv = resultsCsv();
        co_await platform_.writeDownload(csv);
        co_return platform_.finishDownload(file, true);
    }
}

} // namespace lse
