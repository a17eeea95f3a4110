#include "NumberBatch.h"

#include "NumberText.h"
#include "TextFields.h"
#include "WordsSink.h"

#include <algorithm>
#include <exception>

namespace lse::io {

NumberBatch::NumberBatch(int threads) : threads_(std::max(threads, 1)) {}

NumberBatch::~NumberBatch() {
    {
        std::unique_lock lock(mutex_);
        // A batch still being parsed writes into the reader's arrays, which outlive this.
        finished_.wait(lock, [&] { return running_ == 0; });
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& helper : helpers_)
        helper.join();
}

void NumberBatch::parseNow(std::string_view text, double* destination, std::int64_t line,
                           std::int64_t column, bool atOnce) {
    if (words_ != nullptr && destination != nullptr && words_->read(text, destination))
        return;
    if (const std::optional<double> value = textToDouble(text)) {
        if (destination != nullptr) {
            *destination = *value;
            if (words_ != nullptr)
                words_->take(text, *value, destination);
        }
    } else {
        mistakeAt({text, destination, line, column, atOnce});
    }
}

void NumberBatch::mistakeAt(const Item& item) {
    if (item.atOnce)
        numberAt(item.text, item.line, item.column); // throws
    if (!laterMistake_)
        laterMistake_ = notANumber(item.text, item.line, item.column);
}

std::size_t NumberBatch::parse(std::vector<Item>& items, std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end; ++k) {
        if (words_ != nullptr && items[k].destination != nullptr &&
            words_->read(items[k].text, items[k].destination))
            continue;
        const std::optional<double> value = textToDouble(items[k].text);
        if (!value)
            return k;
        if (items[k].destination != nullptr) {
            *items[k].destination = *value;
            if (words_ != nullptr)
                words_->take(items[k].text, *value, items[k].destination);
        }
    }
    return end;
}

void NumberBatch::parsePieces() {
    const std::size_t size = parsing_.size();
    for (;;) {
        const std::size_t begin = nextPiece_.fetch_add(1, std::memory_order_relaxed) * kPieceSize;
        if (begin >= size)
            return;
        const std::size_t end = std::min(begin + kPieceSize, size);
        const std::size_t mistake = parse(parsing_, begin, end);
        if (mistake == end)
            continue;
        std::size_t earliest = firstMistake_.load(std::memory_order_relaxed);
        while (mistake < earliest &&
               !firstMistake_.compare_exchange_weak(earliest, mistake, std::memory_order_relaxed)) {
        }
    }
}

void NumberBatch::work() {
    std::uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || round_ != seen; });
            if (stopping_)
                return;
            seen = round_;
        }
        parsePieces();
        {
            const std::lock_guard lock(mutex_);
            --running_;
        }
        finished_.notify_all();
    }
}

void NumberBatch::finishParsed() {
    parsePieces();
    {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [&] { return running_ == 0; });
    }
    const std::size_t mistake = firstMistake_.load(std::memory_order_relaxed);
    // Fields after a mistake may be left unparsed: a field refused at once ends the reading,
    // and after a later mistake only the first counts. Batches are taken in order.
    if (mistake < parsing_.size()) {
        const Item item = parsing_[mistake];
        parsing_.clear();
        mistakeAt(item);
    }
    parsing_.clear();
}

void NumberBatch::handOver() {
    if (!helpersTried_) {
        helpersTried_ = true;
        // A thread that cannot be started leaves its share to the others; with none, the
        // batches are parsed here.
        try {
            helpers_.reserve(static_cast<std::size_t>(threads_ - 1));
            parsing_.reserve(kBatchSize);
            for (int helper = 1; helper < threads_; ++helper)
                helpers_.emplace_back([this] { work(); });
        } catch (const std::exception&) {
        }
    }
    if (helpers_.empty()) {
        parseFillingHere();
        return;
    }
    finishParsed();
    parsing_.swap(filling_);
    nextPiece_.store(0, std::memory_order_relaxed);
    firstMistake_.store(parsing_.size(), std::memory_order_relaxed);
    {
        const std::lock_guard lock(mutex_);
        running_ = helpers_.size();
        ++round_;
    }
    wake_.notify_all();
}

void NumberBatch::flush() {
    if (threads_ <= 1)
        return;
    if (!helpers_.empty())
        finishParsed();
    parseFillingHere();
}

void NumberBatch::parseFillingHere() {
    const std::size_t mistake = parse(filling_, 0, filling_.size());
    if (mistake < filling_.size()) {
        const Item item = filling_[mistake];
        filling_.clear();
        mistakeAt(item);
    }
    filling_.clear();
}

} // namespace lse::io
