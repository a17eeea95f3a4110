// A reading asked to stop ends as cancelled, and soon: from memory, a file and a pipe, in
// every layout, with and without helper threads. (One never asked reads as before: the
// streaming tests and the reader fuzzer compare every path, memory in pieces included.)
#include "LargeInputs.h"
#include "ReadFromSource.h"
#include "SystemTexts.h"
#include "TrickleSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <optional>

using namespace lse;
using namespace lse::io;
using namespace lse::test;

namespace {

constexpr int kOrder = 600;
constexpr std::size_t kBuffer = std::size_t{16} << 10;
constexpr std::size_t kTrickle = 5000; // what the source gives at a time

enum class Path { memory, file, pipe };
constexpr Path kEveryPath[] = {Path::memory, Path::file, Path::pipe};

struct Reading {
    std::optional<LinearSystem> system; // nullopt when cancelled
    std::uint64_t taken = 0;            // the bytes the reader had taken when it ended
};

// Reads `input` by `path`, cancelled once `cancelAt` bytes have been taken (from the start
// for 0). In memory there is no source to watch, so the reader's own progress sets the flag.
Reading read(const std::string& input, Path path, int threads,
             std::optional<std::uint64_t> cancelAt) {
    std::atomic<bool> cancel{cancelAt == 0u};
    Reading reading;
    ReadOptions options;
    options.threads = threads;
    options.cancel = &cancel;
    MemorySource memory(input);
    TrickleSource streamed(input, kTrickle,
                           path == Path::pipe ? SourceKind::pipe : SourceKind::file);
    if (cancelAt)
        streamed.cancelAfter(*cancelAt, cancel);
    if (path == Path::memory)
        options.progress = [&](std::uint64_t position) {
            reading.taken = std::max(reading.taken, position);
            if (cancelAt && position >= *cancelAt)
                cancel = true;
        };
    try {
        reading.system = readFrom(path == Path::memory ? static_cast<ByteSource&>(memory)
                                                       : static_cast<ByteSource&>(streamed),
                                  options, kBuffer);
    } catch (const ReadCancelled&) {
    }
    if (path != Path::memory)
        reading.taken = streamed.delivered;
    return reading;
}

std::string trace(const char* layout, Path path, int threads) {
    return std::string(layout) +
           (path == Path::memory ? " from memory"
            : path == Path::file ? " from a file"
                                 : " from a pipe") +
           ", threads " + std::to_string(threads);
}

} // namespace

// Text is looked at a buffer at a time; NumPy rows go straight into A a row per read, and
// other NumPy types are converted a megabyte at a time.
TEST(Cancel, AReadingCancelledPartWayStopsWithinAPiece) {
    for (const auto& [layout, name] : kEveryLayout) {
        const std::string input = largeInput(layout, kOrder);
        const std::uint64_t grain = layout == Layout::npyIntegers ? std::uint64_t{1} << 20
                                    : layout == Layout::npy       ? (kOrder + 1) * 8
                                                                  : 0;
        const std::uint64_t cancelAt = input.size() / 4;
        ASSERT_LT(cancelAt + grain + 2 * kBuffer, input.size()) << name;
        for (const Path path : kEveryPath)
            for (const int threads : {1, 3}) {
                SCOPED_TRACE(trace(name, path, threads));
                const Reading reading = read(input, path, threads, cancelAt);
                EXPECT_FALSE(reading.system);
                EXPECT_GE(reading.taken, cancelAt);
                EXPECT_LE(reading.taken, cancelAt + grain + 2 * kBuffer);
            }
    }
}

// A cancel that comes before the reader starts wins over everything it would find, a refusal
// too, however short the input.
TEST(Cancel, AReadingCancelledBeforeItStartsReadsNothing) {
    std::vector<std::string> inputs;
    for (const SystemInput& input : everyDefaultLayout())
        inputs.push_back(input.text);
    for (const Refusal& refusal : everyRefusal())
        inputs.push_back(refusal.input.text);
    inputs.emplace_back();
    for (const std::string& input : inputs)
        for (const Path path : kEveryPath) {
            SCOPED_TRACE(input.substr(0, 60));
            const Reading reading = read(input, path, 1, 0);
            EXPECT_FALSE(reading.system);
            EXPECT_LE(reading.taken, kBuffer);
        }
}
