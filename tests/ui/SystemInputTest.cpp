#include "DialogAnswerer.h"
#include "FormSession.h"
#include "ResultText.h"
#include "ShownWindow.h"
#include "SystemTexts.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <QUrl>

#include <fstream>
#include <functional>

namespace lse::test {
namespace {

using A = DialogAnswerer;

// The ways a system comes in, each as a user does it.
enum class Way { pasteKey, pasteMenu, openKey, openMenu, dropFile, dropText };
const Way kWays[] = {Way::pasteKey, Way::pasteMenu, Way::openKey,
                     Way::openMenu, Way::dropFile,  Way::dropText};

const char* nameOf(Way way) {
    switch (way) {
    case Way::pasteKey:
        return "Ctrl+Shift+V";
    case Way::pasteMenu:
        return "Paste System in the menu";
    case Way::openKey:
        return "Ctrl+O";
    case Way::openMenu:
        return "Open System… in the menu";
    case Way::dropFile:
        return "a dropped file";
    case Way::dropText:
        return "a dropped text";
    }
    return "";
}

bool opensAFile(Way way) {
    return way == Way::openKey || way == Way::openMenu || way == Way::dropFile;
}

bool showsAFileDialog(Way way) {
    return way == Way::openKey || way == Way::openMenu;
}

class BringIn : public ShownWindow {
protected:
    QString file(const SystemInput& input) {
        const QString path = dir.filePath(QString::fromStdString(input.file));
        std::ofstream(path.toStdString(), std::ios::binary) << input.text;
        return path;
    }

    // Brings `input` in by `way`, answering the dialogs that follow with `answers` (a file
    // dialog first, when the way opens one).
    std::vector<SeenDialog> bringIn(Way way, const SystemInput& input,
                                    std::initializer_list<A::Answer> answers = {}) {
        const QString path = file(input);
        std::vector<A::Answer> script;
        if (showsAFileDialog(way))
            script.push_back(A::choose(path));
        script.insert(script.end(), answers);
        // Shortcuts reach the active window only. The offscreen platform, unlike a window
        // manager, leaves no window active once a menu or dialog has closed.
        QApplication::setActiveWindow(&window);
        DialogAnswerer answerer;
        for (const A::Answer& a : script)
            answerer.add(a);
        switch (way) {
        case Way::pasteKey:
            QGuiApplication::clipboard()->setText(QString::fromStdString(input.text));
            QTest::keyClick(window.display, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
            break;
        case Way::pasteMenu:
            QGuiApplication::clipboard()->setText(QString::fromStdString(input.text));
            chooseFromMenu("Paste System");
            break;
        case Way::openKey:
            QTest::keyClick(window.display, Qt::Key_O, Qt::ControlModifier);
            break;
        case Way::openMenu:
            chooseFromMenu("Open System…");
            break;
        case Way::dropFile: {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            EXPECT_TRUE(drop(window.display->viewport(), data));
            break;
        }
        case Way::dropText: {
            QMimeData data;
            data.setText(QString::fromStdString(input.text));
            EXPECT_TRUE(drop(window.txtGauss->viewport(), data));
            break;
        }
        }
        EXPECT_EQ(answerer.unused(), 0u);
        return answerer.seen;
    }

    // Opens the Input Matrix box's context menu with the mouse and picks `item`.
    void chooseFromMenu(const QString& item) {
        QStringList items;
        QTimer::singleShot(0, [&] {
            auto* const menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction* const action : menu->actions())
                items << action->text();
            for (QAction* const action : menu->actions())
                if (action->text() == item)
                    menu->setActiveAction(action);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QWidget* const viewport = window.display->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, viewport->rect().center(),
                                viewport->mapToGlobal(viewport->rect().center()));
        QApplication::sendEvent(viewport, &event);
        // The box's own items stay, Paste and Select All among them.
        EXPECT_TRUE(items.filter("Paste").size() == 2 && items.filter("Select All").size() == 1)
            << items.join(", ").toStdString();
    }

    // A drag from another program that ends over `target`; whether it was taken.
    static bool drop(QWidget* target, const QMimeData& data) {
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        // The system is read once the drop is over.
        QCoreApplication::processEvents();
        return dropped.isAccepted();
    }

    // A system other than the default one, solved, with "Use Default Matrix" ticked.
    void loadTwoByTwo() {
        form.loadSystemText("2\n2 1\n1 3\n4 7\n");
        platform.setCheckBoxValue(CheckBox::chkDefault, 1);
        QTest::mouseClick(window.Start, Qt::LeftButton);
        ASSERT_EQ(text(TextBox::txtGauss), "x1 =   1\r\nx2 =   2\r\n");
    }

    frmCholesky& form = calculator.form;
    QTemporaryDir dir;
};

TEST_F(BringIn, EveryLayoutComesInEveryWay) {
    for (const SystemInput& input : everyDefaultLayout()) {
        for (const Way way : kWays) {
            if (onlyAsFile(input) && !opensAFile(way))
                continue;
            SCOPED_TRACE(input.file + " by " + nameOf(way));
            loadTwoByTwo();
            const std::vector<SeenDialog> seen = bringIn(way, input);
            ASSERT_EQ(seen.size(), showsAFileDialog(way) ? 1u : 0u);
            if (showsAFileDialog(way)) {
                EXPECT_EQ(seen[0].kind, SeenDialog::File);
                EXPECT_EQ(seen[0].title, "Open System");
                EXPECT_EQ(seen[0].parent, &window);
            }
            EXPECT_EQ(text(TextBox::Textn), "3");
            EXPECT_EQ(text(TextBox::display), kDefaultDisplay);
            EXPECT_EQ(text(TextBox::txtVector), kDefaultVector);
            EXPECT_EQ(text(TextBox::txtGauss), "");
            EXPECT_EQ(text(TextBox::txtCholesky), "");
            EXPECT_FALSE(window.chkDefault->isChecked());
            QTest::mouseClick(window.Start, Qt::LeftButton);
            EXPECT_EQ(text(TextBox::txtGauss), kDefaultSolution);
            EXPECT_EQ(text(TextBox::txtCholesky), kDefaultSolution);
        }
    }
}

TEST_F(BringIn, RefusedInputShowsTheReadersLineAndKeepsTheSystem) {
    // A few of the readers' refusals, then A alone in each layout; lineq-solve's table has
    // them all.
    std::vector<Refusal> cases = everyRefusal();
    cases.erase(cases.begin() + 3, cases.end() - 3);
    for (const Refusal& c : cases) {
        for (const Way way : kWays) {
            if (onlyAsFile(c.input) && !opensAFile(way))
                continue;
            SCOPED_TRACE(c.input.file + " by " + nameOf(way));
            loadTwoByTwo();
            const std::string display = text(TextBox::display);
            const std::string vector = text(TextBox::txtVector);
            const std::vector<SeenDialog> seen = bringIn(way, c.input, {A::ok()});
            ASSERT_EQ(seen.size(), showsAFileDialog(way) ? 2u : 1u);
            const SeenDialog& message = seen.back();
            EXPECT_EQ(message.kind, SeenDialog::Message);
            EXPECT_EQ(message.text.toStdString(),
                      (opensAFile(way) ? c.input.file + ": " : "") + c.message);
            EXPECT_EQ(message.title, "Lineq");
            EXPECT_EQ(message.icon, QMessageBox::NoIcon);
            EXPECT_TRUE(message.modal);
            EXPECT_EQ(text(TextBox::Textn), "2");
            EXPECT_EQ(text(TextBox::display), display);
            EXPECT_EQ(text(TextBox::txtVector), vector);
            EXPECT_EQ(text(TextBox::txtGauss), "x1 =   1\r\nx2 =   2\r\n");
            EXPECT_TRUE(window.chkDefault->isChecked());
            EXPECT_EQ(form.n, 2);
        }
    }
}

TEST_F(BringIn, CancelledFileDialogChangesNothing) {
    loadTwoByTwo();
    DialogAnswerer answerer{A::cancel()};
    QTest::keyClick(window.Textn, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].kind, SeenDialog::File);
    EXPECT_EQ(form.n, 2);
    EXPECT_EQ(text(TextBox::txtGauss), "x1 =   1\r\nx2 =   2\r\n");
}

// Ctrl+Shift+V reaches the window from every control; Ctrl+V stays the boxes' own paste.
TEST_F(BringIn, PasteSystemAnywhereWhileCtrlVPastesIntoTheBox) {
    QGuiApplication::clipboard()->setText("1\n4\n8\n");
    const std::vector<QWidget*> controls{window.display,    window.Textn,      window.submit_but,
                                         window.chkDefault, window.Option1[1], window.txtCholesky};
    for (QWidget* const focus : controls) {
        SCOPED_TRACE(focus->objectName().toStdString());
        loadTwoByTwo();
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(form.n, 1);
        EXPECT_EQ(text(TextBox::display), "   4\r\n");
    }

    loadTwoByTwo();
    QGuiApplication::clipboard()->setText("7");
    window.Textn->setFocus();
    window.Textn->selectAll();
    QTest::keyClick(window.Textn, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text(TextBox::Textn), "7");
    window.display->setFocus();
    QTest::keyClick(window.display, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(window.display, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(window.display->toPlainText().endsWith("7"));
    EXPECT_EQ(form.n, 2);
}

TEST_F(BringIn, TheInputMatrixBoxSaysHow) {
    const QString tip = window.display->toolTip();
    for (const char* word : {"pasted", "Ctrl+Shift+V", "opened", "Ctrl+O", "dropped"})
        EXPECT_TRUE(tip.contains(word)) << word;
}

// Several files at once, a remote address and a drag from within the program are not taken.
TEST_F(BringIn, OnlyOneLocalFileOrATextIsTaken) {
    loadTwoByTwo();
    const QString path = file(kDefaultSystemInputs[0]);
    QMimeData two;
    two.setUrls({QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)});
    QMimeData remote;
    remote.setUrls({QUrl("https://example.com/system.txt")});
    for (QMimeData* const data : {&two, &remote}) {
        EXPECT_FALSE(drop(window.display->viewport(), *data));
        EXPECT_FALSE(drop(&window, *data));
    }
    EXPECT_EQ(form.n, 2);
    // A drop on the window outside any box, and on the count box, is taken.
    QMimeData system;
    system.setText(QString::fromStdString(kDefaultSystemInputs[2].text));
    EXPECT_TRUE(drop(&window, system));
    EXPECT_EQ(form.n, 3);
    loadTwoByTwo();
    EXPECT_TRUE(drop(window.Textn, system));
    EXPECT_EQ(form.n, 3);
}

// The window keeps the whole system and echoes its first rows, within a second.
TEST_F(BringIn, LargeSystemEchoIsCutAtTheLimit) {
    constexpr int kN = 1001;
    std::string rows;
    for (int i = 1; i <= kN; ++i) {
        for (int j = 1; j <= kN; ++j)
            rows += i == j ? "0.333333333333333\t" : "-1.25e-7\t";
        rows += std::to_string(i) + "\r\n";
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(rows));
    QTest::keyClick(window.display, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(form.n, kN);
    EXPECT_EQ(form.b()(kN), kN);
    const QTextDocument* const echo = window.display->document();
    EXPECT_EQ(echo->blockCount(), echoedRows(kN) + 2) << "the rows, the note, an empty last line";
    EXPECT_EQ(echo->findBlockByNumber(echoedRows(kN)).text(), "(2 more rows not shown)");
    EXPECT_TRUE(echo->firstBlock().text().startsWith("   0.333333333333333   -1.25E-07   "));
    EXPECT_EQ(window.txtVector->document()->blockCount(), kN + 1);
}

} // namespace
} // namespace lse::test
