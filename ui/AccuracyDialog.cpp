#include "AccuracyDialog.h"

#include "QtPlatform.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lse::ui {

namespace {

QPushButton* addButton(QDialogButtonBox* box, const QString& text, const char* name,
                       QDialogButtonBox::ButtonRole role) {
    QPushButton* const button = box->addButton(text, role);
    button->setObjectName(name);
    button->setAccessibleName(QString(text).remove('&'));
    button->setAutoDefault(false);
    return button;
}

} // namespace

AccuracyDialog::AccuracyDialog(QWidget* parent, frmCholesky& form) : QDialog(parent), form_(form) {
    setObjectName("accuracy");
    setWindowTitle(QString::fromUtf8("Accuracy \u2014 ") + kProgramTitle);
    setModal(true);
    view = new QPlainTextEdit(this);
    view->setObjectName("accuracyText");
    view->setAccessibleName("Accuracy of the last Calculate");
    view->setReadOnly(true);
    view->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    view->setTabChangesFocus(true);
    view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setMinimumSize(view->fontMetrics().averageCharWidth() * 100,
                         view->fontMetrics().lineSpacing() * 28);

    auto* const buttons = new QDialogButtonBox(this);
    copyButton = addButton(buttons, "&Copy", "copyText", QDialogButtonBox::ActionRole);
    copyTableButton =
        addButton(buttons, "Copy as &Tab-Separated", "copyTable", QDialogButtonBox::ActionRole);
    exactButton =
        addButton(buttons, "Compute &Exact Solution", "computeExact", QDialogButtonBox::ActionRole);
    closeButton = addButton(buttons, "Close", "close", QDialogButtonBox::RejectRole);
    connect(copyButton, &QPushButton::clicked, this, [this] {
        QGuiApplication::clipboard()->setText(QString::fromStdString(form_.accuracyText()));
    });
    connect(copyTableButton, &QPushButton::clicked, this, [this] {
        QGuiApplication::clipboard()->setText(QString::fromStdString(form_.accuracyTable()));
    });
    connect(exactButton, &QPushButton::clicked, this, &AccuracyDialog::computeExact);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* const layout = new QVBoxLayout(this);
    layout->addWidget(view);
    layout->addWidget(buttons);
    refresh();
    view->setFocus();
}

void AccuracyDialog::computeExact() {
    if (form_.computeExact())
        refresh();
}

void AccuracyDialog::refresh() {
    view->setPlainText(QString::fromStdString(form_.accuracyText()));
    exactButton->setEnabled(form_.exactPending());
    copyTableButton->setEnabled(!form_.report().empty());
}

} // namespace lse::ui
