#include "ShownWindow.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include <vector>

namespace lse::test {
namespace {

class Focus : public ShownWindow {
protected:
    QWidget* press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        return QApplication::focusWidget();
    }

    // The stops after display, in tab order, with the option group entered at `selected`.
    std::vector<QWidget*> stops(int selected) const {
        return {window.submit_but,
                window.Textn,
                window.Start,
                window.chkDefault,
                window.Option1.at(static_cast<std::size_t>(selected)),
                window.txtGauss,
                window.txtCholesky,
                window.txtVector,
                window.display};
    }

    void expectCycles(int selected) {
        window.display->setFocus();
        for (QWidget* const expected : stops(selected))
            EXPECT_EQ(press(Qt::Key_Tab), expected) << expected->objectName().toStdString();
        std::vector<QWidget*> back = stops(selected);
        back.pop_back();
        for (auto it = back.rbegin(); it != back.rend(); ++it)
            EXPECT_EQ(press(Qt::Key_Backtab, Qt::ShiftModifier), *it)
                << (*it)->objectName().toStdString();
        EXPECT_EQ(press(Qt::Key_Backtab, Qt::ShiftModifier), window.display);
    }

    int selected() const {
        int count = 0;
        int index = -1;
        for (int i = 0; i < 3; ++i)
            if (window.Option1[static_cast<std::size_t>(i)]->isChecked()) {
                ++count;
                index = i;
            }
        return count == 1 ? index : -1;
    }
};

TEST_F(Focus, StartsInDisplay) {
    EXPECT_EQ(QApplication::focusWidget(), window.display);
}

TEST_F(Focus, TabAndShiftTabVisitTheControlsInOrder) {
    expectCycles(1);
}

TEST_F(Focus, OptionGroupIsOneStopEnteredAtItsSelectedButton) {
    window.chkDefault->setFocus();
    EXPECT_EQ(press(Qt::Key_Tab), window.Option1[1]);

    // The arrows follow the screen, top to bottom: Gauss, Cholesky, Both.
    EXPECT_EQ(press(Qt::Key_Up), window.Option1[2]);
    EXPECT_EQ(selected(), 2);
    EXPECT_EQ(press(Qt::Key_Up), window.Option1[0]);
    EXPECT_EQ(selected(), 0);
    press(Qt::Key_Up);
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(press(Qt::Key_Down), window.Option1[2]);
    EXPECT_EQ(selected(), 2);
    EXPECT_EQ(press(Qt::Key_Tab), window.txtGauss);
    EXPECT_EQ(press(Qt::Key_Backtab, Qt::ShiftModifier), window.Option1[2]);
    expectCycles(2);

    // Chosen by mouse, and reached from the far side.
    QTest::mouseClick(window.Option1[0], Qt::LeftButton);
    EXPECT_EQ(selected(), 0);
    window.txtGauss->setFocus();
    EXPECT_EQ(press(Qt::Key_Backtab, Qt::ShiftModifier), window.Option1[0]);
    expectCycles(0);
}

TEST_F(Focus, NoOptionCanBeDeselected) {
    for (QRadioButton* const option : window.Option1) {
        QTest::mouseClick(option, Qt::LeftButton);
        QTest::mouseClick(option, Qt::LeftButton);
        QTest::keyClick(option, Qt::Key_Space);
        EXPECT_TRUE(option->isChecked());
        EXPECT_EQ(selected(), option->property("index").toInt());
    }
}

TEST_F(Focus, CheckBoxTogglesBetweenTwoStates) {
    QTest::mouseClick(window.chkDefault, Qt::LeftButton);
    EXPECT_EQ(window.chkDefault->checkState(), Qt::Unchecked);
    EXPECT_EQ(platform.checkBoxValue(CheckBox::chkDefault), 0);
    QTest::keyClick(window.chkDefault, Qt::Key_Space);
    EXPECT_EQ(window.chkDefault->checkState(), Qt::Checked);
    QTest::mouseClick(window.chkDefault, Qt::LeftButton);
    QTest::mouseClick(window.chkDefault, Qt::LeftButton);
    EXPECT_EQ(window.chkDefault->checkState(), Qt::Checked);
    EXPECT_NE(platform.checkBoxValue(CheckBox::chkDefault), 0);
}

TEST_F(Focus, EnterAndEscPressNoButton) {
    QSignalSpy submits(window.submit_but, &QPushButton::clicked);
    QSignalSpy starts(window.Start, &QPushButton::clicked);
    for (QWidget* const widget : stops(1)) {
        widget->setFocus();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            press(key);
    }
    EXPECT_EQ(submits.count(), 0);
    EXPECT_EQ(starts.count(), 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.Textn->text(), "3");

    // In a multi-line box Enter starts a new line.
    window.display->clear();
    window.display->setFocus();
    QTest::keyClicks(window.display, "1");
    press(Qt::Key_Return);
    QTest::keyClicks(window.display, "2");
    EXPECT_EQ(text(TextBox::display), "1\r\n2");
}

} // namespace
} // namespace lse::test
