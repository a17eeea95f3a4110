#pragma once

#include "ByteSource.h"
#include "SystemReader.h"
#include "TextFields.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lse::io {

// The lines and fields of a text, read from its source in pieces: memory use is a buffer of
// fixed size (grown only for a field, or a pinned line, longer than it), whatever the size of
// the input. Memory is scanned in place, a piece of the buffer's size at a time.
//
// Lines end at LF, CR LF or a CR alone (old Macs' text, "CSV (Macintosh)"). Spaces and tabs
// separate fields, and so does one comma with any blanks around it; two commas in a row, or
// one at either end of a line, leave an empty field. The comment sign ends a line's data.
// Columns count characters from 1.
//
// A comma between digits (2,5) in a line whose fields a tab or a semicolon separates is a
// decimal comma, as a spreadsheet copies numbers in many countries: InputError names it
// rather than taking it as a separator, which would read other numbers than those meant.
class TextScanner {
public:
    static constexpr std::size_t kBufferSize = std::size_t{1} << 20;

    explicit TextScanner(ByteSource& source, std::size_t bufferSize = kBufferSize);

    // The next `count` bytes, fewer only at the end of the input; nothing is consumed.
    std::string_view peek(std::size_t count);
    // Consumes bytes before the first line, such as a byte order mark.
    void skip(std::size_t count);

    // The sign that starts a comment; '\n' for none.
    void setComment(char comment);

    // Moves to the next line, the first on the first call; false after the last. An empty
    // input is one empty line; a final line end does not start another.
    bool nextLine();
    std::int64_t line() const { return line_; }
    // The next field of the line; false at its end. The text is valid until the next call.
    bool nextField(Field& field);

    // Keeps the current line in the buffer from its start, so that restartLine can go back to
    // it; restartLine also ends the pin.
    void pinLine();
    void restartLine();

    // Bytes consumed so far, and the bytes left when the source knows them.
    std::uint64_t position() const { return base_ + static_cast<std::uint64_t>(pos_ - begin_); }
    std::optional<std::uint64_t> remaining() const;
    // Back to the first byte, when the source or the buffer allows it.
    bool rewind();
    // Called before the buffer's bytes move to make room, which ends the life of the texts of
    // the fields returned so far; for a reader that keeps them a while.
    void setBeforeFill(std::function<void()> beforeFill) { beforeFill_ = std::move(beforeFill); }

    // Raw bytes from where scanning stands: what the buffer holds first, then the source.
    std::size_t read(char* destination, std::size_t size);

    // Between pieces of the input (and at every read), `cancel` is looked at, and `progress`
    // is told the position; either may be empty.
    void watch(const std::atomic<bool>* cancel, std::function<void(std::uint64_t)> progress);
    // ReadCancelled once the cancel watched is set; for a reader's own long loops.
    void throwIfCancelled() const {
        if (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed))
            throw ReadCancelled();
    }

private:
    enum ByteClass : std::uint8_t { kText, kBlank, kComma, kEnd };

    // Reads more, keeping the bytes from `keep` on (and a pinned line); moves `keep` and pos_
    // with them. False at the end of the input.
    bool fill(const char*& keep);
    // A column counts characters: a field's UTF-8 beyond ASCII (a minus sign U+2212) takes one.
    std::int64_t column(const char* at) const {
        return static_cast<std::int64_t>(base_ + static_cast<std::uint64_t>(at - begin_) -
                                         columnStart_) +
               1;
    }
    // The first line end (LF or CR) in [from, to), or nullptr.
    const char* lineEndIn(const char* from, const char* to);
    void startLine();
    void forgetLine();
    // Looks at the field that starts at `start` for a decimal comma before it.
    void noteField(const char* start, std::string_view text);
    // The field at pos_, which is a quote, when quotes enclose it; else false, pos_ unmoved.
    bool quotedField(Field& field);
    [[noreturn]] void refuseDecimalComma();
    // The groups that commas join to the run from the scanning's place on, read past them.
    void readRunOn(std::string& run);
    // Whether `count` bytes from pos_ are in the buffer, filled as needed.
    bool holds(std::size_t count);
    // Whether the current line's data has a semicolon, read on to its end.
    bool lineHasSemicolon();
    void checkpoint() {
        throwIfCancelled();
        if (progress_)
            progress_(position());
    }
    // The end of the field's text that starts at `at`, within the buffer.
    const char* skipText(const char* at);
    // A UTF-8 continuation byte passed in a field takes no column of its own.
    void passText(char c) {
        columnStart_ += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 1 : 0;
    }

    ByteSource& source_;
    std::vector<char> buffer_;
    const char* begin_ = nullptr;
    const char* pos_ = nullptr;
    const char* end_ = nullptr;
    std::uint64_t base_ = 0; // the position of begin_ in the input
    // No LF stands from the first position to the second (lineEndIn).
    std::uint64_t noLineFeedFrom_ = 0;
    std::uint64_t noLineFeedTo_ = 0;
    bool atEnd_ = false; // the source has nothing more
    bool inMemory_ = false;
    const char* memoryEnd_ = nullptr; // in memory: the input's end, beyond the piece in view
    std::size_t piece_;
    const std::atomic<bool>* cancel_ = nullptr;
    std::function<void(std::uint64_t)> progress_;

    std::array<ByteClass, 256> classes_{};
    // Every byte that ends a field lies below '-' (the comment sign too, when this is set), so
    // that a field's text can be passed a word at a time.
    static constexpr unsigned char kFirstUnflagged = '-';
    bool wordScan_ = false;
    std::int64_t line_ = 0;
    std::uint64_t lineStart_ = 0;
    bool afterField_ = false; // a comma after blanks still belongs to the last field
    bool fieldOwed_ = false;  // a comma was passed, so a field must follow
    bool pinned_ = false;
    std::function<void()> beforeFill_;

    // The current line's fields so far, for a decimal comma. Its last field is kept in the
    // buffer, as a pinned line is.
    struct DecimalComma {
        std::string text; // the digits on both sides, "2,5"
        std::int64_t field;
        std::string run; // every group that commas join to it so far, "1,000,000"
        bool open;       // the line's last field is the run's last group
    };
    std::int64_t cells_ = 0;     // fields, those joined by a comma between digits as one
    bool tabSinceField_ = false; // among the blanks after the last field
    bool tabBetweenFields_ = false;
    bool blankBetweenFields_ = false; // two fields with only blanks between them
    // The line's start moved on by the UTF-8 continuation bytes in its fields so far.
    std::uint64_t columnStart_ = 0;
    std::optional<DecimalComma> decimalComma_; // the line's first
    bool semicolonInLine_ = false;             // in a field passed
    std::string_view lastField_;
    std::uint64_t lastFieldEnd_ = 0;
    std::uint64_t commaAt_ = 0; // a comma passed after a field; 0 for none (a field precedes it)
};

} // namespace lse::io
