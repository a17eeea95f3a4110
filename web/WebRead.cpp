// The page's reading: the reading Worker (web/read/) reads the file or text that page.js holds,
// and the page's thread waits for its answers through Asyncify, as it waits for a box. The
// Worker's progress reaches the form's progress display, and a cancel ends the Worker.
#include "WebPlatform.h"
#include "WorkerEvent.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ios>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using lse::web::WorkerEvent;

// clang-format off

// `keepWritten`: 1 when the form keeps the numbers as written.
EM_JS(void, startReading, (int keepWritten), {
    lineqPage.startReading(keepWritten !== 0);
});

// The Worker's next event as JSON (WorkerEvent.h), its arrays kept by the page for the copies
// below.
EM_ASYNC_JS(char*, nextReadEventJson, (), {
    return allocateUTF8(await lineqPage.nextReadEvent());
});

// Rows first.. first + count - 1 of A (from 1), row i into `rows` + (i - first) * stride
// doubles.
EM_JS(void, copyReadRows, (int first, int count, double* rows, int stride), {
    const event = lineqPage.readEvent();
    const n = event.n;
    for (let i = 0; i < count; ++i)
        HEAPF64.set(event.a.subarray((first - 1 + i) * n, (first + i) * n), (rows >> 3) + i * stride);
});

// b into `b`, and the numbers kept as written: their records (WrittenValues::Record) and
// texts; the Worker's arrays are let go.
EM_JS(void, copyReadRest, (double* b, void* records, char* texts), {
    const event = lineqPage.readEvent();
    HEAPF64.set(event.b, b >> 3);
    HEAPU8.set(event.entries, records);
    HEAPU8.set(event.texts, texts);
    for (const array of ["a", "b", "entries", "texts"])
        event[array] = null;
});

// clang-format on

} // namespace

namespace lse::web {

namespace {

// Within lse::web, so that Asyncify instruments it (asyncify-only.txt): it waits for the page.
WorkerEvent nextReadEvent() {
    const std::unique_ptr<char, decltype(&std::free)> json(nextReadEventJson(), &std::free);
    // A reply this page does not know is none it can read.
    return workerEventFromJson(json.get())
        .value_or(WorkerEvent{.kind = WorkerEvent::Kind::unreadable});
}

// Doubles copied in one go: 16 MB, a few milliseconds.
constexpr long kCopiedAtOnce = 1L << 21;
// Bytes of fresh memory touched in one go: 8 MB, some 30 ms.
constexpr std::size_t kTouchedAtOnce = std::size_t{1} << 23;

// Memory the page has never used costs its first touch (the system's page faults): 0.2 s
// of one task for the 72 MB of a system of 3000 equations, zeroed at once by calloc. A block
// of the size the system will take is touched here a slice at a time, with the browser's turn
// between, then given back, where the allocations that follow find it.
void touchFreshMemory(std::size_t bytes) {
    // Called through a volatile pointer, so that the compiler keeps writes that nothing reads.
    static void* (*volatile const zero)(void*, int, std::size_t) = std::memset;
    const std::unique_ptr<char[]> block(new (std::nothrow) char[bytes]);
    if (!block)
        return;
    for (std::size_t at = 0; at < bytes; at += kTouchedAtOnce) {
        zero(block.get() + at, 0, std::min(kTouchedAtOnce, bytes - at));
        emscripten_sleep(0);
    }
}

// The system the Worker read. The browser has its turn after the arrays are allocated (their
// pages are touched for the first time: 60 ms for 3000 equations) and between blocks of rows,
// so that no task of the page's holds its thread for long.
io::LinearSystem systemOfEvent(const WorkerEvent& event) {
    io::LinearSystem system;
    system.n = event.n;
    const auto order = static_cast<std::size_t>(system.n);
    const auto recordBytes = static_cast<std::size_t>(event.recordBytes);
    const auto textBytes = static_cast<std::size_t>(event.textBytes);
    touchFreshMemory((order + 1) * (order + 2) * sizeof(double) + recordBytes + textBytes);
    system.hasB = event.hasB;
    // Shaped as the readers shape it: one spare column, for Gauss to solve in place.
    system.A.recreate(system.n, system.n, 1);
    system.b.recreate(system.n);
    if (system.n == 0)
        return system;
    emscripten_sleep(0);
    const int block = static_cast<int>(std::max<long>(1, kCopiedAtOnce / system.n));
    for (int first = 1; first <= system.n; first += block) {
        copyReadRows(first, std::min(block, system.n - first + 1), &system.A(first, 1),
                     static_cast<int>(system.A.stride()));
        emscripten_sleep(0);
    }
    std::vector<WrittenValues::Record> records(recordBytes / sizeof(WrittenValues::Record));
    std::string texts(textBytes, '\0');
    copyReadRest(&system.b(1), records.data(), texts.data());
    system.written.bIsRowSums = (event.flags & 1) != 0;
    system.written.dropped = (event.flags & 2) != 0;
    if (recordBytes == 0)
        return system;
    emscripten_sleep(0);
    system.written.assign(std::move(records), std::move(texts));
    emscripten_sleep(0);
    return system;
}

} // namespace

io::LinearSystem ReadInWorker::operator()(const io::ReadOptions& options) const {
    startReading(options.keepWritten ? 1 : 0);
    for (;;) {
        const WorkerEvent event = nextReadEvent();
        switch (event.kind) {
        case WorkerEvent::Kind::progress:
            if (options.progress)
                options.progress(static_cast<std::uint64_t>(event.bytes));
            break;
        case WorkerEvent::Kind::done:
            return systemOfEvent(event);
        case WorkerEvent::Kind::refused:
        case WorkerEvent::Kind::failed:
            throw io::InputError(event.text);
        case WorkerEvent::Kind::outOfMemory:
            throw std::bad_alloc();
        case WorkerEvent::Kind::unreadable:
            throw std::ios_base::failure("cannot read it");
        case WorkerEvent::Kind::cancelled:
            throw io::ReadCancelled();
        }
    }
}

} // namespace lse::web
