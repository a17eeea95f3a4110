#pragma once

#include "CommandActions.h"
#include "View.h"

#include <QDialog>

#include <vector>

class QPlainTextEdit;
class QTableView;

namespace lse::ui {

// Any view the form describes (View.h), modal over the window: its texts, read-only but
// selectable with the keyboard; its tables, the last of a part scrolling, each method's wrong
// digits in red; as tabs, or side by side scrolling as one; a button for each of its commands,
// which act through the window's actions, and its copies, then Close. Each control is named as
// the description names it.
class ViewDialog final : public QDialog {
    Q_OBJECT

public:
    ViewDialog(QWidget* parent, const View& view, CommandActions& commands);

    // Shows what `view`, the same view described anew, holds now.
    void refresh(const View& view);

private:
    QWidget* part(const ViewPart& part);

    CommandActions& commands_;
    std::vector<QPlainTextEdit*> texts_;
    std::vector<QTableView*> tables_;
};

} // namespace lse::ui
