#include "MainWindow.h"

#include "Fonts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <limits>

namespace lse::ui {

MainWindow::MainWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmCholesky");
    setWindowTitle(kCaption);
    // A fixed frame with a close box and system menu, but no minimize or maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setGeometry(twips(4860), twips(3300), twips(9540), twips(7365));
    setFixedSize(size());
    setFont(dialogFont());

    // Created in tab order, so that the focus chain follows it.
    display = multiLineBox("display", 240, 600, 3975, 3615);
    submit_but = button("submit_but", "Submit", 240, 5040);

    Textn = place<QLineEdit>("Textn", 3495, 4530, 735, 285);
    Textn->setText("3");
    Textn->setMaxLength(std::numeric_limits<int>::max());

    QLabel* const countLabel =
        label("Label1", "Enter the no. of equations to be solved", 255, 4560, 2895, 255);
    Start = button("Start", "Calculate Using.....", 6120, 4560);
    label("Label2",
          "Please note that input matrices must be symetirc positive definite for cholesky to "
          "work his magic. Cholesky Decomposition is a test for the above condition.",
          240, 6120, 4575, 735);
    // Label3 is made after Label2 and so lies over it where their strips share 15 twips; both
    // are transparent, so neither hides the other.
    label("Label3", "The default matrix is from Morvane, 7ed, Section 19.2 Example 2.", 240, 6840,
          4575, 255);

    chkDefault = place<QCheckBox>("chkDefault", 2400, 5280, 1935, 255);
    chkDefault->setText("Use Default Matrix");
    chkDefault->setChecked(true);

    optionGroup_ = new QButtonGroup(this);
    addOption(SolutionMethod::gaussElimination, "Gauss Elimination", 5400);
    addOption(SolutionMethod::bothMethods, "Both Solution Methods", 6360);
    addOption(SolutionMethod::choleskyDecomposition, "Cholesky Decomposition", 5880);
    option(SolutionMethod::bothMethods)->setChecked(true);
    keepSelectedOptionAsTabStop();
    connect(optionGroup_, &QButtonGroup::idToggled, this, &MainWindow::keepSelectedOptionAsTabStop);

    txtGauss = multiLineBox("txtGauss", 6120, 600, 1455, 3615);
    txtCholesky = multiLineBox("txtCholesky", 7800, 600, 1455, 3615);
    QLabel* const matrixHeading = label("Label4", "Input Matrix", 360, 240, 1815, 255);
    QLabel* const gaussHeading = label("Label5", "Gauss Solution", 6120, 240, 1455, 255);
    QLabel* const choleskyHeading = label("Label6", "Cholesky Solution", 7800, 240, 1455, 255);
    txtVector = multiLineBox("txtVector", 4440, 600, 1455, 3615);
    QLabel* const vectorHeading = label("Label7", "Input Vector", 4440, 240, 1455, 255);
    label("Label8", kAddress, 6720, 6960, 2535, 255)->setFont(addressFont());

    // A screen reader names each box after the text that labels it on screen.
    const std::pair<QLabel*, QWidget*> buddies[] = {{countLabel, Textn},
                                                    {matrixHeading, display},
                                                    {gaussHeading, txtGauss},
                                                    {choleskyHeading, txtCholesky},
                                                    {vectorHeading, txtVector}};
    for (const auto& [heading, box] : buddies) {
        heading->setBuddy(box);
        box->setAccessibleName(heading->text());
    }

    QWidget* const tabOrder[] = {display,    submit_but,  Textn,      Start,
                                 chkDefault, Option1[0],  Option1[1], Option1[2],
                                 txtGauss,   txtCholesky, txtVector};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    display->setFocus();
}

template <typename Widget>
Widget* MainWindow::place(const char* name, int left, int top, int width, int height) {
    auto* const widget = new Widget(this);
    widget->setObjectName(name);
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
    return widget;
}

QLabel* MainWindow::label(const char* name, const QString& caption, int left, int top, int width,
                          int height) {
    auto* const label = place<QLabel>(name, left, top, width, height);
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QPlainTextEdit* MainWindow::multiLineBox(const char* name, int left, int top, int width,
                                         int height) {
    auto* const box = place<QPlainTextEdit>(name, left, top, width, height);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTabChangesFocus(true);
    return box;
}

QPushButton* MainWindow::button(const char* name, const QString& caption, int left, int top) {
    auto* const button = place<QPushButton>(name, left, top, 1815, 615);
    button->setText(caption);
    // Neither button answers Enter or Esc: they are pressed by click or Space only.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void MainWindow::addOption(SolutionMethod button, const QString& caption, int top) {
    const int index = static_cast<int>(button);
    auto* const option = place<QRadioButton>("Option1", 6120, top, 2055, 255);
    option->setText(caption);
    option->setProperty("index", index);
    option->installEventFilter(this);
    optionGroup_->addButton(option, index);
    Option1[static_cast<std::size_t>(index)] = option;
}

// The option group is one tab stop, entered at its selected button. Qt on its own makes the
// last focused button the stop, and at first the first one in tab order; so only the
// selected button keeps tab focus, restored whenever the selection or the focus moves.
void MainWindow::keepSelectedOptionAsTabStop() {
    for (QRadioButton* const option : Option1)
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut)
        keepSelectedOptionAsTabStop();
    return QWidget::eventFilter(watched, event);
}

} // namespace lse::ui
