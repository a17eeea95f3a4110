#pragma once

// A source that delivers its bytes a few at a time, so that a reader meets every field, line
// and header cut at every place: as from a pipe, which cannot go back, or as from a file, which
// can and knows what is left. It may also cancel the reading part way.

#include "ByteSource.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace lse::test {

enum class SourceKind { pipe, file };

class TrickleSource final : public io::ByteSource {
public:
    TrickleSource(std::string_view data, std::size_t piece, SourceKind kind)
        : data_(data), piece_(piece), kind_(kind) {}

    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t count = std::min({size, piece_, data_.size() - pos_});
        std::copy_n(data_.data() + pos_, count, buffer);
        pos_ += count;
        delivered += count;
        if (cancel_ != nullptr && delivered >= cancelAfter_)
            *cancel_ = true;
        return count;
    }
    // Sets `flag` once `bytes` have gone, as a user's click would land while a reader is busy.
    void cancelAfter(std::uint64_t bytes, std::atomic<bool>& flag) {
        cancelAfter_ = bytes;
        cancel_ = &flag;
    }
    std::uint64_t delivered = 0; // so far, again after a rewind
    std::optional<std::uint64_t> remaining() const override {
        if (kind_ == SourceKind::pipe)
            return std::nullopt;
        return data_.size() - pos_;
    }
    bool rewind() override {
        if (kind_ == SourceKind::pipe)
            return false;
        pos_ = 0;
        return true;
    }

private:
    std::string_view data_;
    std::size_t piece_;
    SourceKind kind_;
    std::size_t pos_ = 0;
    std::uint64_t cancelAfter_ = 0;
    std::atomic<bool>* cancel_ = nullptr;
};

} // namespace lse::test
