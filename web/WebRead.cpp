// The page's reading: the reading Worker (web/read/) reads the file or text that page.js holds,
// and the command waits for its answers (WebWorkers.h). The Worker's progress reaches the
// form's progress display, and a cancel ends the Worker.
#include "PageAnswer.h"
#include "WebPlatform.h"
#include "WebWorkers.h"

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

namespace lse::web {

namespace {

// Doubles copied in one go: 16 MB, a few milliseconds.
constexpr std::size_t kCopiedAtOnce = std::size_t{1} << 21;
// Bytes of fresh memory touched in one go: 8 MB, some 30 ms.
constexpr std::size_t kTouchedAtOnce = std::size_t{1} << 23;

// Memory the page has never used costs its first touch (the system's page faults): 0.2 s
// of one task for the 72 MB of a system of 3000 equations, zeroed at once by calloc. A block
// of the size the system will take is touched here a slice at a time, with the browser's turn
// between, then given back, where the allocations that follow find it.
Task<> touchFreshMemory(std::size_t bytes) {
    // Called through a volatile pointer, so that the compiler keeps writes that nothing reads.
    static void* (*volatile const zero)(void*, int, std::size_t) = std::memset;
    const std::unique_ptr<char[]> block(new (std::nothrow) char[bytes]);
    if (!block)
        co_return;
    for (std::size_t at = 0; at < bytes; at += kTouchedAtOnce) {
        zero(block.get() + at, 0, std::min(kTouchedAtOnce, bytes - at));
        co_await browserTurn();
    }
}

// The system the Worker read. The browser has its turn after the arrays are allocated (their
// pages are touched for the first time: 60 ms for 3000 equations) and between blocks of rows,
// so that no task of the page's holds its thread for long.
Task<io::LinearSystem> systemOfEvent(const WorkerEvent& event) {
    io::LinearSystem system;
    system.n = event.n;
    const auto order = static_cast<std::size_t>(system.n);
    const auto recordBytes = static_cast<std::size_t>(event.recordBytes);
    const auto textBytes = static_cast<std::size_t>(event.textBytes);
    co_await touchFreshMemory((order + 1) * (order + 2) * sizeof(double) + recordBytes + textBytes);
    system.hasB = event.hasB;
    // Shaped as the readers shape it: one spare column, for Gauss to solve in place.
    system.A.recreate(system.n, system.n, 1);
    system.b.recreate(system.n);
    if (system.n == 0)
        co_return system;
    co_await browserTurn();
    const std::size_t rowBytes = order * sizeof(double);
    const std::size_t block = std::max<std::size_t>(1, kCopiedAtOnce / order);
    for (std::size_t i = 0; i < order; ++i) {
        copyEventBytes(0, i * rowBytes, rowBytes, &system.A(static_cast<int>(i) + 1, 1));
        if ((i + 1) % block == 0 || i + 1 == order)
            co_await browserTurn();
    }
    std::vector<WrittenValues::Record> records(recordBytes / sizeof(WrittenValues::Record));
    std::string texts(textBytes, '\0');
    copyEventBytes(1, 0, rowBytes, &system.b(1));
    copyEventBytes(2, 0, recordBytes, records.data());
    copyEventBytes(3, 0, textBytes, texts.data());
    system.written.bIsRowSums = (event.flags & 1) != 0;
    system.written.dropped = (event.flags & 2) != 0;
    system.written.summedEntries = {static_cast<std::size_t>(std::max(event.summedCount, 0)),
                                    event.summedRow, event.summedColumn};
    if (recordBytes == 0)
        co_return system;
    co_await browserTurn();
    system.written.assign(std::move(records), std::move(texts));
    co_await browserTurn();
    co_return system;
}

} // namespace

Task<io::LinearSystem> ReadInWorker::operator()(const io::ReadOptions& options) const {
    startWorker("lineq-read.js", nullptr, options.keepWritten ? 1 : 0);
    for (;;) {
        // A reply this page does not know is none it can read.
        const WorkerEvent event = (co_await nextWorkerEvent(false))
                                      .value_or(WorkerEvent{.kind = WorkerEvent::Kind::unreadable});
        switch (event.kind) {
        case WorkerEvent::Kind::progress:
            if (options.progress)
                options.progress(static_cast<std::uint64_t>(event.bytes));
            break;
        case WorkerEvent::Kind::done:
            co_return co_await systemOfEvent(event);
        case WorkerEvent::Kind::refused:
        case WorkerEvent::Kind::failed:
            throw io::InputError(event.text.empty() ? "the reader stopped" : event.text);
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
