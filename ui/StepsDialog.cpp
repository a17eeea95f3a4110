#include "StepsDialog.h"

#include "ReportView.h"

#include <QClipboard>
#include <QDialogButtonBox>
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
    // Unwrapped, so that a matrix's columns stay in line.
    view = reportView(this, "stepsText", title, QPlainTextEdit::NoWrap);
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
