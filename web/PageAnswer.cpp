#include "PageAnswer.h"

#include <emscripten.h>
#include <emscripten/bind.h>

#include <map>

namespace {

// clang-format off
EM_JS(void, answerAfterTurn, (int wait), {
    lineqPage.answer(wait, new Promise((resolve) => setTimeout(() => resolve(null))));
});
// clang-format on

// The commands' waits by number; a command waits for one answer at a time, and a command
// started from an open view may wait beside the view's.
std::map<int, lse::web::PageAnswer*>& waiting() {
    static std::map<int, lse::web::PageAnswer*> table;
    return table;
}

} // namespace

namespace lse::web {

void PageAnswer::await_suspend(coro::coroutine_handle<> awaiting) {
    static int lastWait = 0;
    const int wait = ++lastWait;
    awaiting_ = awaiting;
    waiting()[wait] = this;
    ask_(wait);
}

void PageAnswer::answer(int wait, std::optional<std::string> reply) {
    const auto found = waiting().find(wait);
    if (found == waiting().end())
        return;
    PageAnswer& answered = *found->second;
    waiting().erase(found);
    answered.reply_ = std::move(reply);
    answered.awaiting_.resume();
}

PageAnswer browserTurn() {
    return PageAnswer(answerAfterTurn);
}

} // namespace lse::web

namespace {

// The page's answer to the program's wait `wait` (page/program.js, answer): a text, or null.
void resumeWait(int wait, const emscripten::val& reply) {
    lse::web::PageAnswer::answer(wait, reply.isNull() ? std::nullopt
                                                      : std::optional(reply.as<std::string>()));
}

} // namespace

EMSCRIPTEN_BINDINGS(lineq_answers) {
    emscripten::function("resumeWait", &resumeWait);
}
