#pragma once

#include "WindowLayout.h"

#include <QFont>

namespace lse::ui {

// The face the window's description names, with the style hint that picks a like face on a
// machine that has none of its families.
QFont qtFont(window::Face face);

inline QFont dialogFont() {
    return qtFont(window::Face::dialog);
}

} // namespace lse::ui
