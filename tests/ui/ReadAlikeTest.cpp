// lineq-solve and the window read the same files alike: one table of files, each given to
// lineq-solve --echo and dropped on the window, then solved by both.
#include "DialogAnswerer.h"
#include "Program.h"
#include "ShownWindow.h"
#include "SystemTexts.h"

#include <QCheckBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QUrl>

#include <fstream>
#include <map>
#include <sstream>

namespace lse::test {
namespace {

using A = DialogAnswerer;

struct ProgramRun {
    int status;
    std::string out;
    std::string err;
};

ProgramRun lineqSolve(const std::string& path) {
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    cli::Console console{in, out, err};
    const char* const argv[] = {"lineq-solve", "--echo", path.c_str()};
    const int status = cli::run(3, argv, console);
    return {status, out.str(), err.str()};
}

// lineq-solve's text output by section heading, each body with the window's CR LF line ends.
std::map<std::string, std::string> sections(const std::string& out) {
    std::map<std::string, std::string> byHeading;
    std::istringstream lines(out);
    std::string line;
    std::string heading;
    while (std::getline(lines, line)) {
        if (line.empty())
            heading.clear();
        else if (heading.empty())
            byHeading[heading = line];
        else
            byHeading[heading] += line + "\r\n";
    }
    return byHeading;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
        text.replace(at, from.size(), to), at += to.size();
    return text;
}

class ReadAlike : public ShownWindow {
protected:
    // Drops the file on the window from outside; the message boxes that follow.
    std::vector<SeenDialog> dropOnWindow(const std::string& path) {
        DialogAnswerer answerer{A::ok()};
        QMimeData dropped;
        dropped.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        const QPoint at = window.rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QDropEvent drop(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &drop);
        QCoreApplication::processEvents();
        return answerer.seen;
    }
};

TEST_F(ReadAlike, LineqSolveAndTheWindowReadTheSameFilesAlike) {
    std::vector<SystemInput> files = everyDefaultLayout();
    for (const Refusal& refused : everyRefusal())
        files.push_back(refused.input);
    files.push_back({"singular.csv", "a1,a2,b\n1,2,3\n2,4,6\n"});
    files.push_back({"indefinite.txt", "2\n1 2\n2 1\n3 3\n"});
    files.push_back({"symmetric.mtx", "%%MatrixMarket matrix coordinate real symmetric\n"
                                      "2 2 3\n1 1 4\n2 1 2\n2 2 5\n"});
    files.push_back({"crlf-tabs.tsv", "0.1\t-2.5e-3\t1\r\n7\t1e3\t-4\r\n"});

    QTemporaryDir dir;
    for (const SystemInput& file : files) {
        SCOPED_TRACE(file.file);
        const std::string path = dir.filePath(QString::fromStdString(file.file)).toStdString();
        std::ofstream(path, std::ios::binary) << file.text;
        const ProgramRun cli = lineqSolve(path);
        std::map<std::string, std::string> out = sections(cli.out);

        calculator.form.loadSystemText("1\n1\n1\n"); // a system that no file here holds
        const std::vector<SeenDialog> seen = dropOnWindow(path);

        if (cli.status == cli::exitStatus::badInput) {
            // Refused by both with the reader's line, after the path or the file's name.
            ASSERT_EQ(seen.size(), 1u);
            EXPECT_EQ("lineq-solve: " + path + ": " +
                          seen[0].text.toStdString().substr(file.file.size() + 2) + "\n",
                      cli.err);
            EXPECT_EQ(calculator.form.n, 1);
            continue;
        }
        if (out.contains("b = A (1, ..., 1), the row sums of A: no --rhs file was given")) {
            // lineq-solve makes b up; the window does not.
            ASSERT_EQ(seen.size(), 1u);
            EXPECT_TRUE(seen[0].text.contains("b is missing"));
            EXPECT_EQ(calculator.form.n, 1);
            continue;
        }
        EXPECT_TRUE(seen.empty());
        EXPECT_EQ(text(TextBox::display), out["Input Matrix"]);
        EXPECT_EQ(text(TextBox::txtVector), out["Input Vector"]);

        DialogAnswerer messages{A::ok(), A::ok()};
        QTest::mouseClick(window.Start, Qt::LeftButton);
        EXPECT_EQ(text(TextBox::txtGauss), out["Gauss Solution"]);
        EXPECT_EQ(text(TextBox::txtCholesky), out["Cholesky Solution"]);
        std::string said;
        for (const SeenDialog& message : messages.seen)
            said += message.text.toStdString() + "\n";
        std::string failures = replaceAll(cli.err, "lineq-solve: Gauss Elimination: ", "");
        failures = replaceAll(failures, "lineq-solve: Cholesky Decomposition: ", "");
        EXPECT_EQ(said, failures);
    }
}

} // namespace
} // namespace lse::test
