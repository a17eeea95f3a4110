#include "StepsDialog.h"

#include "Commands.h"
#include "ReportView.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace lse::ui {

namespace {

QString qString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

StepsDialog::StepsDialog(QWidget* parent, const QString& title, const QString& text,
                         const QString& fractions, const QString& fractionsTitle,
                         const QString& copyText)
    : QDialog(parent) {
    setObjectName("steps");
    setWindowTitle(title);
    setModal(true);
    // Unwrapped, so that a matrix's columns stay in line, and the two views' lines too.
    view = reportView(this, "stepsText", title, QPlainTextEdit::NoWrap);
    view->setPlainText(text);
    auto* const views = new QHBoxLayout;
    views->addWidget(view);
    if (!fractions.isEmpty()) {
        fractionsView = reportView(this, "fractionSteps", fractionsTitle, QPlainTextEdit::NoWrap);
        fractionsView->setPlainText(fractions);
        // Two views of 100 columns would not fit a laptop's screen. Both keep a horizontal
        // scroll bar, so that they show as many lines and stay in line to the last.
        for (QPlainTextEdit* const v : {view, fractionsView}) {
            v->setMinimumWidth(v->fontMetrics().averageCharWidth() * 64);
            v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        }
        views->addWidget(fractionsView);
        // The form gives both the same lines, a step beside its like: they scroll as one.
        QScrollBar* const left = view->verticalScrollBar();
        QScrollBar* const right = fractionsView->verticalScrollBar();
        connect(left, &QScrollBar::valueChanged, right, &QScrollBar::setValue);
        connect(right, &QScrollBar::valueChanged, left, &QScrollBar::setValue);
    }

    auto* const buttons = new QDialogButtonBox(this);
    copyButton = buttons->addButton(qString(caption::kCopySteps), QDialogButtonBox::ActionRole);
    copyButton->setObjectName("copy");
    copyButton->setAutoDefault(false);
    connect(copyButton, &QPushButton::clicked, this,
            [copyText] { QGuiApplication::clipboard()->setText(copyText); });
    closeButton = buttons->addButton(QDialogButtonBox::Close);
    closeButton->setText(qString(caption::kClose));
    closeButton->setObjectName("close");
    closeButton->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* const layout = new QVBoxLayout(this);
    layout->addLayout(views);
    layout->addWidget(buttons);
    view->setFocus();
}

} // namespace lse::ui
