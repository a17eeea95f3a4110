#pragma once

#include "CalculateReport.h"
#include "CommandActions.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;

namespace lse::ui {

// The accuracy view of the last Calculate. First the methods side by side: their figures in a
// small table above, and a table of the unknowns, in which, once the exact solution is known,
// each method's correct digits are set apart from the wrong ones. Then the form's full text,
// read-only but selectable with the keyboard. A button for each of the view's commands (Copy,
// Copy as Tab-Separated, Compute Exact Solution), which act through the window's actions, and
// Close.
class AccuracyDialog final : public QDialog {
    Q_OBJECT

public:
    AccuracyDialog(QWidget* parent, const CalculateReport& report, CommandActions& commands);

    // Shows what the report holds now.
    void refresh();

    QTabWidget* tabs{};
    QTableView* figures{};
    QTableView* table{};
    QPlainTextEdit* view{};
    QPushButton* copyButton{};
    QPushButton* copyTableButton{};
    QPushButton* refineButton{};
    QPushButton* exactButton{};
    QPushButton* closeButton{};

private:
    const CalculateReport& report_;
    CommandActions& commands_;
};

} // namespace lse::ui
