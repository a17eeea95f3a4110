#include "WebPlatform.h"

#include "Commands.h"
#include "Messages.h"
#include "PageAnswer.h"
#include "PageMarkup.h"
#include "ViewLines.h"
#include "WindowLayout.h"

#include <emscripten.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace {

// Shown as the title of a message or input box that brings none of its own, as on the
// desktop; a string_view into a literal, so it ends in a zero.
const char* const kProgramTitle = lse::window::kProgramTitle.data();

// A string the page handed over, allocated with malloc.
using PageString = std::unique_ptr<char, decltype(&std::free)>;

// JavaScript inside the macros: clang-format would take it for C++.
// clang-format off

// The value of the control with this id, whose lines LF ends; a check box or an option
// button "1" when checked, else "0".
EM_JS(char*, readControlText, (const char* id), {
    const control = document.getElementById(UTF8ToString(id));
    const checkable = control.type === "checkbox" || control.type === "radio";
    return allocateUTF8(checkable ? (control.checked ? "1" : "0") : control.value);
});

// A multi-line box turns CR LF into one line break; an <input> shows one line.
EM_JS(void, writeControlText, (const char* id, const char* text), {
    lineqPage.setBoxText(UTF8ToString(id), UTF8ToString(text));
});

// A multi-line box's long text of `lines` lines, which the page lays out on a view as it shows
// them (boxLines).
EM_JS(void, writeControlLines, (const char* id, int lines), {
    lineqPage.setBoxLines(UTF8ToString(id), lines);
});

EM_JS(void, setControlChecked, (const char* id, int checked), {
    document.getElementById(UTF8ToString(id)).checked = checked !== 0;
});

// A message box with `icon` ("error", "warning" or "") or, `input` 1, an input box; the answer
// to `wait` is the reply, or null for a message box or when the user cancelled.
EM_JS(void, askModalBox, (int wait, const char* title, const char* text, const char* icon,
                          int input), {
    lineqPage.answer(wait, lineqPage.modalBox(UTF8ToString(title), UTF8ToString(text),
        UTF8ToString(icon), input !== 0));
});

// The status of the long work that runs, for the progress box (under the program's title) that
// work waiting (for a Worker, for a download) shows after `quietMs` (page/progressBox.js); it
// reads and sets the status in the program's memory.
EM_JS(void, beginLongWork, (const void* done, const void* total, void* cancel, int quietMs), {
    lineqPage.beginLongWork({ done, total, cancel, quietMs });
});

EM_JS(void, endLongWork, (), {
    lineqPage.endLongWork();
});

// A copy of the bytes, since the memory may grow (and move) before the download is made;
// `turn`: 1 when the browser has its turn next.
EM_JS(void, addDownloadPiece, (const char* text, int size, int turn), {
    lineqPage.downloadPiece(HEAPU8.slice(text, text + size), turn !== 0);
});

// The download made, or dropped when it is not whole.
EM_JS(void, makeDownload, (const char* name, const char* type, int whole), {
    lineqPage.finishDownload(UTF8ToString(name), UTF8ToString(type), whole !== 0);
});

// Not waited for: a copy may be asked for from an open view, while the program waits for the
// view. The page waits for the clipboard before a command or a view ends.
EM_JS(void, copyText, (const char* text), {
    lineqPage.copyText(UTF8ToString(text));
});

// The bytes of the input the page holds for the reading (a File or a text), and its file's name
// into `name` (null for a text); -1 when it holds none.
EM_JS(double, heldInput, (char** name), {
    const input = lineqPage.heldInput();
    if (input === null)
        return -1;
    HEAPU32[name >> 2] = typeof input === "string" ? 0 : allocateUTF8(input.name);
    return typeof input === "string" ? input.length : input.size;
});

// The view as `described` has it, a JSON object (page/views.js); `wait` is answered once it
// has closed.
EM_JS(void, askView, (int wait, const char* described), {
    lineqPage.answer(wait, lineqPage.showView(JSON.parse(UTF8ToString(described))));
});

// The open view filled anew as `described` has it, where it stands.
EM_JS(void, refillView, (const char* described), {
    lineqPage.refillView(JSON.parse(UTF8ToString(described)));
});

// clang-format on

// A box's text is short up to this many characters, and goes into its <textarea> whole; a longer
// one is laid out a few lines at a time (page/lineView.js). The narrowest box lays 8.6 KB of
// solution lines out in about 30 ms, and Chromium takes seconds for a megabyte, however it
// wraps.
constexpr std::size_t kShortText = 8192;

// `text` for a view, which may ask for its lines for as long as it is shown.
lse::LongText longText(std::string_view text) {
    auto lines = std::make_shared<const std::vector<std::string>>(lse::linesOf(text));
    return {static_cast<int>(lines->size()),
            [lines](int i) {
                return static_cast<std::size_t>(i) < lines->size()
                           ? (*lines)[static_cast<std::size_t>(i)]
                           : std::string();
            },
            {}};
}

// The characters a box shows of `text`, whose lines CR LF ends: one for each line end.
std::size_t shownLength(std::string_view text) {
    return text.size() - static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r'));
}

// The progress box's status while the work runs, also when it throws.
class LongWorkShown {
public:
    explicit LongWorkShown(lse::WorkStatus& status) {
        beginLongWork(&status.done, &status.total, &status.cancel,
                      static_cast<int>(lse::kQuietTime.count()));
    }
    ~LongWorkShown() { endLongWork(); }
    LongWorkShown(const LongWorkShown&) = delete;
    LongWorkShown& operator=(const LongWorkShown&) = delete;
};

// The icon as the page names it.
const char* iconOf(lse::MessageStyle style) {
    switch (style) {
    case lse::MessageStyle::OkOnly:
        return "";
    case lse::MessageStyle::OkOnlyCritical:
        return "error";
    case lse::MessageStyle::OkOnlyExclamation:
        return "warning";
    }
    return "";
}

// A string_view into a literal, so it ends in a zero.
const char* idOf(lse::TextBox box) {
    return lse::window::nameOf(box).data();
}

std::string idOf(lse::SolutionMethod button) {
    return "Option1_" + std::to_string(static_cast<int>(button));
}

bool isChecked(const char* id) {
    const PageString text(readControlText(id), &std::free);
    return std::string_view(text.get()) == "1";
}

} // namespace

namespace lse::web {

std::string WebPlatform::readText(TextBox box) const {
    const PageString value(readControlText(idOf(box)), &std::free);
    // The logic ends its lines with CR LF.
    std::string text;
    for (const char* c = value.get(); *c != '\0'; ++c)
        text.append(*c == '\n' ? "\r\n" : std::string_view(c, 1));
    return text;
}

void WebPlatform::replaceText(TextBox box, const std::string& text) {
    if (shownLength(text) <= kShortText) {
        longTexts_.erase(idOf(box));
        writeControlText(idOf(box), text.c_str());
        return;
    }
    const LongText& shown = longTexts_[idOf(box)] = longText(text);
    writeControlLines(idOf(box), shown.lines);
}

void WebPlatform::replaceLines(TextBox box, int lines, std::function<std::string(int)> line) {
    // The first line tells the length; at 3000 equations it is 3000 numbers' texts.
    if (lines == 0 || shownLength(line(0)) * static_cast<std::size_t>(lines) <= kShortText) {
        std::string text;
        for (int i = 0; i < lines; ++i)
            text += line(i);
        return replaceText(box, text);
    }
    longTexts_[idOf(box)] = {lines, std::move(line), {}};
    writeControlLines(idOf(box), lines);
}

std::string WebPlatform::viewLines(std::string_view id, int first, int count) const {
    const auto text = longTexts_.find(id);
    return text == longTexts_.end() ? "[]" : viewLinesJson(text->second, first, count);
}

std::string WebPlatform::viewText(std::string_view id) const {
    const auto text = longTexts_.find(id);
    return text == longTexts_.end() ? std::string() : lse::viewText(text->second);
}

int WebPlatform::checkBoxValue(CheckBox) const {
    return isChecked("chkDefault") ? 1 : 0;
}

void WebPlatform::setCheckBoxValue(CheckBox, int value) {
    setControlChecked("chkDefault", value);
}

bool WebPlatform::optionValue(OptionArray, SolutionMethod button) const {
    return isChecked(idOf(button).c_str());
}

Task<> WebPlatform::messageBox(std::string text, MessageStyle style,
                               std::optional<std::string> title) {
    co_await PageAnswer([&](int wait) {
        askModalBox(wait, title ? title->c_str() : kProgramTitle, text.c_str(), iconOf(style), 0);
    });
}

Task<> WebPlatform::runLong(LongWork work, WorkStatus& status) {
    co_await browserTurn();
    {
        const LongWorkShown shown(status);
        running_ = &status;
        try {
            co_await work();
        } catch (...) {
            running_ = nullptr;
            throw;
        }
        running_ = nullptr;
    }
    co_await browserTurn();
}

Task<std::optional<std::string>> WebPlatform::inputBox(std::string prompt) {
    co_return co_await PageAnswer(
        [&](int wait) { askModalBox(wait, kProgramTitle, prompt.c_str(), "", 1); });
}

void WebPlatform::setClipboardText(const std::string& text) {
    copyText(text.c_str());
}

Task<std::optional<SystemOrigin>> WebPlatform::systemOrigin(Command, std::string) {
    char* name = nullptr;
    const double size = heldInput(&name);
    const PageString held(name, &std::free);
    if (size < 0)
        co_return std::nullopt;
    co_return HeldInput{ReadInWorker{}, held ? held.get() : "", static_cast<std::uint64_t>(size)};
}

Task<SaveTarget> WebPlatform::chooseSave(const SavedFile&, std::string) {
    co_return SaveTarget{SaveTarget::Kind::download, {}};
}

Task<> WebPlatform::writeDownload(std::string_view piece) {
    constexpr double kTurnMs = 25;
    static double lastTurn = emscripten_get_now();
    const bool turn = emscripten_get_now() - lastTurn >= kTurnMs;
    addDownloadPiece(piece.data(), static_cast<int>(piece.size()), turn ? 1 : 0);
    if (turn) {
        co_await browserTurn();
        lastTurn = emscripten_get_now();
    }
}

void WebPlatform::finishDownload(const SavedFile& file, bool whole) {
    makeDownload(std::string(file.name).c_str(), std::string(file.mediaType).c_str(),
                 whole ? 1 : 0);
}

std::string WebPlatform::describeOpenView() {
    const View& view = *openView_;
    nlohmann::json described = {{"name", view.name + "View"},
                                {"markup", viewMarkup(view)},
                                {"texts", nlohmann::json::object()},
                                {"enabled", nlohmann::json::array()},
                                {"copies", nlohmann::json::array()}};
    std::vector<const ViewText*> unwrapped;
    openTables_.clear();
    for (const ViewPart& part : view.parts) {
        if (const ViewText* const text = std::get_if<ViewText>(&part)) {
            if (text->wraps)
                described["texts"][text->name] = text->text;
            else
                unwrapped.push_back(text);
            continue;
        }
        for (const ViewTable& table : std::get<ViewTables>(part).tables)
            openTables_.push_back(&table);
    }
    rowWindows_.assign(openTables_.size(), RowWindow());
    // The texts that do not wrap share one line view, a line beside its like.
    openLines_.clear();
    if (!unwrapped.empty()) {
        openLines_ = unwrapped[0]->name;
        LongText& shown = longTexts_[openLines_] = longText(unwrapped[0]->text);
        std::string beside;
        if (unwrapped.size() > 1) {
            shown.beside = longText(unwrapped[1]->text).line;
            beside = plainCaption(unwrapped[1]->caption);
        }
        described["lines"] = {{"id", openLines_}, {"count", shown.lines}, {"beside", beside}};
    }
    for (const ViewButton& button : view.buttons) {
        if (const Command* const command = std::get_if<Command>(&button)) {
            if (form_ && isEnabled(*command, *form_))
                described["enabled"].push_back(declarationOf(*command).name);
        } else {
            described["copies"].push_back(std::get<ViewCopy>(button).text);
        }
    }
    // A text the page took in is made well formed before it reaches the program, so the
    // replacement is for a program's own fault only.
    return described.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

Task<> WebPlatform::showView(const View& view) {
    // A copy: the page asks rows of its tables for as long as it is open, and a refresh
    // replaces it.
    openView_ = view;
    const std::string json = describeOpenView();
    co_await PageAnswer([&](int wait) { askView(wait, json.c_str()); });
    if (!openLines_.empty())
        longTexts_.erase(openLines_);
    openView_.reset();
    openTables_.clear();
    openLines_.clear();
}

void WebPlatform::refreshView(const View& view) {
    if (!openView_ || openView_->name != view.name)
        return;
    if (!openLines_.empty())
        longTexts_.erase(openLines_);
    openView_ = view;
    refillView(describeOpenView().c_str());
}

std::optional<std::string> WebPlatform::viewRows(int table, double into, double inSight,
                                                 double rowHeight) {
    if (table < 0 || static_cast<std::size_t>(table) >= openTables_.size())
        return std::nullopt;
    const auto i = static_cast<std::size_t>(table);
    return rowWindows_[i].rowsFor(*openTables_[i], into, inSight, rowHeight);
}

std::string WebPlatform::progressText(std::chrono::milliseconds elapsed) const {
    return running_ ? messages::progressText(*running_, elapsed) : std::string();
}

std::optional<TextBox> textBoxWithId(std::string_view id) {
    return window::textBoxNamed(id);
}

} // namespace lse::web
