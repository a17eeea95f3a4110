// The page's reading: the reading Worker (web/read/) reads the file or text that page.js holds,
// and the page's thread waits for its answers through Asyncify, as it waits for a box. The
// Worker's progress reaches the form's progress display, and a cancel ends the Worker.
#include "WebPlatform.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <ios>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// What the Worker answered: its progress, or how the reading ended, by the names the Worker's
// replies give them (web/read/worker.js).
enum class ReadEvent { progress, system, refused, outOfMemory, unreadable, cancelled };

constexpr std::pair<std::string_view, ReadEvent> kReadEvents[] = {
    {"progress", ReadEvent::progress},     {"system", ReadEvent::system},
    {"refused", ReadEvent::refused},       {"outOfMemory", ReadEvent::outOfMemory},
    {"unreadable", ReadEvent::unreadable}, {"cancelled", ReadEvent::cancelled},
};

// clang-format off

// `keepWritten`: 1 when the form keeps the numbers as written.
EM_JS(void, startReading, (int keepWritten), {
    lineqPage.startReading(keepWritten !== 0);
});

EM_ASYNC_JS(char*, nextReadEventName, (), {
    return allocateUTF8(await lineqPage.nextReadEvent());
});

// Of the event just answered: the bytes read so far, the order and whether it holds b.
EM_JS(double, readProgress, (), {
    return lineqPage.readEvent().progress;
});
EM_JS(int, readOrder, (), {
    return lineqPage.readEvent().n;
});
EM_JS(int, readHasB, (), {
    return lineqPage.readEvent().hasB ? 1 : 0;
});

// Rows first.. first + count - 1 of A (from 1), row i into `rows` + (i - first) * stride
// doubles.
EM_JS(void, copyReadRows, (int first, int count, double* rows, int stride), {
    const event = lineqPage.readEvent();
    const n = event.n;
    for (let i = 0; i < count; ++i)
        HEAPF64.set(event.a.subarray((first - 1 + i) * n, (first + i) * n), (rows >> 3) + i * stride);
});

// b into `b`; the Worker's arrays are let go.
EM_JS(void, copyReadB, (double* b), {
    const event = lineqPage.readEvent();
    HEAPF64.set(event.b, b >> 3);
    event.a = null;
    event.b = null;
});

// The numbers kept as written: the bytes of their records (WrittenValues::Record), the length
// of their texts, the flags (bit 0: b made as row sums, bit 1: too large to keep them); then
// the records and the texts.
EM_JS(int, readWrittenRecordBytes, (), {
    return lineqPage.readEvent().written.entries.length;
});
EM_JS(int, readWrittenTextLength, (), {
    return lineqPage.readEvent().written.texts.length;
});
EM_JS(int, readWrittenFlags, (), {
    return lineqPage.readEvent().written.flags;
});
EM_JS(void, copyReadWritten, (void* records, char* texts, int textLength), {
    const written = lineqPage.readEvent().written;
    HEAPU8.set(written.entries, records);
    HEAPU8.set(written.texts.subarray(0, textLength), texts);
    written.entries = null;
    written.texts = null;
});

// Writes zeros over bytes [at, at + size) of the page's memory; opaque to the compiler, so that
// the writing stays.
EM_JS(void, touchMemory, (char* at, double size), {
    HEAPU8.fill(0, at, at + size);
});

EM_JS(char*, readRefusal, (), {
    return allocateUTF8(lineqPage.readEvent().text);
});

// clang-format on

} // namespace

namespace lse::web {

namespace {

// Within lse::web, so that Asyncify instruments it (asyncify-only.txt): it waits for the page.
ReadEvent nextReadEvent() {
    const std::unique_ptr<char, decltype(&std::free)> name(nextReadEventName(), &std::free);
    for (const auto& [said, event] : kReadEvents)
        if (said == name.get())
            return event;
    // A reply this page does not know is none it can read.
    return ReadEvent::unreadable;
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
    const std::unique_ptr<char[]> block(new (std::nothrow) char[bytes]);
    if (!block)
        return;
    for (std::size_t at = 0; at < bytes; at += kTouchedAtOnce) {
        touchMemory(block.get() + at, static_cast<double>(std::min(kTouchedAtOnce, bytes - at)));
        emscripten_sleep(0);
    }
}

// The system the Worker read. The browser has its turn after the arrays are allocated (their
// pages are touched for the first time: 60 ms for 3000 equations) and between blocks of rows,
// so that no task of the page's holds its thread for long.
io::LinearSystem systemOfEvent() {
    io::LinearSystem system;
    system.n = readOrder();
    const auto order = static_cast<std::size_t>(system.n);
    const auto recordBytes = static_cast<std::size_t>(readWrittenRecordBytes());
    const auto textBytes = static_cast<std::size_t>(readWrittenTextLength());
    touchFreshMemory((order + 1) * (order + 2) * sizeof(double) + recordBytes + textBytes);
    system.hasB = readHasB() != 0;
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
    copyReadB(&system.b(1));
    const int flags = readWrittenFlags();
    system.written.bIsRowSums = (flags & 1) != 0;
    system.written.dropped = (flags & 2) != 0;
    if (recordBytes == 0)
        return system;
    std::vector<WrittenValues::Record> records(recordBytes / sizeof(WrittenValues::Record));
    std::string texts(textBytes, '\0');
    emscripten_sleep(0);
    copyReadWritten(records.data(), texts.data(), static_cast<int>(texts.size()));
    system.written.assign(std::move(records), std::move(texts));
    emscripten_sleep(0);
    return system;
}

} // namespace

io::LinearSystem ReadInWorker::operator()(const io::ReadOptions& options) const {
    startReading(options.keepWritten ? 1 : 0);
    for (;;) {
        switch (nextReadEvent()) {
        case ReadEvent::progress:
            if (options.progress)
                options.progress(static_cast<std::uint64_t>(readProgress()));
            break;
        case ReadEvent::system:
            return systemOfEvent();
        case ReadEvent::refused: {
            const std::unique_ptr<char, decltype(&std::free)> reason(readRefusal(), &std::free);
            throw io::InputError(reason.get());
        }
        case ReadEvent::outOfMemory:
            throw std::bad_alloc();
        case ReadEvent::unreadable:
            throw std::ios_base::failure("cannot read it");
        case ReadEvent::cancelled:
            throw io::ReadCancelled();
        }
    }
}

} // namespace lse::web
