// The program in the browser put together: the page's platform services and the equation
// logic, with the page's two buttons, its paste, Ctrl+O, drops and the result boxes' commands
// bound to the logic (by page.js, which calls the functions below and waits for them).
#include "Commands.h"
#include "Messages.h"
#include "WebPlatform.h"
#include "frmCholesky.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>
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

void showMessage(const lse::Message& message) {
    calculator().platform.messageBox(message.text, message.style, message.title);
}

// clang-format off

// The text pasted or dropped, which the page holds until it is taken, as UTF-8 with its
// length: it may be megabytes (more than the stack that a string argument would be copied
// to) and may hold a NUL.
EM_JS(char*, takeSystemText, (int* length), {
    const text = lineqPage.takeSystemText();
    const size = lengthBytesUTF8(text);
    const bytes = _malloc(size + 1);
    if (bytes === 0)
        return 0;
    stringToUTF8(text, bytes, size + 1);
    HEAP32[length >> 2] = size;
    return bytes;
});

// clang-format on

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void submitClick() {
    calculator().form.submit_but_Click();
}

EMSCRIPTEN_KEEPALIVE void startClick() {
    calculator().form.Start_Click();
}

// A paste or a dropped text.
EMSCRIPTEN_KEEPALIVE void pasteSystem() {
    int length = 0;
    const std::unique_ptr<char, decltype(&std::free)> text(takeSystemText(&length), &std::free);
    if (!text) {
        showMessage(lse::messages::unreadableSystem("not enough memory to read it"));
        return;
    }
    calculator().form.loadSystemText(std::string_view(text.get(), length));
}

// A file chosen with Ctrl+O or dropped, which the page has put at `path` in the program's
// memory file system under the name the user knows it by.
EMSCRIPTEN_KEEPALIVE void openSystem(const char* path) {
    calculator().form.loadSystemFile(path);
}

// A file chosen or dropped that the browser could not read.
EMSCRIPTEN_KEEPALIVE void refuseSystemFile(const char* name) {
    showMessage(lse::messages::unreadableSystem("cannot read it", name));
}

// The accuracy view's text for the last Calculate; valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* accuracyText() {
    static std::string text;
    text = calculator().form.accuracyText();
    return text.c_str();
}

// The same figures (and exact table) as tab-separated values, for a spreadsheet.
EMSCRIPTEN_KEEPALIVE const char* accuracyTable() {
    static std::string text;
    text = calculator().form.accuracyTable();
    return text.c_str();
}

// Copy Solution: the doubles of the method whose box has this id, or null when the box shows
// no solution. Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* solutionText(const char* boxId) {
    static std::string text;
    const std::optional<lse::TextBox> box = lse::web::textBoxWithId(boxId);
    const std::optional<std::string> copy =
        box ? calculator().form.solutionCopy(*box) : std::nullopt;
    if (!copy)
        return nullptr;
    text = *copy;
    return text.c_str();
}

// The declared commands that have something to do now, by name, space-separated; a result
// box's command as asked for the box with id `boxId` (empty: none). Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* enabledCommands(const char* boxId) {
    static std::string names;
    const std::optional<lse::TextBox> box = lse::web::textBoxWithId(boxId);
    names.clear();
    for (const lse::CommandDeclaration& command : lse::commands())
        if (command.enabled(calculator().form, box))
            names += (names.empty() ? "" : " ") + std::string(command.name);
    return names.c_str();
}

// Compute Exact Solution for the last Calculate; 1 when the accuracy view has more to show.
EMSCRIPTEN_KEEPALIVE int computeExact() {
    return calculator().form.computeExact() ? 1 : 0;
}

} // extern "C"

int main() {
    calculator();
    return 0;
}
