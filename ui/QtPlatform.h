#pragma once

#include "Platform.h"
#include "WindowLayout.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <string>

namespace lse::ui {

class ViewDialog;
class CommandActions;
class MainWindow;

// Shown as the title of a message or input box that brings none of its own.
inline const QString kProgramTitle = QString::fromUtf8(window::kProgramTitle);

// The platform services on Qt: the window's controls, and message and input boxes modal over
// it. An adapter only: it holds no logic and binds no events.
class QtPlatform final : public Platform {
public:
    explicit QtPlatform(MainWindow& window) : window_(window) {}

    std::string readText(TextBox box) const override;
    void replaceText(TextBox box, const std::string& text) override;
    int checkBoxValue(CheckBox box) const override;
    void setCheckBoxValue(CheckBox box, int value) override;
    bool optionValue(OptionArray array, SolutionMethod button) const override;
    // The boxes, the file dialogs and the views are modal dialogs, which end their tasks before
    // they return.
    Task<> messageBox(std::string text, MessageStyle style,
                      std::optional<std::string> title) override;
    Task<std::optional<std::string>> inputBox(std::string prompt) override;
    // Off the window's thread, where its task must not wait (runAtOnce); the progress dialog
    // once it has run for quietTime.
    Task<> runLong(LongWork work, WorkStatus& status) override;

    // In lineq-exact, run from runLong's thread; a cancel kills it.
    Task<std::optional<ExactOutcome>> solveExact(const ExactProblem& problem,
                                                 WorkStatus& status) override;

    void setClipboardText(const std::string& text) override;
    // The clipboard's text, or the file chosen in a dialog.
    Task<std::optional<SystemOrigin>> systemOrigin(Command command, std::string title) override;
    Task<SaveTarget> chooseSave(const SavedFile& file, std::string title) override;
    Task<> showView(const View& view) override;
    void refreshView(const View& view) override;

    // The actions whose buttons the views show; set by the composition root.
    CommandActions* commands{};

    // The exact solver's program: empty for lineq-exact beside the running program.
    std::string exactProgram;
    // The most address space the exact solve may take, so that it runs out of memory alone
    // rather than pushing the desktop into swap: the machine's memory.
    std::uint64_t exactMemoryLimit = physicalMemory();

    std::chrono::milliseconds quietTime{kQuietTime};

private:
    static std::uint64_t physicalMemory();

    MainWindow& window_;
    ViewDialog* openView_{};
    // Where the last file was opened or saved, where the next dialog starts.
    QString lastFolder_;
};

} // namespace lse::ui
