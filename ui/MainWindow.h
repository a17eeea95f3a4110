#pragma once

#include "Platform.h"
#include "WindowLayout.h"

#include <QWidget>

#include <array>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace lse::ui {

// The calculator's one window, laid out from its description: the controls, their places
// and tab order. It has no logic of its own; the Calculator binds its two buttons to the
// equation logic.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);

    // Controls, owned by the window; the names are also their object names.
    QPlainTextEdit* display{};
    QPushButton* submit_but{};
    QLineEdit* Textn{};
    QPushButton* Start{};
    QCheckBox* chkDefault{};
    // Indexed as the logic addresses them, which is not their order on screen.
    std::array<QRadioButton*, 3> Option1{};
    QRadioButton* option(SolutionMethod button) const {
        return Option1[static_cast<std::size_t>(button)];
    }
    QPlainTextEdit* txtGauss{};
    QPlainTextEdit* txtCholesky{};
    QPlainTextEdit* txtVector{};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* make(const window::Control& control);
    template <typename Widget> Widget* place(const window::Control& control);
    template <typename Widget> Widget* made(std::string_view name) const;
    void keepSelectedOptionAsTabStop();

    QButtonGroup* optionGroup_{};
};

} // namespace lse::ui
