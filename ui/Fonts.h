#pragma once

#include <QFont>
#include <QStringList>

namespace lse::ui {

// The layout was drawn for an 8.25 pt dialog face; these Debian faces stand in for it. The
// first family found is used, so a machine without them still opens the window.
inline const QStringList kDialogFamilies{"Roboto Condensed", "Liberation Sans Narrow",
                                         "DejaVu Sans Condensed"};
inline const QStringList kAddressFamilies{"DejaVu Serif", "Liberation Serif"};
inline constexpr double kPointSize = 8.25;

QFont dialogFont();
// Bold serif for the web address line.
QFont addressFont();

} // namespace lse::ui
