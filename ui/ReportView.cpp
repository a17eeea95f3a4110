#include "ReportView.h"

#include <QFontDatabase>

namespace lse::ui {

QPlainTextEdit* reportView(QWidget* parent, const QString& name, const QString& accessibleName,
                           QPlainTextEdit::LineWrapMode wrap) {
    auto* const view = new QPlainTextEdit(parent);
    view->setObjectName(name);
    view->setAccessibleName(accessibleName);
    view->setReadOnly(true);
    view->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    view->setTabChangesFocus(true);
    view->setLineWrapMode(wrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setMinimumSize(view->fontMetrics().averageCharWidth() * 100,
                         view->fontMetrics().lineSpacing() * 28);
    return view;
}

} // namespace lse::ui
