// The window's logic behind a scripted platform: the bytes choose the check box, the count
// text, every reply (numbers, garbage, empty, cancel), the method, the texts pasted, and the
// order of Submit, Calculate and Paste System. After every click the boxes, the echo, the messages
// and the system state must be what the clicks so far allow.
#include "AccuracyText.h"
#include "FakePlatform.h"
#include "FuzzCheck.h"
#include "Messages.h"
#include "NumberText.h"
#include "ReferenceSolvers.h"
#include "frmCholesky.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace lse;
using lse::test::check;
using lse::test::ShownMessage;

namespace {

constexpr int kMaxClicks = 12;
// Counts are kept small so that a run is quick; what a large count does is tested elsewhere.
constexpr double kLargestCount = 8;

const std::vector<ShownMessage> kOwnMessages{
    messages::notANumber,          messages::badCount,
    messages::gaussFailed,         messages::choleskyFailed,
    messages::choleskySolveFailed,
};

const char* const kNumberTexts[] = {
    "0",
    "-0",
    "1",
    "-1",
    "2.5",
    " .5 ",
    "5.",
    "+3",
    "1e3",
    "-2.5E-3",
    "1e308",
    "-1e308",
    "1.7976931348623157e308",
    "4.9e-324",
    "2.2250738585072014E-308",
    "1e-400",
    "\t7\t",
    "0.1",
};

// Replies come from the fuzz bytes as the prompts appear; when the bytes run out the user
// cancels, so every script ends.
class ScriptedPlatform : public test::FakePlatform {
public:
    explicit ScriptedPlatform(FuzzedDataProvider& bytes) : bytes_(bytes) {}

    bool cancelled = false;
    std::vector<double> accepted;     // the value of each reply that was taken, in order
    std::vector<std::string> replies; // every reply given

    Task<std::optional<std::string>> inputBox(std::string prompt) override {
        prompts.push_back(prompt);
        std::optional<std::string> reply;
        switch (bytes_.remaining_bytes() == 0 ? 0 : bytes_.ConsumeIntegralInRange(0, 5)) {
        case 0:
            cancelled = true;
            co_return std::nullopt;
        case 1:
            reply = "";
            break;
        case 2:
            reply = bytes_.ConsumeRandomLengthString(24);
            break;
        case 3:
            reply = bytes_.PickValueInArray(kNumberTexts);
            break;
        case 4:
            reply = std::to_string(bytes_.ConsumeIntegralInRange(-9, 9));
            break;
        default: {
            char text[40];
            std::snprintf(text, sizeof text, "%.17g", bytes_.ConsumeFloatingPoint<double>());
            reply = text;
        }
        }
        if (const std::optional<double> value = textToDouble(*reply))
            accepted.push_back(*value);
        replies.push_back(*reply);
        co_return reply;
    }

private:
    FuzzedDataProvider& bytes_;
};

// Counts written in the accepted forms, or any text at all.
std::string countText(FuzzedDataProvider& bytes) {
    const int count = bytes.ConsumeIntegralInRange(0, static_cast<int>(kLargestCount));
    const std::string digits = std::to_string(count);
    switch (bytes.ConsumeIntegralInRange(0, 6)) {
    case 0:
        return digits;
    case 1:
        return " +" + digits + "\t";
    case 2:
        return digits + ".";
    case 3:
        return "0" + digits + ".000";
    case 4:
        return "0." + digits + "e1";
    case 5:
        return digits + "E0";
    default:
        return bytes.ConsumeRandomLengthString(12);
    }
}

// A large count that the arbitrary text happens to spell would allocate gigabytes.
bool tooLargeToDrive(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return std::isfinite(value) && value > kLargestCount && value < 32767;
}

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Bit for bit, since a failed Cholesky solve may have left a NaN in x.
bool sameBits(const Vector& a, const Vector& b) {
    if (a.upper() != b.upper())
        return false;
    for (int i = 0; i <= a.upper(); ++i)
        if (!sameBits(a(i), b(i)))
            return false;
    return true;
}

bool sameBits(const Matrix& a, const Matrix& b) {
    if (a.rowsUpper() != b.rowsUpper() || a.colsUpper() != b.colsUpper())
        return false;
    for (int i = 0; i <= a.rowsUpper(); ++i)
        for (int j = 0; j <= a.colsUpper(); ++j)
            if (!sameBits(a(i, j), b(i, j)))
                return false;
    return true;
}

struct State {
    int n;
    Matrix A;
    Vector b;
    Vector x;
    bool operator==(const State& o) const {
        return n == o.n && sameBits(A, o.A) && sameBits(b, o.b) && sameBits(x, o.x);
    }
};

State stateOf(const frmCholesky& form) {
    return {form.n, form.A(), form.b(), form.x()};
}

std::string echoOfA(const frmCholesky& form) {
    std::string text;
    for (int i = 1; i <= form.n; ++i) {
        for (int j = 1; j <= form.n; ++j)
            text += "   " + doubleToText(form.A()(i, j));
        text += "\r\n";
    }
    return text;
}

std::string echoOfB(const frmCholesky& form) {
    std::string text;
    for (int i = 1; i <= form.n; ++i)
        text += "b" + std::to_string(i) + " =   " + doubleToText(form.b()(i)) + "\r\n";
    return text;
}

std::string resultText(const std::optional<std::vector<double>>& x) {
    std::string text;
    if (!x)
        return text;
    for (std::size_t i = 0; i < x->size(); ++i) {
        check(std::isfinite((*x)[i]), "a reported solution is not finite");
        text += "x" + std::to_string(i + 1) + " =   " + doubleToText((*x)[i]) + "\r\n";
    }
    return text;
}

// One of kOwnMessages, or a typed number refused with the parser's own reason for that text.
bool ownMessage(const ShownMessage& message, const std::vector<std::string>& replies) {
    if (std::find(kOwnMessages.begin(), kOwnMessages.end(), message) != kOwnMessages.end())
        return true;
    return std::any_of(replies.begin(), replies.end(), [&](const std::string& reply) {
        const std::optional<std::string> fault = numberFault(reply);
        return fault && message == messages::refusedNumber(*fault);
    });
}

void checkEverywhere(const ScriptedPlatform& platform, const frmCholesky& form) {
    for (const ShownMessage& message : platform.messages)
        check(ownMessage(message, platform.replies), "a message that is not the program's own");
    check(platform.text(TextBox::display) == echoOfA(form), "display is not the echo of A");
    check(platform.text(TextBox::txtVector) == echoOfB(form), "txtVector is not the echo of b");
}

void submit(FuzzedDataProvider& bytes, ScriptedPlatform& platform, frmCholesky& form) {
    platform.chkDefault = bytes.ConsumeBool() ? 1 : 0;
    const std::string count = countText(bytes);
    if (platform.chkDefault == 0 && tooLargeToDrive(count))
        return;
    platform.texts[TextBox::Textn] = count;
    const State before = stateOf(form);
    const std::string gaussBox = platform.text(TextBox::txtGauss);
    const std::string choleskyBox = platform.text(TextBox::txtCholesky);
    platform.cancelled = false;
    platform.accepted.clear();
    platform.replies.clear();
    platform.messages.clear();
    platform.prompts.clear();

    form.submit_but_Click();

    check(platform.text(TextBox::txtGauss) == gaussBox &&
              platform.text(TextBox::txtCholesky) == choleskyBox,
          "Submit touched a result box");
    if (platform.chkDefault != 0) {
        check(form.n == 3 && platform.messages.empty() && platform.prompts.empty(),
              "the default system was not loaded quietly");
        return;
    }
    const bool refused = !platform.messages.empty() && platform.prompts.empty();
    if (platform.cancelled || refused) {
        check(stateOf(form) == before, "a cancelled or refused entry changed the system");
        return;
    }
    // Adopted: A row by row, then b, from the replies that were numbers; x zero.
    const int n = form.n;
    check(platform.accepted.size() == static_cast<std::size_t>(n * n + n),
          "the entry took a wrong number of replies");
    std::size_t next = 0;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            check(form.A()(i, j) == platform.accepted[next++], "A is not what was typed");
    for (int i = 1; i <= n; ++i) {
        check(form.b()(i) == platform.accepted[next++], "b is not what was typed");
        check(form.x()(i) == 0, "x is not zero after an entry");
    }
}

// A system laid out by the bytes from the number texts, or any text at all.
std::string pastedText(FuzzedDataProvider& bytes) {
    if (bytes.ConsumeBool())
        return bytes.ConsumeRandomLengthString(64);
    const int count = bytes.ConsumeIntegralInRange(0, 4);
    const bool rows = bytes.ConsumeBool();
    static const char* const kSeparators[] = {" ", "\t", ",", "\n", "\r\n", "  "};
    std::string text = rows ? "" : std::to_string(count) + "\n";
    for (int i = 1; i <= count; ++i) {
        for (int j = 1; j <= count + (rows ? 1 : 0); ++j)
            text += std::string(bytes.PickValueInArray(kNumberTexts)) +
                    (j <= count ? bytes.PickValueInArray(kSeparators) : "");
        text += rows ? "\n" : bytes.PickValueInArray(kSeparators);
    }
    if (!rows)
        for (int i = 1; i <= count; ++i)
            text += std::string(bytes.PickValueInArray(kNumberTexts)) + " ";
    return text;
}

// Paste System: the system is adopted whole, or refused with one message and nothing changed.
void paste(FuzzedDataProvider& bytes, ScriptedPlatform& platform, frmCholesky& form) {
    const std::string text = pastedText(bytes);
    const State before = stateOf(form);
    const auto boxes = platform.texts;
    const int ticked = platform.chkDefault;
    platform.messages.clear();
    platform.prompts.clear();

    form.loadSystemText(text);

    check(platform.prompts.empty(), "a paste asked something");
    if (!platform.messages.empty()) {
        check(platform.messages.size() == 1, "a refused paste said more than one thing");
        check(stateOf(form) == before && platform.texts == boxes && platform.chkDefault == ticked,
              "a refused paste changed something");
        platform.messages.clear(); // the reader's own words, not the window's
        return;
    }
    check(platform.chkDefault == 0, "a pasted system left the default ticked");
    check(platform.text(TextBox::Textn) == intToText(form.n), "Textn is not the pasted n");
    check(platform.text(TextBox::txtGauss).empty() && platform.text(TextBox::txtCholesky).empty(),
          "a paste left a result");
    for (int i = 1; i <= form.n; ++i)
        check(form.x()(i) == 0, "x is not zero after a paste");
}

void calculate(FuzzedDataProvider& bytes, ScriptedPlatform& platform, frmCholesky& form) {
    platform.selectedOption = bytes.ConsumeIntegralInRange(0, 3);
    const bool gauss = platform.selectedOption != 2;
    const bool cholesky = platform.selectedOption != 0;
    const State before = stateOf(form);
    platform.messages.clear();

    form.Start_Click();

    reference::Rows a(static_cast<std::size_t>(form.n));
    std::vector<double> b;
    for (int i = 1; i <= form.n; ++i) {
        for (int j = 1; j <= form.n; ++j)
            a[i - 1].push_back(form.A()(i, j));
        b.push_back(form.b()(i));
    }
    const auto gaussX = gauss ? reference::gauss(a, b) : std::vector<double>{};
    const auto choleskyRun = cholesky ? reference::cholesky(a, b)
                                      : reference::CholeskyResult{true, std::vector<double>{}};
    const auto& choleskyX = choleskyRun.x;
    check(platform.text(TextBox::txtGauss) == resultText(gaussX),
          "the Gauss box is not the method's result, or not empty after its failure");
    check(platform.text(TextBox::txtCholesky) == resultText(choleskyX),
          "the Cholesky box is not the method's result, or not empty after its failure");
    // A solve that fails after a good decomposition has a message of its own.
    const std::size_t failures = (gaussX ? 0 : 1) + (choleskyX ? 0 : 1);
    // Then at most one warning, after everything else, its text made from the figures; it
    // leaves the record here, which holds the program's fixed messages alone.
    const std::optional<Message> warning = accuracyWarning(form.report());
    check(platform.messages.size() == failures + (warning ? 1 : 0),
          "not one message per failed method and at most one warning");
    if (warning) {
        check(platform.messages.back() == *warning &&
                  warning->style == MessageStyle::OkOnlyExclamation,
              "the warning is not the last message, with the exclamation icon");
        platform.messages.pop_back();
    }
    // No figure is inf, NaN or negative, and none is shown as such.
    for (const MethodReport& result : form.report().methods)
        for (const FigureLine& line : figureLines(result))
            check((!line.value || (std::isfinite(*line.value) && *line.value >= 0)) &&
                      line.text.find("inf") == std::string::npos &&
                      line.text.find("nan") == std::string::npos,
                  "a figure is not a number a reader can take");
    check(sameBits(form.A(), before.A) && sameBits(form.b(), before.b) && form.n == before.n,
          "Calculate changed the system");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider bytes(data, size);
    ScriptedPlatform platform(bytes);
    frmCholesky form(platform);
    for (int click = 0; click < kMaxClicks && bytes.remaining_bytes() > 0; ++click) {
        switch (bytes.ConsumeIntegralInRange(0, 3)) {
        case 0:
        case 1:
            submit(bytes, platform, form);
            break;
        case 2:
            calculate(bytes, platform, form);
            break;
        default:
            paste(bytes, platform, form);
        }
        checkEverywhere(platform, form);
    }
    return 0;
}
