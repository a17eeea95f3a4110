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

} // namespace lse::io
