#pragma once

#include "Messages.h"
#include "Platform.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lse::test {

using ShownMessage = Message;

// A scripted stand-in for the window: text boxes in a map, the check box and option group
// as plain values, input-box replies from a queue (nullopt cancels), and a record of every
// prompt, message and text-box write.
class FakePlatform : public Platform {
public:
    std::map<TextBox, std::string> texts{{TextBox::Textn, "3"}};
    int chkDefault = 1;
    int selectedOption = 1;
    std::deque<std::optional<std::string>> replies;

    std::vector<std::string> prompts;
    std::vector<ShownMessage> messages;
    std::map<TextBox, int> writes;

    std::string readText(TextBox box) const override {
        const auto it = texts.find(box);
        return it == texts.end() ? std::string() : it->second;
    }
    void replaceText(TextBox box, const std::string& text) override {
        texts[box] = text;
        ++writes[box];
    }
    int checkBoxValue(CheckBox) const override { return chkDefault; }
    void setCheckBoxValue(CheckBox, int value) override { chkDefault = value; }
    bool optionValue(OptionArray, SolutionMethod button) const override {
        return static_cast<int>(button) == selectedOption;
    }
    Task<> messageBox(std::string text, MessageStyle style,
                      std::optional<std::string> title) override {
        messages.push_back({std::move(text), style, std::move(title)});
        co_return;
    }
    // Long work runs here and now. The user cancels the runs numbered in cancelRuns (from 1)
    // before their first step, and those in cancelLateRuns as they end, too late for the work
    // to see it; and does duringLongRun (clicks, say) while one runs. A hook of the work's own
    // may cancel it part way through `running`.
    Task<> runLong(LongWork work, WorkStatus& status) override {
        longRuns.push_back(status.title);
        const auto listed = [&](const std::vector<std::size_t>& runs) {
            return std::find(runs.begin(), runs.end(), longRuns.size()) != runs.end();
        };
        if (listed(cancelRuns))
            status.cancel = true;
        if (duringLongRun)
            duringLongRun();
        const auto ended = [&] {
            running = nullptr;
            if (listed(cancelLateRuns))
                status.cancel = true;
        };
        running = &status;
        try {
            co_await work();
        } catch (...) {
            ended();
            throw;
        }
        ended();
        progressShown.emplace_back(status.done, status.total);
    }
    std::vector<std::size_t> cancelRuns;
    std::vector<std::size_t> cancelLateRuns;
    std::function<void()> duringLongRun;
    WorkStatus* running = nullptr;                  // while a long run works
    std::vector<std::string> longRuns;              // their titles, in order
    std::vector<std::pair<int, int>> progressShown; // columns done and total at their end

    // Compute Exact Solution's solver, called within a long run; none by default, as on a
    // platform that has none.
    std::function<std::optional<ExactOutcome>(const ExactProblem&, WorkStatus&)> exactSolver;
    Task<std::optional<ExactOutcome>> solveExact(const ExactProblem& problem,
                                                 WorkStatus& status) override {
        if (!exactSolver)
            co_return std::nullopt;
        co_return exactSolver(problem, status);
    }

    Task<std::optional<std::string>> inputBox(std::string prompt) override {
        prompts.push_back(std::move(prompt));
        if (replies.empty())
            co_return std::nullopt; // a script that runs dry cancels rather than hangs
        std::optional<std::string> reply = replies.front();
        replies.pop_front();
        co_return reply;
    }

    // The commands' primitives: what they found and what they were given.
    std::vector<std::string> clipboard;    // each text put there
    std::optional<SystemOrigin> origin;    // what Paste System or Open System… finds
    SaveTarget saveTarget;                 // where a Save goes
    std::vector<std::string> dialogTitles; // of the dialogs that chose an origin or a target
    std::string downloaded;
    std::vector<bool> downloadsFinished; // whole or not, one for each
    std::vector<View> stepsShown;
    int accuracyShown = 0, accuracyRefreshed = 0;
    // What the user does in an accuracy view before closing it.
    std::function<void()> inAccuracyView;

    void setClipboardText(const std::string& text) override { clipboard.push_back(text); }
    Task<std::optional<SystemOrigin>> systemOrigin(Command, std::string title) override {
        dialogTitles.push_back(std::move(title));
        co_return origin;
    }
    Task<SaveTarget> chooseSave(const SavedFile&, std::string title) override {
        dialogTitles.push_back(std::move(title));
        co_return saveTarget;
    }
    Task<> writeDownload(std::string_view piece) override {
        downloaded += piece;
        co_return;
    }
    void finishDownload(const SavedFile&, bool whole) override {
        downloadsFinished.push_back(whole);
    }
    Task<> showView(const View& view) override {
        if (view.name == "steps") {
            stepsShown.push_back(view);
            co_return;
        }
        ++accuracyShown;
        if (inAccuracyView)
            inAccuracyView();
    }
    void refreshView(const View&) override { ++accuracyRefreshed; }
    double exactTimeFactor() const override { return exactFactor; }
    double exactFactor = 1;

    void reply(const std::vector<std::string>& texts) {
        for (const std::string& text : texts)
            replies.emplace_back(text);
    }
    void cancel() { replies.emplace_back(std::nullopt); }
    std::string text(TextBox box) const { return readText(box); }
};

} // namespace lse::test
