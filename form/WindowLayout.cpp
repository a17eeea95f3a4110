#include "WindowLayout.h"

namespace lse::window {

namespace {

constexpr std::string_view kDialogFamilies[] = {"Roboto Condensed", "Liberation Sans Narrow",
                                                "DejaVu Sans Condensed"};
constexpr std::string_view kAddressFamilies[] = {"DejaVu Serif", "Liberation Serif"};

constexpr Font kDialogFont{kDialogFamilies, 8.25, false};
constexpr Font kAddressFont{kAddressFamilies, 8.25, true};

} // namespace

const Font& fontOf(Face face) {
    return face == Face::address ? kAddressFont : kDialogFont;
}

} // namespace lse::window
