#include "WorkerEvent.h"

#include "JsonString.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <type_traits>
#include <utility>

namespace lse::web {

namespace {

using Kind = WorkerEvent::Kind;

constexpr std::array<std::pair<Kind, std::string_view>, 7> kKindNames{{
    {Kind::progress, "progress"},
    {Kind::done, "done"},
    {Kind::refused, "refused"},
    {Kind::failed, "failed"},
    {Kind::outOfMemory, "outOfMemory"},
    {Kind::unreadable, "unreadable"},
    {Kind::cancelled, "cancelled"},
}};

std::string quoted(std::string_view text) {
    std::string out;
    lse::appendJsonString(out, text);
    return out;
}

// Doubles as JavaScript writes integers: the counts here are whole.
std::string number(double value) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.17g", value);
    return text.data();
}

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A flat JSON object as JSON.stringify writes it: strings, numbers, booleans and null (as 0).
class FlatJson {
public:
    explicit FlatJson(std::string_view text) : text_(text) {}

    // Calls field(name, string) or field(name, number) for each member; false where the text
    // is no such object.
    template <class Field> bool read(Field&& field) {
        if (!take('{'))
            return false;
        if (take('}'))
            return atEnd();
        do {
            std::string name;
            if (!string(name) || !take(':'))
                return false;
            skipSpace();
            if (at_ < text_.size() && text_[at_] == '"') {
                std::string value;
                if (!string(value))
                    return false;
                field(name, value);
            } else if (const std::optional<double> value = scalar()) {
                field(name, *value);
            } else {
                return false;
            }
        } while (take(','));
        return take('}') && atEnd();
    }

private:
    void skipSpace() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' ||
                                      text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
    }
    bool take(char c) {
        skipSpace();
        if (at_ >= text_.size() || text_[at_] != c)
            return false;
        ++at_;
        return true;
    }
    bool atEnd() {
        skipSpace();
        return at_ == text_.size();
    }
    std::optional<unsigned> hex4() {
        if (text_.size() - at_ < 4)
            return std::nullopt;
        const std::string digits(text_.substr(at_, 4));
        char* end = nullptr;
        const unsigned long code = std::strtoul(digits.c_str(), &end, 16);
        if (end != digits.c_str() + 4)
            return std::nullopt;
        at_ += 4;
        return static_cast<unsigned>(code);
    }
    bool escape(std::string& out) {
        const char c = text_[at_++];
        constexpr std::string_view kFrom = "\"\\/bfnrt";
        constexpr std::string_view kTo = "\"\\/\b\f\n\r\t";
        if (const std::size_t i = kFrom.find(c); i != std::string_view::npos) {
            out += kTo[i];
            return true;
        }
        if (c != 'u')
            return false;
        std::optional<unsigned> code = hex4();
        if (!code)
            return false;
        // A pair of surrogates is one character; one alone is none.
        if (*code >= 0xD800 && *code < 0xDC00 && text_.substr(at_, 2) == "\\u") {
            at_ += 2;
            const std::optional<unsigned> low = hex4();
            if (!low)
                return false;
            code = *low >= 0xDC00 && *low < 0xE000
                       ? 0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00)
                       : 0xFFFD;
        } else if (*code >= 0xD800 && *code < 0xE000) {
            code = 0xFFFD;
        }
        appendUtf8(out, *code);
        return true;
    }
    bool string(std::string& out) {
        if (!take('"'))
            return false;
        while (at_ < text_.size() && text_[at_] != '"') {
            const char c = text_[at_++];
            if (c != '\\')
                out += c;
            else if (at_ >= text_.size() || !escape(out))
                return false;
        }
        return take('"');
    }
    std::optional<double> scalar() {
        for (const auto& [word, value] : {std::pair{"true", 1.0}, {"false", 0.0}, {"null", 0.0}}) {
            if (text_.substr(at_).starts_with(word)) {
                at_ += std::string_view(word).size();
                return value;
            }
        }
        const std::size_t end = text_.find_first_of(",}", at_);
        const std::string digits(text_.substr(at_, end - at_));
        char* last = nullptr;
        const double value = std::strtod(digits.c_str(), &last);
        if (digits.empty() || last != digits.c_str() + digits.size())
            return std::nullopt;
        at_ = end;
        return value;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace

std::string toJson(const WorkerEvent& event) {
    std::string_view kind;
    for (const auto& [each, name] : kKindNames)
        if (each == event.kind)
            kind = name;
    std::string json = "{\"kind\":" + quoted(kind) + ",\"text\":" + quoted(event.text) +
                       ",\"bytes\":" + number(event.bytes) + ",\"n\":" + number(event.n) +
                       ",\"hasB\":" + (event.hasB ? "true" : "false") +
                       ",\"recordBytes\":" + number(event.recordBytes) +
                       ",\"textBytes\":" + number(event.textBytes) +
                       ",\"flags\":" + number(event.flags) +
                       ",\"summedCount\":" + number(event.summedCount) +
                       ",\"summedRow\":" + number(event.summedRow) +
                       ",\"summedColumn\":" + number(event.summedColumn);
    for (std::size_t i = 0; i < event.arrays.size(); ++i) {
        const auto& [at, bytes] = event.arrays[i];
        json += (i == 0 ? ",\"arrays\":[[" : ",[") +
                number(static_cast<double>(reinterpret_cast<std::uintptr_t>(at))) + "," +
                number(static_cast<double>(bytes)) + "]";
    }
    return json + (event.arrays.empty() ? "}" : "]}");
}

std::optional<WorkerEvent> workerEventFromJson(std::string_view json) {
    WorkerEvent event;
    bool known = false;
    const auto field = [&](const std::string& name, const auto& value) {
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, std::string>) {
            if (name == "kind")
                for (const auto& [each, said] : kKindNames)
                    if (said == value) {
                        event.kind = each;
                        known = true;
                    }
            if (name == "text")
                event.text = value;
        } else {
            if (name == "bytes")
                event.bytes = value;
            else if (name == "n")
                event.n = static_cast<int>(value);
            else if (name == "hasB")
                event.hasB = value != 0;
            else if (name == "recordBytes")
                event.recordBytes = value;
            else if (name == "textBytes")
                event.textBytes = value;
            else if (name == "flags")
                event.flags = static_cast<int>(value);
            else if (name == "summedCount")
                event.summedCount = static_cast<int>(value);
            else if (name == "summedRow")
                event.summedRow = static_cast<int>(value);
            else if (name == "summedColumn")
                event.summedColumn = static_cast<int>(value);
        }
    };
    if (!FlatJson(json).read(field) || !known)
        return std::nullopt;
    return event;
}

} // namespace lse::web
