// The program in the browser put together: the page's platform services and the equation
// logic, with the page's two buttons, the commands' keys and buttons, its paste, drops and
// Ctrl+O bound to the logic (by page.js, which calls the functions below, and hears when a
// command that waited has ended).
#include "Commands.h"
#include "PageMarkup.h"
#include "WebPlatform.h"
#include "frmCholesky.h"

#include <emscripten.h>
#include <emscripten/bind.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace {

struct Calculator {
    Calculator() {
        // A page opened from a file gets no shared memory, so no second thread.
        form.solveOptions.threads = 1;
        platform.setForm(form);
    }

    lse::web::WebPlatform platform;
    lse::frmCholesky form{platform};
};

Calculator& calculator() {
    static Calculator instance;
    return instance;
}

// clang-format off
EM_JS(void, commandEnded, (int token), {
    lineqPage.commandEnded(token);
});
// clang-format on

// The element with id `id` as a result box, where a result box's command acts; or none.
std::optional<lse::TextBox> resultBoxWithId(std::string_view id) {
    const std::optional<lse::TextBox> box = lse::web::textBoxWithId(id);
    for (const lse::TextBox result : lse::resultBoxes())
        if (box == result)
            return box;
    return std::nullopt;
}

// A text for the page, or null.
emscripten::val textOrNull(const std::optional<std::string>& text) {
    return text ? emscripten::val(*text) : emscripten::val::null();
}

// Lines first.. first + count - 1 of the long text on the view with id `viewId` (a box's or
// the steps view's) as the page lays them out: a JSON array (lse::viewLinesJson).
std::string boxLines(const std::string& viewId, int first, int count) {
    return calculator().platform.viewLines(viewId, first, count);
}

// The whole of that text, as a copy takes it.
std::string boxText(const std::string& viewId) {
    return calculator().platform.viewText(viewId);
}

// The rows to show of the open view's table `table` (counted from 0), as RowWindow gives them,
// or null while those shown serve.
emscripten::val viewRows(int table, double into, double inSight, double rowHeight) {
    return textOrNull(calculator().platform.viewRows(table, into, inSight, rowHeight));
}

// The progress box's line for the long work that runs, `elapsedMs` after it began.
std::string progressText(double elapsedMs) {
    return calculator().platform.progressText(
        std::chrono::milliseconds(static_cast<long long>(elapsedMs)));
}

// The window's button with id `name` (submit_but, Start), as a click or Space presses it, or
// the declared command called so, for the element with id `boxId` where a result box's
// command acts for that box's method: Paste System and Open System… read the input page.js
// holds. The command runs as far as it can at once; when it has ended, at once or after what
// it waited for, the page hears commandEnded(token) (none for 0), also where it ran nothing.
void runCommand(const std::string& name, const std::string& boxId, int token) {
    Calculator& c = calculator();
    std::optional<lse::CommandRun> run;
    if (name == "submit_but")
        run = c.form.submit_but_Click();
    else if (name == "Start")
        run = c.form.Start_Click();
    else if (const lse::CommandDeclaration* command = lse::findCommand(name))
        run = c.form.execute(command->id, resultBoxWithId(boxId));
    const auto ended = [token] {
        if (token != 0)
            commandEnded(token);
    };
    if (run)
        run->whenEnded(ended);
    else
        ended();
}

// The declared command whose key this is, pressed in the element with id `targetId` (`key`
// and `code` as the browser names them; `ctrl`: Ctrl or Cmd): its name when it has something
// to do, "" when it has not, null when the key is no command's.
emscripten::val commandOfKey(const std::string& key, const std::string& code, bool ctrl, bool shift,
                             bool alt, const std::string& targetId) {
    const std::optional<lse::TextBox> box = resultBoxWithId(targetId);
    const lse::CommandDeclaration* command =
        lse::commandOfKey({key, code, ctrl, shift, alt}, box.has_value());
    if (command == nullptr)
        return emscripten::val::null();
    return emscripten::val(command->enabled(calculator().form, box) ? std::string(command->name)
                                                                    : std::string());
}

} // namespace

// What the page calls, each returning at once, also while a command waits.
EMSCRIPTEN_BINDINGS(lineq) {
    emscripten::function("boxLines", &boxLines);
    emscripten::function("boxText", &boxText);
    emscripten::function("viewRows", &viewRows);
    emscripten::function("progressText", &progressText);
    emscripten::function("runCommand", &runCommand);
    emscripten::function("commandOfKey", &commandOfKey);
}

int main() {
    calculator();
    return 0;
}
