#include "ResultActions.h"

#include "AccuracyDialog.h"
#include "SaveDialog.h"
#include "StepsDialog.h"
#include "StepsText.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>

namespace lse::ui {

namespace {

void toClipboard(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

} // namespace

ResultActions::ResultActions(MainWindow& window, frmCholesky& form, CommandActions& commands)
    : QObject(&window), window_(window), form_(form), commands_(commands) {
    accuracyAction = commands.action(Command::accuracy);
    commands.bind(Command::accuracy, [this] { showAccuracy(); });
    commands.bind(Command::copySolution, [this] {
        if (const std::optional<TextBox> box = commands_.resultBox())
            copySolution(*box);
    });
    commands.bind(Command::computeExact, [this] { computeExact(); });
    commands.bind(Command::copyText, [this] { toClipboard(form_.accuracyText()); });
    commands.bind(Command::copyTable, [this] { toClipboard(form_.accuracyTable()); });
    commands.bind(Command::saveResults, [this] { saveResults(); });
    commands.bind(Command::steps, [this] {
        if (const std::optional<TextBox> box = commands_.resultBox())
            showSteps(*box);
    });

    for (const TextBox name : resultBoxes()) {
        auto* const box = window.findChild<QPlainTextEdit*>(
            QString::fromUtf8(window::nameOf(name).data(), window::nameOf(name).size()));
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(
            box, &QWidget::customContextMenuRequested, this,
            [this, box, name](const QPoint& position) { showContextMenu(box, name, position); });
    }
}

void ResultActions::showAccuracy(bool computeExact) {
    AccuracyDialog dialog(&window_, form_, commands_);
    view_ = &dialog;
    if (computeExact)
        dialog.computeExact();
    dialog.exec();
    view_ = nullptr;
    commands_.refresh();
}

void ResultActions::computeExact() {
    if (view_)
        view_->computeExact();
    else
        showAccuracy(true);
}

void ResultActions::copySolution(TextBox box) {
    if (const std::optional<std::string> text = form_.solutionCopy(box))
        toClipboard(*text);
}

void ResultActions::showSteps(TextBox box) {
    const MethodEntry* const method = form_.stepsOf(box);
    if (method == nullptr)
        return;
    const auto [text, fractions] = form_.stepsColumns(*method);
    StepsDialog dialog(&window_, QString::fromStdString(stepsTitle(*method)),
                       QString::fromStdString(text), QString::fromStdString(fractions),
                       QString::fromStdString(form_.stepsText(*method)));
    dialog.exec();
}

void ResultActions::saveResults() {
    const QString path = chooseSavePath(&window_, *commands_.action(Command::saveResults),
                                        "Comma-separated values (*.csv)", "csv", lastFolder_);
    if (!path.isEmpty())
        form_.saveResultsFile(path.toStdString());
}

void ResultActions::showContextMenu(QPlainTextEdit* box, TextBox name, const QPoint& position) {
    QMenu* const menu = box->createStandardContextMenu();
    menu->setObjectName(box->objectName() + "Menu");
    menu->addSeparator();
    for (const Command command : {Command::accuracy, Command::copySolution, Command::steps,
                                  Command::computeExact, Command::saveResults})
        menu->addAction(commands_.action(command));
    commands_.setMenuBox(name);
    menu->exec(box->mapToGlobal(position));
    commands_.setMenuBox(std::nullopt);
    delete menu;
}

} // namespace lse::ui
