#pragma once

// A source that delivers its bytes a few at a time, so that a reader meets every field, line
// and header cut at every place: as from a pipe, which cannot go back, or as from a file, which
// can and knows what is left.

#include "ByteSource.h"

#include <algorithm>
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
        return count;
    }
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
};

} // namespace lse::test
