#include "PageAnswer.h"

#include <emscripten.h>

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

void PageAnswer::answer(int wait, char* reply) {
    const auto found = waiting().find(wait);
    if (found == waiting().end()) {
        std::free(reply);
        return;
    }
    PageAnswer& answered = *found->second;
    waiting().erase(found);
    answered.reply_.reset(reply);
    answered.awaiting_.resume();
}

PageAnswer browserTurn() {
    return PageAnswer(answerAfterTurn);
}

} // namespace lse::web

extern "C" {

// The page's answer to the program's wait `wait` (page/program.js, answer).
EMSCRIPTEN_KEEPALIVE void resumeWait(int wait, char* reply) {
    lse::web::PageAnswer::answer(wait, reply);
}

} // extern "C"
