#include "FormSession.h"
#include "LargeInputs.h"
#include "ResultText.h"
#include "SystemTexts.h"
#include "Systems.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

using namespace lse;
using namespace lse::test;

namespace {

namespace fs = std::filesystem;

const std::initializer_list<std::string> kDefaultReplies{"4",  "2",  "14", "2",  "17",   "-5",
                                                         "14", "-5", "83", "14", "-101", "155"};

// A session holding a typed 2 x 2 system, solved, with the default box still ticked.
struct Solved2x2 : FormSession {
    Solved2x2() {
        enter("2", {"2", "1", "1", "3", "4", "7"});
        platform.chkDefault = 1;
        calculate(Both);
        platform.longRuns.clear();
        platform.messages.clear();
        platform.prompts.clear();
        platform.writes.clear();
    }
};

struct TempDir {
    TempDir() : path(fs::temp_directory_path() / ("lineq-load-" + std::to_string(::getpid()))) {
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
    std::string write(const SystemInput& input) const {
        const fs::path file = path / input.file;
        std::ofstream(file, std::ios::binary) << input.text;
        return file.string();
    }
    fs::path path;
};

// What the window shows and holds, to compare a loaded system with a typed one.
void expectSameSystem(const FormSession& loaded, const FormSession& typed) {
    EXPECT_EQ(loaded.form.n, typed.form.n);
    EXPECT_EQ(loaded.form.A(), typed.form.A());
    EXPECT_EQ(loaded.form.b(), typed.form.b());
    EXPECT_EQ(loaded.form.x(), typed.form.x());
    for (const TextBox box : {TextBox::Textn, TextBox::display, TextBox::txtVector})
        EXPECT_EQ(loaded.box(box), typed.box(box));
}

void expectUnchanged(const Solved2x2& s, const Solved2x2& before) {
    expectSameSystem(s, before);
    EXPECT_EQ(s.box(TextBox::txtGauss), before.box(TextBox::txtGauss));
    EXPECT_EQ(s.box(TextBox::txtCholesky), before.box(TextBox::txtCholesky));
    EXPECT_EQ(s.platform.chkDefault, 1);
    EXPECT_TRUE(s.platform.writes.empty());
}

} // namespace

TEST(LoadSystem, EveryLayoutReplacesTheSystemAsATypedEntryDoes) {
    FormSession typed;
    typed.enter("3", kDefaultReplies);
    const TempDir dir;
    for (const SystemInput& input : everyDefaultLayout()) {
        for (const bool fromFile : {false, true}) {
            if (!fromFile && onlyAsFile(input))
                continue;
            SCOPED_TRACE(input.file + (fromFile ? " opened" : " pasted"));
            Solved2x2 s;
            if (fromFile)
                s.form.loadSystemFile(dir.write(input));
            else
                s.paste(input.text);
            EXPECT_TRUE(s.platform.messages.empty());
            EXPECT_TRUE(s.platform.prompts.empty());
            EXPECT_EQ(s.platform.longRuns,
                      std::vector<std::string>{fromFile ? "Reading " + input.file
                                                        : "Reading the system"});
            expectSameSystem(s, typed);
            EXPECT_EQ(s.platform.chkDefault, 0) << "a later Submit keeps what was loaded";
            EXPECT_EQ(s.box(TextBox::txtGauss), "");
            EXPECT_EQ(s.box(TextBox::txtCholesky), "");

            s.form.submit_but_Click(); // unticked: asks for 3 equations, here cancelled
            expectSameSystem(s, typed);
            s.calculate(Both);
            EXPECT_EQ(s.box(TextBox::txtGauss), kDefaultSolution);
            EXPECT_EQ(s.box(TextBox::txtCholesky), kDefaultSolution);
        }
    }
}

TEST(LoadSystem, RefusedInputShowsTheReadersLineAndKeepsTheSystem) {
    const TempDir dir;
    for (const Refusal& c : everyRefusal()) {
        for (const bool fromFile : {false, true}) {
            if (!fromFile && onlyAsFile(c.input))
                continue;
            SCOPED_TRACE(c.input.file + (fromFile ? " opened" : " pasted"));
            Solved2x2 s;
            const Solved2x2 before;
            if (fromFile)
                s.form.loadSystemFile(dir.write(c.input));
            else
                s.paste(c.input.text);
            const std::string prefix = fromFile ? c.input.file + ": " : "";
            EXPECT_EQ(s.platform.messages, std::vector<ShownMessage>{Message(prefix + c.message)});
            expectUnchanged(s, before);
        }
    }
}

// A cancel leaves the window as it was, without a message: before the reading starts, part
// way through a large one, and as it ends, with a system read whole or a refusal to give.
TEST(LoadSystem, ACancelledReadingLeavesEverythingAsItWas) {
    enum class When { before, partWay, atTheEnd };
    struct Case {
        SystemInput input;
        When when;
    };
    // Larger than a few of the pieces between which a reader looks at the cancel.
    const SystemInput large{"large.txt", largeInput(Layout::rows, 1000)};
    ASSERT_GT(large.text.size(), std::size_t{3} << 20);
    const Refusal refusal = everyRefusal().front();
    const std::vector<Case> cases{
        {kDefaultSystemInputs[0], When::before},
        {kDefaultSystemFiles[0], When::before},
        {refusal.input, When::before},
        {large, When::partWay},
        {kDefaultSystemInputs[2], When::atTheEnd},
        {kDefaultSystemFiles[0], When::atTheEnd},
        {refusal.input, When::atTheEnd},
        {kNpyWithoutB, When::atTheEnd},
    };
    const TempDir dir;
    for (const Case& c : cases) {
        for (const bool fromFile : {false, true}) {
            if (!fromFile && onlyAsFile(c.input))
                continue;
            SCOPED_TRACE(c.input.file + (fromFile ? " opened, " : " pasted, ") +
                         std::to_string(static_cast<int>(c.when)));
            Solved2x2 s;
            const Solved2x2 before;
            if (c.when == When::before)
                s.platform.cancelRuns = {1};
            if (c.when == When::atTheEnd)
                s.platform.cancelLateRuns = {1};
            std::uint64_t reached = 0;
            s.form.readOptions.progress = [&](std::uint64_t position) {
                reached = position;
                if (c.when == When::partWay && position > 0)
                    s.platform.running->cancel = true;
            };
            if (fromFile)
                s.form.loadSystemFile(dir.write(c.input));
            else
                s.paste(c.input.text);
            EXPECT_EQ(s.platform.longRuns.size(), 1u);
            EXPECT_TRUE(s.platform.messages.empty());
            expectUnchanged(s, before);
            if (c.when == When::partWay) {
                EXPECT_LT(reached, c.input.text.size() / 2) << "the reader went on";
                EXPECT_GT(reached, 0u);
            }
        }
    }
}

TEST(LoadSystem, AFileThatCannotBeReadIsRefusedByName) {
    const TempDir dir;
    struct Case {
        std::string path;
        std::string message;
    };
    for (const Case& c :
         {Case{(dir.path / "absent.txt").string(),
               "absent.txt: cannot open: No such file or directory"},
          Case{dir.path.string(), dir.path.filename().string() + ": cannot open: Is a directory"},
          Case{"/dev/null", "null: cannot open: not a regular file"}}) {
        SCOPED_TRACE(c.path);
        Solved2x2 s;
        const Solved2x2 before;
        s.form.loadSystemFile(c.path);
        ASSERT_EQ(s.platform.messages.size(), 1u);
        EXPECT_EQ(s.platform.messages[0].text, c.message);
        expectUnchanged(s, before);
    }
}

TEST(LoadSystem, ALargeSystemIsKeptWholeAndItsEchoCut) {
    constexpr int kN = 1001;
    std::string text;
    for (int i = 1; i <= kN; ++i) {
        for (int j = 1; j <= kN; ++j)
            text += i == j ? "4 " : j == i + 1 || j + 1 == i ? "1 " : "0 ";
        text += std::to_string(i) + "\n";
    }
    FormSession s;
    s.paste(text);
    ASSERT_EQ(s.form.n, kN);
    EXPECT_EQ(s.form.A()(kN, kN), 4);
    EXPECT_EQ(s.form.A()(kN, kN - 1), 1);
    EXPECT_EQ(s.form.b()(kN), kN);
    const std::string& display = s.box(TextBox::display);
    EXPECT_EQ(std::count(display.begin(), display.end(), '\n'), echoedRows(kN) + 1);
    EXPECT_TRUE(display.ends_with("\r\n(2 more rows not shown)\r\n"));
    EXPECT_TRUE(s.box(TextBox::txtVector).ends_with("b1001 =   1001\r\n"));
}
