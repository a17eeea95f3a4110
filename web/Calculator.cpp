// The program in the browser put together: the page's platform services and the equation
// logic, with the page's two buttons, its paste, Ctrl+O, drops and the result boxes' commands
// bound to the logic (by page.js, which calls the functions below and waits for them).
#include "Commands.h"
#include "PageMarkup.h"
#include "StepsText.h"
#include "WebPlatform.h"
#include "frmCholesky.h"

#include <emscripten.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

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

const lse::MethodEntry* stepsMethod(const char* boxId) {
    const std::optional<lse::TextBox> box = lse::web::textBoxWithId(boxId);
    return box ? calculator().form.stepsOf(*box) : nullptr;
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void submitClick() {
    calculator().form.submit_but_Click();
}

EMSCRIPTEN_KEEPALIVE void startClick() {
    calculator().form.Start_Click();
}

// A paste or a dropped text of `size` characters, or a file chosen with Ctrl+O or dropped,
// called `name` and of `size` bytes: page.js holds it for the reading Worker, which reads it
// while the form waits.
EMSCRIPTEN_KEEPALIVE void pasteSystem(double size) {
    calculator().form.loadSystemWith(lse::web::ReadInWorker{}, {},
                                     static_cast<std::uint64_t>(size));
}

EMSCRIPTEN_KEEPALIVE void openSystem(const char* name, double size) {
    calculator().form.loadSystemWith(lse::web::ReadInWorker{}, name,
                                     static_cast<std::uint64_t>(size));
}

// Lines first.. first + count - 1 of the text in the box with id `boxId`, for the lines the
// page shows of a large text; valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* boxLines(const char* boxId, int first, int count) {
    static std::string text;
    const std::optional<lse::TextBox> box = lse::web::textBoxWithId(boxId);
    text = box ? calculator().platform.boxLines(*box, first, count) : std::string();
    return text.c_str();
}

// The accuracy view's text for the last Calculate; valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* accuracyText() {
    static std::string text;
    text = calculator().form.accuracyText();
    return text.c_str();
}

// The same side by side, as the view's tables (PageMarkup.h).
EMSCRIPTEN_KEEPALIVE const char* comparisonMarkup() {
    static std::string text;
    text = lse::web::comparisonMarkup(calculator().form.report());
    return text.c_str();
}

// Rows first + 1 .. first + count of the table of the unknowns, as they come into sight.
EMSCRIPTEN_KEEPALIVE const char* comparisonRows(int first, int count) {
    static std::string text;
    text = lse::web::comparisonRowsMarkup(calculator().form.report(), first, count);
    return text.c_str();
}

// The same figures (and exact table) as tab-separated values, for a spreadsheet.
EMSCRIPTEN_KEEPALIVE const char* accuracyTable() {
    static std::string text;
    text = calculator().form.accuracyTable();
    return text.c_str();
}

// Save System: hands the page the system's text a line at a time for its download, with the
// browser's turn between lines every 25 ms, as the desktop writes it off the window's thread; 1
// when it is whole, 0 when cancelled.
EMSCRIPTEN_KEEPALIVE int saveSystem() {
    return calculator().form.writeSystemLines(lse::web::DownloadLines{}) ? 1 : 0;
}

// Save Results: the text the page downloads (a row per unknown); valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* resultsCsv() {
    static std::string text;
    text = calculator().form.resultsCsv();
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

// Steps…: the title and the text of the view for the method whose box has this id, or null
// when it did not run in the last Calculate. Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* stepsTitle(const char* boxId) {
    static std::string text;
    const lse::MethodEntry* const method = stepsMethod(boxId);
    if (method == nullptr)
        return nullptr;
    text = lse::stepsTitle(*method);
    return text.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* stepsText(const char* boxId) {
    static std::string text;
    const lse::MethodEntry* const method = stepsMethod(boxId);
    if (method == nullptr)
        return nullptr;
    text = calculator().form.stepsText(*method);
    return text.c_str();
}

// The view's columns (frmCholesky::stepsColumns): "0" the steps in doubles, "1" those in exact
// fractions beside them, or null when there are none. Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* stepsColumn(const char* boxId, const char* which) {
    static std::string text;
    const lse::MethodEntry* const method = stepsMethod(boxId);
    if (method == nullptr)
        return nullptr;
    auto [doubles, fractions] = calculator().form.stepsColumns(*method);
    text = std::move(std::string_view(which) == "0" ? doubles : fractions);
    return text.empty() ? nullptr : text.c_str();
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
