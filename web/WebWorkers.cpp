// The program's side of the page's Workers: it waits for their events through Asyncify, as for
// a box, and copies their arrays out of the page's hands.
#include "WebWorkers.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>

namespace {

// clang-format off

EM_JS(void, startWorkerRequest, (const char* script, const char* text, int option), {
    lineqPage.startWorker(UTF8ToString(script), text ? UTF8ToString(text) : null, option);
});

EM_ASYNC_JS(char*, nextWorkerEventJson, (int showNow), {
    return allocateUTF8(await lineqPage.nextWorkerEvent(showNow !== 0));
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

// Within lse::web, so that Asyncify instruments it (asyncify-only.txt): it waits for the page.
std::optional<WorkerEvent> nextWorkerEvent(bool showNow) {
    const std::unique_ptr<char, decltype(&std::free)> json(nextWorkerEventJson(showNow ? 1 : 0),
                                                           &std::free);
    return workerEventFromJson(json.get());
}

void copyEventBytes(int index, std::size_t from, std::size_t size, void* to) {
    copyWorkerBytes(index, static_cast<double>(from), static_cast<double>(size), to);
}

} // namespace lse::web
