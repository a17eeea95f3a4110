#include "StepsDialog.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lse::ui {

StepsDialog::StepsDialog(QWidget* parent, const QString& title, const QString& text)
    : QDialog(parent) {
    setObjectName("steps");
    setWindowTitle(title);
    setModal(true);
    view = new QPlainTextEdit(this);
    view->setObjectName("stepsText");
    view->setAccessibleName(title);
    view->setReadOnly(true);
    view->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    view->setTabChangesFocus(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setMinimumSize(view->fontMetrics().averageCharWidth() * 100,
                         view->fontMetrics().lineSpacing() * 28);
    view->setPlainText(text);

    auto* const buttons = new QDialogButtonBox(this);
    copyButton = buttons->addButton(tr("&Copy"), QDialogButtonBox::ActionRole);
    copyButton->setObjectName("copy");
    copyButton->setAutoDefault(false);
    connect(copyButton, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(view->toPlainText()); });
    closeButton = buttons->addButton(QDialogButtonBox::Close);
    closeButton->setObjectName("close");
    closeButton->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* const layout = new QVBoxLayout(this);
    layout->addWidget(view);
    layout->addWidget(buttons);
    view->setFocus();
}

} // namespace lse::ui
