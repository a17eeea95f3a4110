#pragma once

#include <string>
#include <string_view>

namespace lse {

// Appends `text` to `out` as a JSON string: quoted, with '"', '\' and the control characters
// escaped; every other byte as it is, so that UTF-8 passes through.
void appendJsonString(std::string& out, std::string_view text);

} // namespace lse
