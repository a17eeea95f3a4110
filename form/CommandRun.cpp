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

void frmCholesky::execute(Command id, std::optional<TextBox> box) {
    if (busy_ || !isEnabled(id, *this, box))
        return;
    switch (id) {
    case Command::accuracy:
        return showAccuracy();
    case Command::copySolution:
        return platform_.setClipboardText(solutionCopy(*box).value_or(std::string()));
    case Command::computeExact:
    case Command::refineSolution:
        // From a result box's menu the view opens with what was computed, or failed to be.
        if (!accuracyShown_) {
            runLongCommand(id);
            return showAccuracy();
        }
        if (runLongCommand(id))
            platform_.refreshView(accuracyView(report()));
        return;
    case Command::copyTable:
        return platform_.setClipboardText(accuracyTable());
    case Command::copyText:
        return platform_.setClipboardText(accuracyText());
    case Command::pasteSystem:
    case Command::openSystem:
        if (const std::optional<SystemOrigin> origin = platform_.systemOrigin(id, dialogTitle(id)))
            loadFrom(*origin);
        return;
    case Command::saveSystem:
        return saveAs(id, kSystemFile);
    case Command::saveResults:
        return saveAs(id, kResultsFile);
    case Command::steps:
        // A Calculate leaves A and b as they were, and anything that changes them clears the
        // report.
        platform_.showView(stepsView(*stepsOf(*box), A_, b_, n, report()));
        return;
    }
}

void frmCholesky::showAccuracy() {
    accuracyShown_ = true;
    while (const ViewEnding ending = platform_.showView(accuracyView(report())))
        if (isEnabled(*ending, *this))
            runLongCommand(*ending);
    accuracyShown_ = false;
}

bool frmCholesky::runLongCommand(Command id) {
    switch (id) {
    case Command::refineSolution:
        return refineSolutions();
    case Command::computeExact:
        return computeExact();
    default:
        // A view that ends with any other command asks for what no long command does.
        throw std::logic_error("not a long command");
    }
}

// Without std::visit: the page's Asyncify instruments only the form's own functions, and a
// reading waits for the page beneath this one.
void frmCholesky::loadFrom(const SystemOrigin& origin) {
    if (const auto* text = std::get_if<PastedText>(&origin))
        loadSystemText(text->text);
    else if (const auto* file = std::get_if<ChosenFile>(&origin))
        loadSystemFile(file->path);
    else if (const auto* held = std::get_if<HeldInput>(&origin))
        loadSystemWith(held->read, held->name, held->size);
}

void frmCholesky::saveAs(Command id, const SavedFile& file) {
    const bool system = id == Command::saveSystem;
    const SaveTarget target = platform_.chooseSave(file, dialogTitle(id));
    switch (target.kind) {
    case SaveTarget::Kind::cancelled:
        return;
    case SaveTarget::Kind::path:
        system ? saveSystemFile(target.path) : saveResultsFile(target.path);
        return;
    case SaveTarget::Kind::download:
        if (system) {
            const bool whole =
                writeSystemLines([this](std::string_view line) { platform_.writeDownload(line); });
            return platform_.finishDownload(file, whole);
        }
        platform_.writeDownload(resultsCsv());
        return platform_.finishDownload(file, true);
    }
}

} // namespace lse
