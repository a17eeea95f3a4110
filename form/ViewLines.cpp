#include "ViewLines.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace lse {

namespace {

std::string_view withoutLineEnd(std::string_view line) {
    if (line.ends_with('\n'))
        line.remove_suffix(line.ends_with("\r\n") ? 2 : 1);
    return line;
}

bool continuesCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::vector<std::string_view> viewPieces(std::string_view line) {
    std::vector<std::string_view> pieces;
    while (line.size() > kViewPiece) {
        std::size_t cut = kViewPiece;
        while (cut > 1 && !(line[cut - 1] == ' ' && line[cut] != ' '))
            --cut;
        if (cut == 1)
            for (cut = kViewPiece; cut > 1 && continuesCharacter(line[cut]); --cut) {
            }
        pieces.push_back(line.substr(0, cut));
        line.remove_prefix(cut);
    }
    pieces.push_back(line);
    return pieces;
}

std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size() - 1) + 1;
        lines.emplace_back(text.substr(at, end - at));
        at = end;
    }
    return lines;
}

std::string viewLinesJson(const LongText& text, int first, int count) {
    using nlohmann::json;
    json lines = json::array();
    for (int i = std::max(first, 0); i < text.lines && i - first < count; ++i) {
        const std::string line = text.line(i);
        json pieces = json::array();
        if (text.beside) {
            pieces.push_back(json::array({withoutLineEnd(line), withoutLineEnd(text.beside(i))}));
        } else {
            for (const std::string_view piece : viewPieces(withoutLineEnd(line)))
                pieces.push_back(json::array({piece}));
        }
        lines.push_back(std::move(pieces));
    }
    // A byte that is no UTF-8 shows as U+FFFD, as the page would decode it.
    return lines.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string viewText(const LongText& text) {
    std::string whole;
    for (int i = 0; i < text.lines; ++i)
        whole.append(withoutLineEnd(text.line(i))).push_back('\n');
    return whole;
}

} // namespace lse
