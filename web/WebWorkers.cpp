// The program's side of the page's Workers: a command waits for their events as for a box
// (PageAnswer.h), and copies their arrays out of the page's hands.
#include "WebWorkers.h"

#include "PageAnswer.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>

namespace {

// clang-format off

EM_JS(void, startWorkerRequest, (const char* script, const char* text, int option), {
    lineqPage.startWorker(UTF8ToString(script), text ? UTF8ToString(text) : null, option);
});

EM_JS(void, askWorkerEvent, (int wait, int showNow), {
    lineqPage.answer(wait, lineqPage.nextWorkerEvent(showNow !== 0));
});

EM_JS(void, copyWorkerBytes, (int index, double from, double size, void* to), {
    const arrays = lineqPage.workerEvent().arrays;
    HEAPU8.set(arrays[index].subarray(from, from + size), to);
    if (from + size === arrays[index].length)
        arrays[index] = null;
});

// clang-format on

} // namespace

namespace lse::web {

void startWorker(const char* script, const char* text, int option) {
    startWorkerRequest(script, text, option);
}

Task<std::optional<WorkerEvent>> nextWorkerEvent(bool showNow) {
    const std::optional<std::string> json =
        co_await PageAnswer([showNow](int wait) { askWorkerEvent(wait, showNow ? 1 : 0); });
    if (!json)
        co_return std::nullopt;
    co_return workerEventFromJson(*json);
}

void copyEventBytes(int index, std::size_t from, std::size_t size, void* to) {
    copyWorkerBytes(index, static_cast<double>(from), static_cast<double>(size), to);
}

} // namespace lse::web
