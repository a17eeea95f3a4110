#include "Fonts.h"

namespace lse::ui {

namespace {

QFont fontOf(const QStringList& families, QFont::StyleHint hint) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPointSizeF(kPointSize);
    return font;
}

} // namespace

QFont dialogFont() {
    return fontOf(kDialogFamilies, QFont::SansSerif);
}

QFont addressFont() {
    QFont font = fontOf(kAddressFamilies, QFont::Serif);
    font.setBold(true);
    return font;
}

} // namespace lse::ui
