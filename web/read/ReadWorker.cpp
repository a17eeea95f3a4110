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
// The numbers kept as written, flat for the page: (row, column, length) per number, and
// their texts one after another.
std::vector<int> writtenEntries;
std::string writtenTexts;

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
        const lse::WrittenValues& written = systemRead.written;
        writtenEntries.clear();
        writtenTexts.clear();
        for (std::size_t k = 0; k < written.size(); ++k) {
            const lse::WrittenValues::Entry entry = written[k];
            writtenEntries.insert(writtenEntries.end(),
                                  {entry.row, entry.column, static_cast<int>(entry.text.size())});
            writtenTexts.append(entry.text);
        }
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

// The numbers kept as written: how many; their (row, column, length) triplets; their texts
// and the texts' length; bit 0 for b made as row sums, bit 1 for a system too large to keep
// them.
EMSCRIPTEN_KEEPALIVE int writtenCount() {
    return static_cast<int>(writtenEntries.size() / 3);
}
EMSCRIPTEN_KEEPALIVE const int* writtenEntryData() {
    return writtenEntries.data();
}
EMSCRIPTEN_KEEPALIVE const char* writtenTextData() {
    return writtenTexts.data();
}
EMSCRIPTEN_KEEPALIVE int writtenTextLength() {
    return static_cast<int>(writtenTexts.size());
}
EMSCRIPTEN_KEEPALIVE int writtenFlags() {
    return (systemRead.written.bIsRowSums ? 1 : 0) | (systemRead.written.dropped ? 2 : 0);
}

EMSCRIPTEN_KEEPALIVE void releaseSystem() {
    systemRead = {};
    writtenEntries = {};
    writtenTexts = {};
}

} // extern "C"
