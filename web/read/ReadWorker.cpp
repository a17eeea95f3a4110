// The page's reading, run in a Worker: a file or a text in, the system or the reader's refusal
// out, with the same readers as the desktop. The page's thread never parses, and a cancel
// ends the Worker at once.
#include "SystemReader.h"

#include <emscripten.h>

#include <cstdint>
#include <functional>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

lse::io::LinearSystem systemRead;
std::string refusal;
// clang-format off

// The bytes read so far, to the page's progress display.
EM_JS(void, reportProgress, (double bytes), {
    postMessage({ progress: bytes });
});

// clang-format on

// 0: the system is read; 1: refused, with refusal's reason; 2: out of memory.
int readWith(const std::function<lse::io::LinearSystem(const lse::io::ReadOptions&)>& read,
             bool keepWritten) {
    lse::io::ReadOptions options;
    options.keepWritten = keepWritten;
    // A Worker's module has no threads of its own.
    options.threads = 1;
    options.progress = [](std::uint64_t bytes) { reportProgress(static_cast<double>(bytes)); };
    try {
        systemRead = read(options);
        return 0;
    } catch (const lse::io::InputError& error) {
        refusal = error.what();
        return 1;
    } catch (const std::bad_alloc&) {
        return 2;
    }
}

} // namespace

extern "C" {

// The file that the Worker has put at `path` in its memory file system; the numbers as
// written are kept when `keepWritten` is 1, as the form asks.
EMSCRIPTEN_KEEPALIVE int readPath(const char* path, int keepWritten) {
    return readWith([path](const auto& options) { return lse::io::readSystemFile(path, options); },
                    keepWritten != 0);
}

// A text of `size` bytes (UTF-8) at `text`.
EMSCRIPTEN_KEEPALIVE int readText(const char* text, int size, int keepWritten) {
    return readWith(
        [text, size](const auto& options) {
            return lse::io::readSystem(std::string_view(text, static_cast<std::size_t>(size)),
                                       options);
        },
        keepWritten != 0);
}

EMSCRIPTEN_KEEPALIVE const char* refusalText() {
    return refusal.c_str();
}

EMSCRIPTEN_KEEPALIVE int systemOrder() {
    return systemRead.n;
}

// 1 when the input held b, 0 when it held A alone.
EMSCRIPTEN_KEEPALIVE int systemHasB() {
    return systemRead.hasB ? 1 : 0;
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
// texts' (the page is built with the same layout); the flags: bit 0 for b made as row sums,
// bit 1 for a system too large to keep them.
EMSCRIPTEN_KEEPALIVE const void* writtenRecordData() {
    return systemRead.written.records().data();
}
EMSCRIPTEN_KEEPALIVE int writtenRecordBytes() {
    return static_cast<int>(systemRead.written.records().size() *
                            sizeof(lse::WrittenValues::Record));
}
EMSCRIPTEN_KEEPALIVE const char* writtenTextData() {
    return systemRead.written.texts().data();
}
EMSCRIPTEN_KEEPALIVE int writtenTextLength() {
    return static_cast<int>(systemRead.written.texts().size());
}
EMSCRIPTEN_KEEPALIVE int writtenFlags() {
    return (systemRead.written.bIsRowSums ? 1 : 0) | (systemRead.written.dropped ? 2 : 0);
}

EMSCRIPTEN_KEEPALIVE void releaseSystem() {
    systemRead = {};
}

} // extern "C"
