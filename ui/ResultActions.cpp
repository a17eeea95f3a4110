#include "ResultActions.h"

#include "AccuracyDialog.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>

namespace lse::ui {

ResultActions::ResultActions(MainWindow& window, frmCholesky& form)
    : QObject(&window), window_(window), form_(form) {
    accuracyAction = new QAction(QString::fromUtf8("Accuracy\u2026"), &window);
    accuracyAction->setObjectName("accuracy");
    accuracyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    accuracyAction->setShortcutContext(Qt::WindowShortcut);
    connect(accuracyAction, &QAction::triggered, this, [this] { showAccuracy(); });
    window.addAction(accuracyAction);

    for (const auto& [box, name] : {std::pair{window.txtGauss, TextBox::txtGauss},
                                    std::pair{window.txtCholesky, TextBox::txtCholesky}}) {
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(
            box, &QWidget::customContextMenuRequested, this,
            [this, box, name](const QPoint& position) { showContextMenu(box, name, position); });
    }
}

void ResultActions::showAccuracy(bool computeExact) {
    AccuracyDialog dialog(&window_, form_);
    if (computeExact)
        dialog.computeExact();
    dialog.exec();
}

void ResultActions::copySolution(TextBox box) {
    if (const std::optional<std::string> text = form_.solutionCopy(box))
        QGuiApplication::clipboard()->setText(QString::fromStdString(*text));
}

void ResultActions::showContextMenu(QPlainTextEdit* box, TextBox name, const QPoint& position) {
    QMenu* const menu = box->createStandardContextMenu();
    menu->setObjectName(box->objectName() + "Menu");
    menu->addSeparator();
    menu->addAction(accuracyAction);
    QAction* const copy =
        menu->addAction("Copy Solution", this, [this, name] { copySolution(name); });
    copy->setObjectName("copySolution");
    copy->setEnabled(form_.solutionCopy(name).has_value());
    QAction* const exact =
        menu->addAction("Compute Exact Solution", this, [this] { showAccuracy(true); });
    exact->setObjectName("computeExact");
    exact->setEnabled(form_.exactPending());
    menu->exec(box->mapToGlobal(position));
    delete menu;
}

} // namespace lse::ui
