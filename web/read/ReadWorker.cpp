// The page's reading, run in a Worker: a file or a text in, the system or the reader's refusal
// out, with the same readers as the desktop. The page's thread never parses, and a cancel
// ends the Worker at once.
#include "SystemReader.h"
#include "WorkerEvent.h"

#include <emscripten.h>

#include <cstdint>
#include <functional>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

using lse::web::WorkerEvent;

lse::io::LinearSystem systemRead;
// clang-format off

// How far the reading is, or how it ended, to the page (WorkerEvent.h).
EM_JS(void, postEvent, (const char* json), {
    postMessage(JSON.parse(UTF8ToString(json)));
});

// clang-format on

// Done with the system's order and sizes, which the system follows; or why not. Valid until
// the next call.
const char* readWith(const std::function<lse::io::LinearSystem(const lse::io::ReadOptions&)>& read,
                     bool keepWritten) {
    static std::string ending;
    lse::io::ReadOptions options;
    options.keepWritten = keepWritten;
    // A Worker's module has no threads of its own.
    options.threads = 1;
    options.progress = [](std::uint64_t bytes) {
        const WorkerEvent progress{.kind = WorkerEvent::Kind::progress,
                                   .bytes = static_cast<double>(bytes)};
        postEvent(toJson(progress).c_str());
    };
    WorkerEvent event;
    try {
        systemRead = read(options);
        const lse::WrittenValues& written = systemRead.written;
        event = {.kind = WorkerEvent::Kind::done,
                 .n = systemRead.n,
                 .hasB = systemRead.hasB,
                 .recordBytes = static_cast<double>(written.records().size() *
                                                    sizeof(lse::WrittenValues::Record)),
                 .textBytes = static_cast<double>(written.texts().size()),
                 .flags = (written.bIsRowSums ? 1 : 0) | (written.dropped ? 2 : 0)};
    } catch (const lse::io::InputError& error) {
        event = {.kind = WorkerEvent::Kind::refused, .text = error.what()};
    } catch (const std::bad_alloc&) {
        event.kind = WorkerEvent::Kind::outOfMemory;
    }
    ending = toJson(event);
    return ending.c_str();
}

} // namespace

extern "C" {

// The file that the Worker has put at `path` in its memory file system; the numbers as
// written are kept when `keepWritten` is 1, as the form asks.
EMSCRIPTEN_KEEPALIVE const char* readPath(const char* path, int keepWritten) {
    return readWith([path](const auto& options) { return lse::io::readSystemFile(path, options); },
                    keepWritten != 0);
}

// A text of `size` bytes (UTF-8) at `text`.
EMSCRIPTEN_KEEPALIVE const char* readText(const char* text, int size, int keepWritten) {
    return readWith(
        [text, size](const auto& options) {
            return lse::io::readSystem(std::string_view(text, static_cast<std::size_t>(size)),
                                       options);
        },
        keepWritten != 0);
}

// A(i, 1..n), contiguous.
EMSCRIPTEN_KEEPALIVE const double* systemRow(int i) {
    return &systemRead.A(i, 1);
}

// b(1..n), contiguous.
EMSCRIPTEN_KEEPALIVE const double* systemB() {
    return &systemRead.b(1);
}

// The numbers kept as written, as WrittenValues holds them: the records' bytes and the
// texts' (the page is built with the same layout).
EMSCRIPTEN_KEEPALIVE const void* writtenRecordData() {
    return systemRead.written.records().data();
}
EMSCRIPTEN_KEEPALIVE const char* writtenTextData() {
    return systemRead.written.texts().data();
}

EMSCRIPTEN_KEEPALIVE void releaseSystem() {
    systemRead = {};
}

} // extern "C"
