#include "ShownWindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTextBlock>
#include <QTextLayout>

namespace lse::test {
namespace {

struct Control {
    const char* name;
    int index; // within the option array, else -1
    const char* kind;
    QString caption;
    int left, top, width, height; // twips
};

// The window's controls in tab-index order.
const Control kControls[] = {
    {"display", -1, "QPlainTextEdit", "", 240, 600, 3975, 3615},
    {"submit_but", -1, "QPushButton", "Submit", 240, 5040, 1815, 615},
    {"Textn", -1, "QLineEdit", "3", 3495, 4530, 735, 285},
    {"Label1", -1, "QLabel", "Enter the no. of equations to be solved", 255, 4560, 2895, 255},
    {"Start", -1, "QPushButton", "Calculate Using.....", 6120, 4560, 1815, 615},
    {"Label2", -1, "QLabel",
     "Please note that input matrices must be symetirc positive definite for cholesky to work "
     "his magic. Cholesky Decomposition is a test for the above condition.",
     240, 6120, 4575, 735},
    {"Label3", -1, "QLabel", "The default matrix is from Morvane, 7ed, Section 19.2 Example 2.",
     240, 6840, 4575, 255},
    {"chkDefault", -1, "QCheckBox", "Use Default Matrix", 2400, 5280, 1935, 255},
    {"Option1", 0, "QRadioButton", "Gauss Elimination", 6120, 5400, 2055, 255},
    {"Option1", 1, "QRadioButton", "Both Solution Methods", 6120, 6360, 2055, 255},
    {"Option1", 2, "QRadioButton", "Cholesky Decomposition", 6120, 5880, 2055, 255},
    {"txtGauss", -1, "QPlainTextEdit", "", 6120, 600, 1455, 3615},
    {"txtCholesky", -1, "QPlainTextEdit", "", 7800, 600, 1455, 3615},
    {"Label4", -1, "QLabel", "Input Matrix", 360, 240, 1815, 255},
    {"Label5", -1, "QLabel", "Gauss Solution", 6120, 240, 1455, 255},
    {"Label6", -1, "QLabel", "Cholesky Solution", 7800, 240, 1455, 255},
    {"txtVector", -1, "QPlainTextEdit", "", 4440, 600, 1455, 3615},
    {"Label7", -1, "QLabel", "Input Vector", 4440, 240, 1455, 255},
    {"Label8", -1, "QLabel", "www.quorvelt.example", 6720, 6960, 2535, 255},
};

QString captionOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* line = qobject_cast<const QLineEdit*>(widget))
        return line->text();
    return qobject_cast<const QPlainTextEdit*>(widget)->toPlainText();
}

using Window = ShownWindow;

TEST_F(Window, HasItsCaptionAFixedSizeAndOnlyACloseBox) {
    EXPECT_EQ(window.objectName(), "frmCholesky");
    EXPECT_EQ(window.windowTitle(), "Linear Simultaneous Equations by Quorvelt");
    EXPECT_EQ(window.geometry(), QRect(324, 220, 636, 491));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());

    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags.testFlags(Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(window.isMinimized() || window.isMaximized());
}

TEST_F(Window, ControlsHaveTheirKindCaptionAndPlace) {
    EXPECT_EQ(window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(),
              std::size(kControls));
    for (const Control& c : kControls) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.index));
        const QWidget* const widget = child(c.name, c.index);
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), c.kind);
        EXPECT_EQ(captionOf(widget), c.caption);
        EXPECT_EQ(widget->geometry(), QRect(c.left / 15, c.top / 15, c.width / 15, c.height / 15));
        EXPECT_TRUE(widget->isVisible() && widget->isEnabled());
    }
}

TEST_F(Window, StartsWithTheDefaultMatrixAndBothMethodsChosen) {
    EXPECT_TRUE(window.chkDefault->isChecked());
    EXPECT_FALSE(window.chkDefault->isTristate());
    EXPECT_FALSE(window.Option1[0]->isChecked());
    EXPECT_TRUE(window.Option1[1]->isChecked());
    EXPECT_FALSE(window.Option1[2]->isChecked());
    EXPECT_TRUE(platform.optionValue(OptionArray::Option1, SolutionMethod::bothMethods));
    EXPECT_EQ(platform.checkBoxValue(CheckBox::chkDefault), 1);
    EXPECT_EQ(text(TextBox::Textn), "3");
}

TEST_F(Window, MultiLineBoxesBreakAtCrLfWrapAndShowNoScrollBars) {
    for (QPlainTextEdit* const box :
         {window.display, window.txtVector, window.txtGauss, window.txtCholesky}) {
        SCOPED_TRACE(box->objectName().toStdString());
        EXPECT_FALSE(box->isReadOnly());

        std::string many;
        for (int i = 0; i < 60; ++i)
            many += "line\r\n";
        const TextBox id = box == window.display     ? TextBox::display
                           : box == window.txtVector ? TextBox::txtVector
                           : box == window.txtGauss  ? TextBox::txtGauss
                                                     : TextBox::txtCholesky;
        platform.replaceText(id, "x1 =   3\r\nx2 =   -6\r\n" + many);
        EXPECT_EQ(box->document()->firstBlock().text(), "x1 =   3");
        EXPECT_EQ(box->document()->firstBlock().next().text(), "x2 =   -6");
        EXPECT_FALSE(box->toPlainText().contains('\r'));
        EXPECT_EQ(text(id), "x1 =   3\r\nx2 =   -6\r\n" + many);
        EXPECT_FALSE(box->verticalScrollBar()->isVisible());

        platform.replaceText(id, std::string(200, 'w') + " and some words to wrap");
        QCoreApplication::processEvents();
        EXPECT_GT(box->document()->firstBlock().layout()->lineCount(), 1);
        EXPECT_FALSE(box->horizontalScrollBar()->isVisible());
    }
}

TEST_F(Window, FontsAreTheDebianStandIns) {
    // The fitting test below measures these faces; another face proves nothing.
    EXPECT_EQ(QFontInfo(window.font()).family(), "Roboto Condensed")
        << "install fonts-roboto-unhinted (scripts/install-deps)";
    EXPECT_DOUBLE_EQ(window.font().pointSizeF(), 8.25);
    const QFont address = child<QLabel>("Label8")->font();
    EXPECT_EQ(QFontInfo(address).family(), "DejaVu Serif");
    EXPECT_TRUE(address.bold());
    EXPECT_FALSE(address.italic() || address.underline() || address.strikeOut());
    EXPECT_DOUBLE_EQ(address.pointSizeF(), 8.25);
    EXPECT_EQ(child<QLabel>("Label8")->textFormat(), Qt::PlainText); // an address, not a link
}

TEST_F(Window, EveryCaptionFitsItsControl) {
    for (const QLabel* const label : window.findChildren<QLabel*>()) {
        SCOPED_TRACE(label->objectName().toStdString());
        const QFontMetrics metrics(label->font());
        const QRect room = label->contentsRect();
        const QRect needed = metrics.boundingRect(
            room, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, label->text());
        EXPECT_LE(needed.width(), room.width());
        EXPECT_LE(needed.height(), room.height());
        // Only the note is meant to wrap; every other caption stands on one line.
        if (label->objectName() != "Label2") {
            EXPECT_LE(metrics.horizontalAdvance(label->text()), room.width());
        }
    }
    for (QAbstractButton* const button : window.findChildren<QAbstractButton*>()) {
        SCOPED_TRACE(button->text().toStdString());
        const QFontMetrics metrics(button->font());
        QRect room = button->rect();
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        if (qobject_cast<QRadioButton*>(button))
            room = button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
        else if (qobject_cast<QCheckBox*>(button))
            room = button->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, button);
        else
            EXPECT_LE(button->sizeHint().height(), room.height());
        EXPECT_LE(metrics.horizontalAdvance(button->text()), room.width());
        EXPECT_LE(metrics.height(), room.height());
    }
}

TEST_F(Window, EveryControlHasAnAccessibleName) {
    const std::pair<QWidget*, QString> boxes[] = {
        {window.display, "Input Matrix"},
        {window.txtVector, "Input Vector"},
        {window.txtGauss, "Gauss Solution"},
        {window.txtCholesky, "Cholesky Solution"},
        {window.Textn, "Enter the no. of equations to be solved"}};
    for (const auto& [box, heading] : boxes)
        EXPECT_EQ(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name), heading);
    for (QWidget* const widget :
         window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        SCOPED_TRACE(widget->objectName().toStdString());
        EXPECT_FALSE(
            QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).isEmpty());
    }
}

} // namespace
} // namespace lse::test
