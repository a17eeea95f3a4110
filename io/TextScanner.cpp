#include "TextScanner.h"

#include "NumberText.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

namespace lse::io {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits grouped by thousands: a sign, one to three digits, then groups of three, the last of
// which may go on as a decimal does ("1,000.5"), the whole a number once the commas are gone.
bool groupsThousands(std::string_view run) {
    const std::string ascii = asciiMinus(run).value_or(std::string(run));
    std::string_view rest = ascii;
    if (rest.starts_with('+') || rest.starts_with('-'))
        rest.remove_prefix(1);
    const std::size_t first = rest.find(',');
    if (first == 0 || first > 3 || rest.front() == '0' ||
        !std::all_of(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(first), isDigit))
        return false;
    for (std::size_t at = first; at != std::string_view::npos;) {
        const std::size_t next = rest.find(',', at + 1);
        const std::string_view group = rest.substr(at + 1, next - std::min(next, at + 1));
        const bool last = next == std::string_view::npos;
        if (group.size() < 3 || !std::all_of(group.begin(), group.begin() + 3, isDigit) ||
            (group.size() > 3 && (!last || isDigit(group[3]))))
            return false;
        at = next;
    }
    std::string whole = ascii;
    std::erase(whole, ',');
    return textToDouble(whole).has_value();
}

// What a comma between digits may stand for, and how to write it so that it is read: `first`
// is the two groups it joins, `run` every group joined so.
std::string commaAdvice(const std::string& first, const std::string& run) {
    std::string decimal = first;
    std::replace(decimal.begin(), decimal.end(), ',', '.');
    if (!groupsThousands(run))
        return describe(first) + " has a decimal comma; write " + decimal;
    std::string grouped = run;
    std::erase(grouped, ',');
    // 1,000 is 1 in a decimal-comma locale and a thousand elsewhere: only its writer knows.
    const bool oneComma = run.find(',') == run.rfind(',');
    if (oneComma && textToDouble(decimal))
        return describe(first) + " has a decimal comma or a thousands separator; write " + decimal +
               " or " + grouped;
    return describe(run) + (oneComma ? " has a thousands separator" : " has thousands separators") +
           "; write " + grouped;
}

} // namespace

TextScanner::TextScanner(ByteSource& source, std::size_t bufferSize)
    : source_(source), piece_(std::max<std::size_t>(bufferSize, 16)) {
    if (const std::optional<std::string_view> data = source.inMemory()) {
        begin_ = data->data();
        memoryEnd_ = begin_ + data->size();
        end_ = begin_ + std::min(piece_, data->size());
        inMemory_ = true;
    } else {
        buffer_.resize(piece_);
        begin_ = end_ = buffer_.data();
    }
    pos_ = begin_;
    setComment('#');
}

void TextScanner::watch(const std::atomic<bool>* cancel,
                        std::function<void(std::uint64_t)> progress) {
    cancel_ = cancel;
    progress_ = std::move(progress);
}

void TextScanner::setComment(char comment) {
    classes_.fill(kText);
    classes_[static_cast<unsigned char>(' ')] = kBlank;
    classes_[static_cast<unsigned char>('\t')] = kBlank;
    classes_[static_cast<unsigned char>('\r')] = kEnd;
    classes_[static_cast<unsigned char>(',')] = kComma;
    classes_[static_cast<unsigned char>('\n')] = kEnd;
    classes_[static_cast<unsigned char>(comment)] = kEnd;
    wordScan_ = std::endian::native == std::endian::little &&
                static_cast<unsigned char>(comment) < kFirstUnflagged;
}

const char* TextScanner::skipText(const char* at) {
    // Eight bytes at a time: every byte that ends a field (blanks, line end, comma, the comment
    // sign) lies below '-', so a word of bytes from '-' to DEL is text throughout. The lowest
    // byte below '-' or beyond ASCII is found exactly (borrows only run upwards); a text byte
    // there, such as '+' or one of a minus sign U+2212, is passed and the search goes on.
    if (wordScan_) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
        constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
        while (end_ - at >= 8) {
            std::uint64_t word;
            std::memcpy(&word, at, sizeof word);
            const std::uint64_t flagged = ((word - kOnes * kFirstUnflagged) | word) & kHighs;
            if (flagged == 0) {
                at += 8;
                continue;
            }
            at += std::countr_zero(flagged) / 8;
            if (classes_[static_cast<unsigned char>(*at)] != kText)
                return at;
            passText(*at++);
        }
    }
    while (at < end_ && classes_[static_cast<unsigned char>(*at)] == kText)
        passText(*at++);
    return at;
}

bool TextScanner::fill(const char*& keep) {
    if (inMemory_) {
        // Nothing moves: the next piece comes into view, and the texts returned stay valid.
        if (end_ == memoryEnd_)
            return false;
        checkpoint();
        end_ += std::min(piece_, static_cast<std::size_t>(memoryEnd_ - end_));
        return true;
    }
    if (atEnd_)
        return false;
    checkpoint(); // before the batch waiting on this fill is parsed, which a cancel spares
    if (beforeFill_)
        beforeFill_();
    const char* from = keep;
    if (pinned_ && lineStart_ >= base_)
        from = std::min(from, begin_ + (lineStart_ - base_));
    if (!lastField_.empty())
        from = std::min(from, lastField_.data());
    const auto shift = static_cast<std::size_t>(from - begin_);
    const auto kept = static_cast<std::size_t>(end_ - from);
    const auto keepOffset = static_cast<std::size_t>(keep - from);
    const auto posOffset = static_cast<std::size_t>(pos_ - from);
    const auto lastFieldOffset =
        lastField_.empty() ? 0 : static_cast<std::size_t>(lastField_.data() - from);
    if (kept == buffer_.size())
        buffer_.resize(buffer_.size() * 2); // one field (or pinned line) longer than the buffer
    if (shift > 0 && kept > 0)
        std::memmove(buffer_.data(), buffer_.data() + shift, kept);
    base_ += shift;
    begin_ = buffer_.data();
    end_ = begin_ + kept;
    keep = begin_ + keepOffset;
    pos_ = begin_ + posOffset;
    if (!lastField_.empty())
        lastField_ = {begin_ + lastFieldOffset, lastField_.size()};
    const std::size_t got = source_.read(buffer_.data() + kept, buffer_.size() - kept);
    if (got == 0) {
        atEnd_ = true;
        return false;
    }
    end_ += got;
    return true;
}

std::string_view TextScanner::peek(std::size_t count) {
    while (static_cast<std::size_t>(end_ - pos_) < count && fill(pos_)) {
    }
    return {pos_, std::min(count, static_cast<std::size_t>(end_ - pos_))};
}

void TextScanner::skip(std::size_t count) {
    peek(count);
    pos_ += std::min(count, static_cast<std::size_t>(end_ - pos_));
}

void TextScanner::startLine() {
    ++line_;
    lineStart_ = position();
    forgetLine();
}

void TextScanner::forgetLine() {
    afterField_ = false;
    fieldOwed_ = false;
    cells_ = 0;
    tabSinceField_ = false;
    tabBetweenFields_ = false;
    blankBetweenFields_ = false;
    columnStart_ = lineStart_;
    decimalComma_.reset();
    semicolonInLine_ = false;
    lastField_ = {};
    commaAt_ = 0;
}

void TextScanner::noteField(const char* start, std::string_view text) {
    const std::uint64_t at = base_ + static_cast<std::uint64_t>(start - begin_);
    // Written without a blank on either side, as no one separates numbers.
    const bool joined = commaAt_ != 0 && commaAt_ == lastFieldEnd_ && commaAt_ + 1 == at &&
                        !lastField_.empty() && isDigit(lastField_.back()) && isDigit(text.front());
    if (!joined) {
        if (decimalComma_)
            decimalComma_->open = false;
        ++cells_;
        tabBetweenFields_ = tabBetweenFields_ || (tabSinceField_ && !lastField_.empty());
        blankBetweenFields_ = blankBetweenFields_ || (commaAt_ == 0 && !lastField_.empty());
    }
    tabSinceField_ = false;
    commaAt_ = 0;
    semicolonInLine_ = semicolonInLine_ || text.find(';') != std::string_view::npos;
    if (joined) {
        // A semicolon is no separator to the readers, so it lies within the fields it joins.
        const std::size_t before = lastField_.rfind(';');
        const std::size_t after = text.find(';');
        const bool semicolons = before != std::string_view::npos || after != std::string_view::npos;
        if (semicolons || !decimalComma_) {
            const std::string_view whole =
                before == std::string_view::npos ? lastField_ : lastField_.substr(before + 1);
            std::string joinedText = std::string(whole) + "," + std::string(text.substr(0, after));
            decimalComma_ = DecimalComma{
                joinedText, cells_ + std::count(lastField_.begin(), lastField_.end(), ';'),
                joinedText, after == std::string_view::npos};
        } else if (decimalComma_->open) {
            decimalComma_->run.append(",").append(text);
        }
        if (semicolons)
            refuseDecimalComma();
    }
    // Where blanks or tabs alone separate the line's fields, a comma joining digits separates
    // none: "2,5 1" is 2.5 and 1 in a decimal-comma locale, never 2, 5 and 1.
    if (decimalComma_ && (tabBetweenFields_ || blankBetweenFields_))
        refuseDecimalComma();
    lastField_ = text;
    lastFieldEnd_ = at + text.size();
}

void TextScanner::refuseDecimalComma() {
    // A reader's fields before it are parsed first, so that a mistake among them is refused
    // first, as when they are parsed one by one.
    if (beforeFill_)
        beforeFill_();
    DecimalComma& comma = *decimalComma_;
    if (comma.open)
        readRunOn(comma.run);
    // Where semicolons separate the fields, the point alone would still leave no number read.
    throw InputError("line " + std::to_string(line_) + ", field " + std::to_string(comma.field) +
                     ": " + commaAdvice(comma.text, comma.run) +
                     (lineHasSemicolon() ? ", and " + std::string(kSemicolonAdvice) : ""));
}

bool TextScanner::holds(std::size_t count) {
    while (static_cast<std::size_t>(end_ - pos_) < count)
        if (!fill(pos_))
            return false;
    return true;
}

void TextScanner::readRunOn(std::string& run) {
    // As noteField joins them: a comma right after a digit and right before one. The scan
    // ends the reading, as lineHasSemicolon's does.
    while (holds(2) && pos_[0] == ',' && isDigit(pos_[1]) && isDigit(run.back())) {
        run += *pos_++;
        while (holds(1) && classes_[static_cast<unsigned char>(*pos_)] == kText)
            run += *pos_++;
    }
}

bool TextScanner::lineHasSemicolon() {
    // The whole line decides, however much of it the buffer holds, so that the message is the
    // same whichever way the input arrives. The scan ends the reading: a refusal follows.
    if (semicolonInLine_)
        return true;
    lastField_ = {};
    for (;;) {
        for (; pos_ < end_; ++pos_) {
            if (*pos_ == ';')
                return true;
            if (classes_[static_cast<unsigned char>(*pos_)] == kEnd)
                return false;
        }
        if (!fill(pos_))
            return false;
    }
}

const char* TextScanner::lineEndIn(const char* from, const char* to) {
    // Most lines end in LF alone: a CR is looked for only before the LF. Where CR alone ends
    // them, the LF that is not there is looked for once, not again for each line, which took
    // time quadratic in the lines a buffer holds (a Matrix Market file of 1000 equations, an
    // entry a line, 20 times as long as with LF).
    const auto at = [this](const char* p) {
        return base_ + static_cast<std::uint64_t>(p - begin_);
    };
    const char* searchFrom = from;
    if (at(from) >= noLineFeedFrom_ && at(from) < noLineFeedTo_)
        searchFrom = begin_ + (std::min(noLineFeedTo_, at(to)) - base_);
    const void* lineFeed = std::memchr(searchFrom, '\n', static_cast<std::size_t>(to - searchFrom));
    if (lineFeed == nullptr && searchFrom == from) {
        noLineFeedFrom_ = at(from);
        noLineFeedTo_ = at(to);
    } else if (lineFeed == nullptr) {
        noLineFeedTo_ = std::max(noLineFeedTo_, at(to)); // searched on from its end
    }
    const char* const until = lineFeed != nullptr ? static_cast<const char*>(lineFeed) : to;
    const void* carriageReturn = std::memchr(from, '\r', static_cast<std::size_t>(until - from));
    return static_cast<const char*>(carriageReturn != nullptr ? carriageReturn : lineFeed);
}

bool TextScanner::nextLine() {
    if (line_ == 0) {
        startLine();
        return true;
    }
    pinned_ = false;
    bool carriageReturn = false;
    for (;;) {
        const char* lineEnd = pos_ == end_ ? nullptr : lineEndIn(pos_, end_);
        if (lineEnd != nullptr) {
            carriageReturn = *lineEnd == '\r';
            pos_ = lineEnd + 1;
            break;
        }
        pos_ = end_;
        if (!fill(pos_))
            return false; // the last line had no line end
    }
    if (pos_ == end_ && !fill(pos_))
        return false;
    // CR LF is one line end, wherever the buffer parts them.
    if (carriageReturn && *pos_ == '\n' && ++pos_ == end_ && !fill(pos_))
        return false;
    startLine();
    return true;
}

bool TextScanner::nextField(Field& field) {
    for (;;) {
        while (pos_ < end_ && classes_[static_cast<unsigned char>(*pos_)] == kBlank) {
            tabSinceField_ = tabSinceField_ || *pos_ == '\t';
            ++pos_;
        }
        if (pos_ == end_ && fill(pos_))
            continue;
        if (afterField_) {
            afterField_ = false;
            fieldOwed_ = false;
            if (pos_ < end_ && *pos_ == ',') {
                commaAt_ = position();
                ++pos_;
                fieldOwed_ = true;
                continue;
            }
        }
        break;
    }
    if (pos_ == end_ || classes_[static_cast<unsigned char>(*pos_)] == kEnd) {
        if (!fieldOwed_)
            return false;
        fieldOwed_ = false;
        field = {{}, column(pos_)};
        return true;
    }
    if (*pos_ == ',') {
        field = {{}, column(pos_)};
        ++pos_;
        fieldOwed_ = true;
        return true;
    }
    if (*pos_ == '"' && quotedField(field))
        return true;
    const char* start = pos_;
    const std::int64_t startColumn = column(start); // before its own characters are counted
    for (;;) {
        pos_ = skipText(pos_);
        if (pos_ == end_ && fill(start))
            continue;
        break;
    }
    field = {std::string_view(start, static_cast<std::size_t>(pos_ - start)), startColumn};
    afterField_ = true;
    noteField(start, field.text);
    return true;
}

// A spreadsheet may quote every cell ("4","2","14"): a field in double quotes is the text they
// enclose, where they enclose all of it and it holds no blank, comma or line end. Anything else
// is read as it stands, and refused as no number.
bool TextScanner::quotedField(Field& field) {
    const char* start = pos_;
    const std::int64_t startColumn = column(start);
    std::size_t close = 1;
    for (;;) {
        // A number holds no blank or comma: the search ends at one, so that a line of
        // unclosed quotes is read in time linear in its length.
        while (start + close < end_ && start[close] != '"' &&
               classes_[static_cast<unsigned char>(start[close])] == kText)
            ++close;
        // Its closing quote, and the byte after it, which must end the field.
        if (start + close + 1 >= end_ && fill(start))
            continue;
        break;
    }
    const char* const after = start + close + 1;
    if (start + close >= end_ || start[close] != '"' ||
        (after < end_ && classes_[static_cast<unsigned char>(*after)] == kText)) {
        pos_ = start;
        return false;
    }
    field = {std::string_view(start + 1, close - 1), startColumn + 1};
    pos_ = after;
    afterField_ = true;
    if (!field.text.empty())
        noteField(start + 1, field.text);
    return true;
}

void TextScanner::pinLine() {
    pinned_ = true;
}

void TextScanner::restartLine() {
    pinned_ = false;
    pos_ = begin_ + (lineStart_ - base_);
    forgetLine();
}

std::optional<std::uint64_t> TextScanner::remaining() const {
    if (inMemory_)
        return static_cast<std::uint64_t>(memoryEnd_ - pos_);
    const std::optional<std::uint64_t> left = source_.remaining();
    if (!left)
        return std::nullopt;
    return *left + static_cast<std::uint64_t>(end_ - pos_);
}

bool TextScanner::rewind() {
    if (base_ != 0) {
        // The first bytes are gone from the buffer: read them again.
        if (!source_.rewind())
            return false;
        base_ = 0;
        begin_ = end_ = buffer_.data();
        atEnd_ = false;
    }
    pos_ = begin_;
    line_ = 0;
    lineStart_ = 0;
    pinned_ = false;
    forgetLine();
    return true;
}

std::size_t TextScanner::read(char* destination, std::size_t size) {
    checkpoint();
    if (inMemory_) {
        const std::size_t count = std::min(size, static_cast<std::size_t>(memoryEnd_ - pos_));
        if (count > 0)
            std::memcpy(destination, pos_, count);
        pos_ += count;
        end_ = std::max(end_, pos_);
        return count;
    }
    const std::size_t buffered = std::min(size, static_cast<std::size_t>(end_ - pos_));
    if (buffered > 0)
        std::memcpy(destination, pos_, buffered);
    pos_ += buffered;
    if (buffered == size)
        return buffered;
    // The buffer is spent: past it, the source fills the destination directly.
    base_ = position();
    begin_ = pos_ = end_ = buffer_.data();
    lastField_ = {};
    std::size_t total = buffered;
    while (total < size) {
        const std::size_t got = source_.read(destination + total, size - total);
        if (got == 0)
            break;
        total += got;
        base_ += got;
    }
    return total;
}

} // namespace lse::io
