#pragma once

#include <QPlainTextEdit>

namespace lse::ui {

// A view's text: read-only but selectable by keyboard and mouse, in the fixed-width face, Tab
// moving on, room for 100 columns and 28 lines.
QPlainTextEdit* reportView(QWidget* parent, const QString& name, const QString& accessibleName,
                           QPlainTextEdit::LineWrapMode wrap);

} // namespace lse::ui
