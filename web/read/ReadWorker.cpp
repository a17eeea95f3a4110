// The page's reading, run in a Worker (web/page/worker.js): a file or a text in, the system or
// the reader's refusal out, with the same readers as the desktop. The page's thread never
// parses, and a cancel ends the Worker at once.
#include "SystemReader.h"
#include "WorkerEvent.h"

#include <emscripten.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

namespace {

using lse::web::WorkerEvent;

lse::io::LinearSystem systemRead;
// clang-format off

// How far the reading is, or how it ended, to the page (WorkerEvent.h).
EM_JS(void, postEvent, (const char* json), {
    postMessage(JSON.parse(UTF8ToString(json)));
});

// clang-format on

} // namespace

extern "C" {

// The input the Worker has put at /input in its memory file system (a file or a text), read
// with the numbers as written kept when `keepWritten` is 1, as the form asks: done with the
// system's order and sizes and its arrays (A's rows from 1 one after another, b, the records
// and texts of the numbers as written: WrittenValues's bytes, the page being built with the
// same layout), or why not. Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* answer(int keepWritten) {
    static std::string ending;
    lse::io::ReadOptions options;
    options.keepWritten = keepWritten != 0;
    // A Worker's module has no threads of its own.
    options.threads = 1;
    options.progress = [](std::uint64_t bytes) {
        const WorkerEvent progress{.kind = WorkerEvent::Kind::progress,
                                   .bytes = static_cast<double>(bytes)};
        postEvent(toJson(progress).c_str());
    };
    WorkerEvent event;
    try {
        systemRead = lse::io::readSystemFile("/input", options);
        const int n = systemRead.n;
        const auto order = static_cast<std::size_t>(n);
        // A's rows moved together, each over the spare room at the end of the one before.
        double* const rows = n > 0 ? &systemRead.A(1, 1) : nullptr;
        for (int i = 2; i <= n; ++i)
            std::memmove(rows + static_cast<std::size_t>(i - 1) * order, &systemRead.A(i, 1),
                         order * sizeof(double));
        const lse::WrittenValues& written = systemRead.written;
        const std::size_t recordBytes =
            written.records().size() * sizeof(lse::WrittenValues::Record);
        event = {.kind = WorkerEvent::Kind::done,
                 .n = n,
                 .hasB = systemRead.hasB,
                 .recordBytes = static_cast<double>(recordBytes),
                 .textBytes = static_cast<double>(written.texts().size()),
                 .flags = (written.bIsRowSums ? 1 : 0) | (written.dropped ? 2 : 0),
                 .summedCount = static_cast<int>(written.summedEntries.count),
                 .summedRow = written.summedEntries.row,
                 .summedColumn = written.summedEntries.column,
                 .arrays = {{rows, order * order * sizeof(double)},
                            {n > 0 ? &systemRead.b(1) : nullptr, order * sizeof(double)},
                            {written.records().data(), recordBytes},
                            {written.texts().data(), written.texts().size()}}};
    } catch (const lse::io::InputError& error) {
        event = {.kind = WorkerEvent::Kind::refused, .text = error.what()};
    } catch (const std::bad_alloc&) {
        event.kind = WorkerEvent::Kind::outOfMemory;
    }
    ending = toJson(event);
    return ending.c_str();
}

} // extern "C"
