#include "JsonString.h"

#include <array>
#include <cstdio>

namespace lse {

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            std::array<char, 7> escape{};
            std::snprintf(escape.data(), escape.size(), "\\u%04x", c);
            out += escape.data();
        } else {
            out += c;
        }
    }
    out += '"';
}

} // namespace lse
