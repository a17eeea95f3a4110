#include "Fonts.h"

#include <QStringList>

namespace lse::ui {

QFont qtFont(window::Face face) {
    const window::Font& described = window::fontOf(face);
    QStringList families;
    for (const std::string_view family : described.families)
        families << QString::fromUtf8(family);
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(face == window::Face::address ? QFont::Serif : QFont::SansSerif);
    font.setPointSizeF(described.pointSize);
    if (described.bold)
        font.setBold(true);
    return font;
}

} // namespace lse::ui
