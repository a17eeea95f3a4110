#pragma once

#include "FakePlatform.h"
#include "frmCholesky.h"

#include <string>

namespace lse::test {

inline const std::string kDefaultDisplay = "   4   2   14\r\n   2   17   -5\r\n   14   -5   83\r\n";
inline const std::string kDefaultVector = "b1 =   14\r\nb2 =   -101\r\nb3 =   155\r\n";
inline const std::string kDefaultSolution = "x1 =   3\r\nx2 =   -6\r\nx3 =   1\r\n";

inline const ShownMessage kNotANumber{"Enter a number damn you!!", MessageStyle::OkOnly,
                                      std::nullopt};
inline const ShownMessage kBadCount{
    "The number of equations must be a whole number from 0 to 32766.", MessageStyle::OkOnly,
    std::nullopt};
inline const ShownMessage kGaussFailed{"Aborting analysis", MessageStyle::OkOnlyCritical,
                                       "Gauss Elimination Error"};
inline const ShownMessage kCholeskyFailed{"Cholesky Decomposition Failed", MessageStyle::OkOnly,
                                          std::nullopt};
inline const ShownMessage kCholeskySolveFailed{
    "The Cholesky solution exceeds the range of numbers.", MessageStyle::OkOnly, std::nullopt};

// The option button chosen in Option1; an int underneath, so that a test may choose none.
enum Choice : int { Gauss = 0, Both = 1, Cholesky = 2 };

// The form logic behind a fake window that starts as the real one does.
struct FormSession {
    explicit FormSession(MethodTable methods = builtInMethods()) : form{platform, methods} {}

    FakePlatform platform;
    frmCholesky form;

    std::string box(TextBox b) const { return platform.text(b); }

    // Submit with the box unticked, the count in Textn and the replies in order.
    void enter(const std::string& count, const std::vector<std::string>& replies) {
        platform.chkDefault = 0;
        platform.texts[TextBox::Textn] = count;
        platform.reply(replies);
        form.submit_but_Click();
    }
    void submitDefault() {
        platform.chkDefault = 1;
        form.submit_but_Click();
    }
    // Paste System with `text` on the clipboard.
    void paste(const std::string& text) { form.loadSystemText(text); }
    void calculate(Choice method) {
        platform.selectedOption = method;
        form.Start_Click();
    }
};

} // namespace lse::test
