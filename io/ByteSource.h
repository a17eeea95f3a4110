#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace lse::io {

// Where a reader's bytes come from: a block of memory, a file or a pipe. The readers take
// them in pieces of a fixed size, so that reading needs no more memory than the arrays.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Up to `size` bytes into `buffer`; 0 only at the end. InputError when reading fails.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    // The bytes left to read, when the source knows them (a file, memory; not a pipe).
    virtual std::optional<std::uint64_t> remaining() const { return std::nullopt; }
    // Back to the first byte, when the source can go there.
    virtual bool rewind() { return false; }
    // The bytes of the whole input when they lie in memory already, to be used in place.
    virtual std::optional<std::string_view> inMemory() const { return std::nullopt; }
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view data) : data_(data) {}

    std::size_t read(char* buffer, std::size_t size) override;
    std::optional<std::uint64_t> remaining() const override { return data_.size() - pos_; }
    bool rewind() override;
    std::optional<std::string_view> inMemory() const override { return data_; }

private:
    std::string_view data_;
    std::size_t pos_ = 0;
};

// A file by its name; InputError("cannot open: ...") when it cannot be opened.
class FileSource final : public ByteSource {
public:
    explicit FileSource(const std::string& path);
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    ~FileSource() override;

    std::size_t read(char* buffer, std::size_t size) override;
    std::optional<std::uint64_t> remaining() const override;
    bool rewind() override;

private:
    std::FILE* file_;
    std::optional<std::uint64_t> size_; // for a regular file
    std::uint64_t read_ = 0;
};

// A stream such as standard input, read once.
class StreamSource final : public ByteSource {
public:
    explicit StreamSource(std::istream& in) : in_(in) {}

    std::size_t read(char* buffer, std::size_t size) override;

private:
    std::istream& in_;
};

// Text in UTF-16 with its byte order mark, as PowerShell's > and Notepad's "Unicode" write it,
// as the UTF-8 the readers take; any other input passes through as it is. A code unit that
// pairs with none, or an odd last byte, becomes U+FFFD, which no reader takes for a number.
class Utf16Decoding final : public ByteSource {
public:
    explicit Utf16Decoding(ByteSource& source);

    std::size_t read(char* buffer, std::size_t size) override;
    // Known as it passes through; the UTF-8 of UTF-16 is not, as from a pipe.
    std::optional<std::uint64_t> remaining() const override;
    bool rewind() override;
    std::optional<std::string_view> inMemory() const override;

private:
    enum class Order { undecided, passThrough, little, big };
    // UTF-8 of the next code units into pending_; false at the end of the input.
    bool decodeMore();

    ByteSource& source_;
    Order order_ = Order::undecided;
    std::string head_;    // bytes read to decide, not yet passed through
    std::string raw_;     // UTF-16 bytes read and not yet decoded
    std::string pending_; // UTF-8 decoded and not yet read
    std::size_t pendingAt_ = 0;
    bool ended_ = false;
};

} // namespace lse::io
