#pragma once

#include "Platform.h"

#include <QString>
#include <QWidget>

#include <array>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace lse::ui {

inline const QString kCaption = "Linear Simultaneous Equations by Quorvelt";
inline const QString kAddress = "www.quorvelt.example";

// The layout is drawn in twips; at 96 dpi a logical pixel is 15 of them, and Qt's high-DPI
// scaling takes it from there.
constexpr int twips(int value) {
    return value / 15;
}

// The calculator's one window: the controls, their layout and tab order. It has no logic of
// its own; the Calculator binds its two buttons to the equation logic.
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
    template <typename Widget>
    Widget* place(const char* name, int left, int top, int width, int height);
    QLabel* label(const char* name, const QString& caption, int left, int top, int width,
                  int height);
    QPlainTextEdit* multiLineBox(const char* name, int left, int top, int width, int height);
    QPushButton* button(const char* name, const QString& caption, int left, int top);
    void addOption(SolutionMethod button, const QString& caption, int top);
    void keepSelectedOptionAsTabStop();

    QButtonGroup* optionGroup_{};
};

} // namespace lse::ui
