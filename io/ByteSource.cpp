#include "ByteSource.h"

#include "SystemReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace lse::io {

namespace {

[[noreturn]] void cannotRead(int error) {
    throw InputError(std::string("cannot read: ") + std::strerror(error));
}

} // namespace

std::size_t MemorySource::read(char* buffer, std::size_t size) {
    const std::size_t count = std::min(size, data_.size() - pos_);
    if (count > 0)
        std::memcpy(buffer, data_.data() + pos_, count);
    pos_ += count;
    return count;
}

bool MemorySource::rewind() {
    pos_ = 0;
    return true;
}

FileSource::FileSource(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (file_ == nullptr)
        throw InputError(std::string("cannot open: ") + std::strerror(errno));
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        if (!error)
            size_ = size;
    }
    // The readers ask for large pieces; a buffer of the C library's own would add a copy.
    std::setvbuf(file_, nullptr, _IONBF, 0);
}

FileSource::~FileSource() {
    std::fclose(file_);
}

std::size_t FileSource::read(char* buffer, std::size_t size) {
    const std::size_t count = std::fread(buffer, 1, size, file_);
    if (count == 0 && std::ferror(file_))
        cannotRead(errno);
    read_ += count;
    return count;
}

std::optional<std::uint64_t> FileSource::remaining() const {
    if (!size_)
        return std::nullopt;
    return *size_ > read_ ? *size_ - read_ : 0;
}

bool FileSource::rewind() {
    if (!size_ || std::fseek(file_, 0, SEEK_SET) != 0)
        return false;
    read_ = 0;
    return true;
}

std::size_t StreamSource::read(char* buffer, std::size_t size) {
    // Waits for the whole piece or the end of the input, however the pipe delivers it.
    in_.read(buffer, static_cast<std::streamsize>(size));
    if (in_.bad())
        cannotRead(errno);
    return static_cast<std::size_t>(in_.gcount());
}

namespace {

constexpr std::string_view kLittleEndianMark = "\xFF\xFE";
constexpr std::string_view kBigEndianMark = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

Utf16Decoding::Utf16Decoding(ByteSource& source) : source_(source) {
    // A text in memory is decided at once, so that it is still scanned in place.
    if (const std::optional<std::string_view> whole = source_.inMemory();
        whole && !whole->starts_with(kLittleEndianMark) && !whole->starts_with(kBigEndianMark))
        order_ = Order::passThrough;
}

std::optional<std::uint64_t> Utf16Decoding::remaining() const {
    if (order_ == Order::passThrough || order_ == Order::undecided)
        if (const std::optional<std::uint64_t> left = source_.remaining())
            return *left + head_.size();
    return std::nullopt;
}

bool Utf16Decoding::rewind() {
    if (!source_.rewind())
        return false;
    const bool inMemory = order_ == Order::passThrough && source_.inMemory();
    order_ = inMemory ? Order::passThrough : Order::undecided;
    head_.clear();
    raw_.clear();
    pending_.clear();
    pendingAt_ = 0;
    ended_ = false;
    return true;
}

std::optional<std::string_view> Utf16Decoding::inMemory() const {
    return order_ == Order::passThrough ? source_.inMemory() : std::nullopt;
}

std::size_t Utf16Decoding::read(char* buffer, std::size_t size) {
    if (size == 0)
        return 0;
    if (order_ == Order::undecided) {
        char mark[2];
        std::size_t got = 0;
        while (got < 2)
            if (const std::size_t count = source_.read(mark + got, 2 - got); count > 0)
                got += count;
            else
                break;
        const std::string_view first(mark, got);
        order_ = first == kLittleEndianMark ? Order::little
                 : first == kBigEndianMark  ? Order::big
                                            : Order::passThrough;
        if (order_ == Order::passThrough)
            head_.assign(first);
    }
    if (order_ == Order::passThrough) {
        if (head_.empty())
            return source_.read(buffer, size);
        const std::size_t count = std::min(size, head_.size());
        std::memcpy(buffer, head_.data(), count);
        head_.erase(0, count);
        return count < size ? count + source_.read(buffer + count, size - count) : count;
    }
    while (pendingAt_ == pending_.size())
        if (!decodeMore())
            return 0;
    const std::size_t count = std::min(size, pending_.size() - pendingAt_);
    std::memcpy(buffer, pending_.data() + pendingAt_, count);
    pendingAt_ += count;
    return count;
}

bool Utf16Decoding::decodeMore() {
    if (ended_)
        return false;
    pending_.clear();
    pendingAt_ = 0;
    constexpr std::size_t kPiece = std::size_t{1} << 16;
    const std::size_t kept = raw_.size();
    raw_.resize(kept + kPiece);
    const std::size_t count = source_.read(raw_.data() + kept, kPiece);
    raw_.resize(kept + count);
    ended_ = count == 0;
    const auto unit = [&](std::size_t at) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(raw_[k]); };
        return static_cast<char32_t>(order_ == Order::little ? byte(at) | byte(at + 1) << 8
                                                             : byte(at) << 8 | byte(at + 1));
    };
    std::size_t at = 0;
    for (; at + 2 <= raw_.size(); at += 2) {
        const char32_t c = unit(at);
        if (c < 0xD800 || c > 0xDFFF) {
            appendUtf8(pending_, c);
            continue;
        }
        // A high surrogate waits for its low one, unless the input has ended.
        if (c <= 0xDBFF && at + 4 > raw_.size() && !ended_)
            break;
        if (const char32_t low = c <= 0xDBFF && at + 4 <= raw_.size() ? unit(at + 2) : 0;
            low >= 0xDC00 && low <= 0xDFFF) {
            appendUtf8(pending_, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
            at += 2;
        } else {
            appendUtf8(pending_, kReplacement);
        }
    }
    raw_.erase(0, at);
    if (ended_ && !raw_.empty()) {
        appendUtf8(pending_, kReplacement);
        raw_.clear();
    }
    return !pending_.empty() || !ended_;
}

} // namespace lse::io
