// The page's reading: the reading Worker (web/read/) reads the file or text that page.js holds,
// and the page's thread waits for its answers through Asyncify, as it waits for a box. The
// Worker's progress reaches the form's progress display, and a cancel ends the Worker.
#include "WebPlatform.h"

#include <emscripten.h>

#include <cstdlib>
#include <ios>
#include <memory>
#include <new>
#include <string>

namespace {

// What the Worker answered, as lineqPage.nextReadEvent gives it.
enum class ReadEvent {
    progress = 0,
    system = 1,
    refused = 2,
    outOfMemory = 3,
    unreadable = 4,
    cancelled = 5
};

// clang-format off

EM_JS(void, startReading, (), {
    lineqPage.startReading();
});

EM_ASYNC_JS(int, nextReadEvent, (), {
    return await lineqPage.nextReadEvent();
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

// Row i of A into `rows` + (i - 1) * stride doubles, and b into `b`; the Worker's arrays are
// let go.
EM_JS(void, copyReadSystem, (double* rows, int stride, double* b), {
    const event = lineqPage.readEvent();
    const n = event.n;
    for (let i = 0; i < n; ++i)
        HEAPF64.set(event.a.subarray(i * n, (i + 1) * n), (rows >> 3) + i * stride);
    HEAPF64.set(event.b, b >> 3);
    event.a = null;
    event.b = null;
});

EM_JS(char*, readRefusal, (), {
    return allocateUTF8(lineqPage.readEvent().text);
});

// clang-format on

lse::io::LinearSystem systemOfEvent() {
    lse::io::LinearSystem system;
    system.n = readOrder();
    system.hasB = readHasB() != 0;
    // Shaped as the readers shape it: one spare column, for Gauss to solve in place.
    system.A.recreate(system.n, system.n, 1);
    system.b.recreate(system.n);
    if (system.n > 0)
        copyReadSystem(&system.A(1, 1), static_cast<int>(system.A.stride()), &system.b(1));
    return system;
}

} // namespace

namespace lse::web {

io::LinearSystem ReadInWorker::operator()(const io::ReadOptions& options) const {
    startReading();
    for (;;) {
        switch (static_cast<ReadEvent>(nextReadEvent())) {
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
