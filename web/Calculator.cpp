// The program in the browser put together: the page's platform services and the equation
// logic, with the page's two buttons, its paste, Ctrl+O, drops and the result boxes' commands
// bound to the logic (by page.js, which calls the functions below and waits for them).
#include "Commands.h"
#include "PageMarkup.h"
#include "WebPlatform.h"
#include "frmCholesky.h"

#include <emscripten.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace {

struct Calculator {
    Calculator() {
        // A page opened from a file gets no shared memory, so no second thread.
        form.solveOptions.threads = 1;
    }

    lse::web::WebPlatform platform;
    lse::frmCholesky form{platform};
};

Calculator& calculator() {
    static Calculator instance;
    return instance;
}

} // namespace

extern "C" {

// The window's button with id `id` (submit_but, Start), as a click or Space presses it.
EMSCRIPTEN_KEEPALIVE void pressButton(const char* id) {
    const std::string_view button = id;
    if (button == "submit_but")
        calculator().form.submit_but_Click();
    else if (button == "Start")
        calculator().form.Start_Click();
}

// Lines first.. first + count - 1 of the long text on the view with id `viewId` (a box's or
// the steps view's) as the page lays them out: a JSON array (lse::viewLinesJson). Valid until
// the next call.
EMSCRIPTEN_KEEPALIVE const char* boxLines(const char* viewId, int first, int count) {
    static std::string text;
    text = calculator().platform.viewLines(viewId, first, count);
    return text.c_str();
}

// Rows first + 1 .. first + count of the table of the unknowns, as they come into sight.
EMSCRIPTEN_KEEPALIVE const char* comparisonRows(int first, int count) {
    static std::string text;
    text =
        lse::web::rowsMarkup(lse::comparisonTable(calculator().form.report()), first, count, true);
    return text.c_str();
}

// The progress box's line for the long work that runs, `elapsedMs` after it began; valid until
// the next call.
EMSCRIPTEN_KEEPALIVE const char* progressText(double elapsedMs) {
    static std::string text;
    text = calculator().platform.progressText(
        std::chrono::milliseconds(static_cast<long long>(elapsedMs)));
    return text.c_str();
}

// The declared command called `name`, for the result box with id `boxId` (empty: none), as
// its key or button runs it: Paste System and Open System… read the input page.js holds.
EMSCRIPTEN_KEEPALIVE void runCommand(const char* name, const char* boxId) {
    if (const lse::CommandDeclaration* command = lse::findCommand(name))
        calculator().form.execute(command->id, lse::web::textBoxWithId(boxId));
}

// The declared commands that have something to do now, as a JSON array of their names; a
// result box's command as asked for the box with id `boxId` (empty: none). Valid until the
// next call.
EMSCRIPTEN_KEEPALIVE const char* enabledCommands(const char* boxId) {
    static std::string names;
    const std::optional<lse::TextBox> box = lse::web::textBoxWithId(boxId);
    names = "[";
    for (const lse::CommandDeclaration& command : lse::commands())
        if (command.enabled(calculator().form, box))
            names += (names.size() > 1 ? ",\"" : "\"") + std::string(command.name) + "\"";
    names += "]";
    return names.c_str();
}

} // extern "C"

int main() {
    calculator();
    return 0;
}
