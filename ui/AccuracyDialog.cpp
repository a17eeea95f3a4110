#include "AccuracyDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>
#include <tuple>

namespace lse::ui {

AccuracyDialog::AccuracyDialog(QWidget* parent, frmCholesky& form, CommandActions& commands)
    : QDialog(parent), form_(form), commands_(commands) {
    setObjectName("accuracy");
    setWindowTitle(QString::fromStdString(accuracyTitle()));
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
    std::array<QPushButton*, std::size(kAccuracyViewCommands)> made{};
    for (std::size_t i = 0; i < made.size(); ++i) {
        made[i] = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
        made[i]->setAutoDefault(false);
        commands.bindButton(made[i], kAccuracyViewCommands[i]);
    }
    std::tie(copyButton, copyTableButton, exactButton) = std::tuple(made[0], made[1], made[2]);
    closeButton = buttons->addButton(QDialogButtonBox::Close);
    closeButton->setObjectName("close");
    closeButton->setAutoDefault(false);
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
    commands_.refresh();
}

} // namespace lse::ui
