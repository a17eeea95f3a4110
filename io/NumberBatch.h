#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace lse::io {

class WordsSink;

// Fields waiting to be parsed, in input order, each with the place its number goes. Parsing
// is most of a text reader's time and fields do not depend on one another, so with more than
// one thread, full batches are parsed by helper threads while the reader goes on splitting
// the next; when the reader has split it before they are done, it takes a share of their
// work. Every field still goes through textToDouble, and the mistakes come out as a reader
// that parses one field at a time would find them.
class NumberBatch {
public:
    // threads: 1 parses each field as it is added; more hand batches to threads - 1 helpers.
    explicit NumberBatch(int threads);
    NumberBatch(const NumberBatch&) = delete;
    NumberBatch& operator=(const NumberBatch&) = delete;
    ~NumberBatch();

    // `text` must stay valid until the next flush. The value goes to *destination (nullptr:
    // the field is only checked). A field that is not a number is refused (InputError from add
    // or flush) when `atOnce`; otherwise only the first such is kept, in laterMistake. Once a
    // field is added without atOnce, no later one may be added with it.
    void add(std::string_view text, double* destination, std::int64_t line, std::int64_t column,
             bool atOnce) {
        if (threads_ <= 1) {
            parseNow(text, destination, line, column, atOnce);
            return;
        }
        filling_.push_back({text, destination, line, column, atOnce});
        if (filling_.size() == kBatchSize)
            handOver();
    }

    // Parses every field added so far, and throws the first mistake to be refused at once.
    void flush();

    const std::optional<std::string>& laterMistake() const { return laterMistake_; }

    // From now on each number parsed into a destination also gives its words to `sink`, on
    // the thread that parses it.
    void holdWords(WordsSink* sink) { words_ = sink; }

private:
    static constexpr std::size_t kBatchSize = 1 << 14;
    static constexpr std::size_t kPieceSize = 1 << 10;

    struct Item {
        std::string_view text;
        double* destination;
        std::int64_t line;
        std::int64_t column;
        bool atOnce;
    };

    void parseNow(std::string_view text, double* destination, std::int64_t line,
                  std::int64_t column, bool atOnce);
    void mistakeAt(const Item& item);
    // Parses the batch being filled on this thread; the first bad field is reported.
    void parseFillingHere();
    // The first item of [begin, end) of `items` that is not a number, or end.
    std::size_t parse(std::vector<Item>& items, std::size_t begin, std::size_t end);
    // Claims pieces of the helpers' batch until none is left.
    void parsePieces();
    // Helps with the helpers' batch, waits for it and takes its first mistake.
    void finishParsed();
    // Gives the full batch to the helpers (starting them at the first), after the last one.
    void handOver();
    void work();

    int threads_;
    WordsSink* words_ = nullptr;
    std::vector<Item> filling_; // being added to
    std::optional<std::string> laterMistake_;

    // The helpers and the batch they parse; joined by the destructor.
    std::vector<std::thread> helpers_;
    bool helpersTried_ = false;
    std::vector<Item> parsing_;
    std::atomic<std::size_t> nextPiece_{0};
    std::atomic<std::size_t> firstMistake_{0}; // the earliest found, parsing_.size() for none
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::uint64_t round_ = 0;
    std::size_t running_ = 0;
    bool stopping_ = false;
};

} // namespace lse::io
