#pragma once

#include "CalculateReport.h"
#include "Commands.h"
#include "ViewTable.h"

#include <optional>
#include <string>
#include <string_view>

namespace lse::web {

// text with &, <, > and " as HTML writes them.
std::string escaped(std::string_view text);

// The window's markup, from its description: the frame with its title bar and every control
// placed by its twips, in the order the page's focus and reading follow.
std::string windowMarkup();

// A command's element in the page: a button of its class, named by its caption.
std::string commandButton(const CommandDeclaration& command);
// "copyText" as its placeholders have it: COPY_TEXT.
std::string placeholderName(std::string_view commandName);

// The accuracy view's buttons: its commands' (kAccuracyViewCommands), the quick ones, Close,
// then those that run as long work.
std::string accuracyViewButtons();

// The page: `page` with @CAPTION@, @WINDOW@, @PROGRAM_TITLE@, @ACCURACY_TITLE@,
// @ACCURACY_BUTTONS@, @SYSTEM_SUFFIXES@ and @WRONG_DIGITS_COLOUR@ filled in, and for each command
// @BUTTON_NAME@ and
// @CAPTION_NAME@ (NAME as placeholderName writes it). Throws std::invalid_argument for any other
// @NAME@, so that a misspelt one does not reach a user.
std::string fillPage(std::string_view page);

// The accuracy view's side-by-side tables: each method's figures, then the table of the
// unknowns, its head and its count of rows but not its rows, which the page asks for as they
// come into sight.
std::string comparisonMarkup(const CalculateReport& report);

// Rows first + 1 .. first + count of a view's table (fewer at its end), each numbered for a
// screen reader where `indexed`; a cell's wrong digits are marked for the eye (class "wrong")
// and what is said of it for a screen reader (class "said").
std::string rowsMarkup(const ViewTable& table, int first, int count, bool indexed);
// The rows the page shows of a table whose rows it asks for as they come into sight: those in sight
// and some around them, written anew once the table has scrolled some way, so that 3000 rows open
// and scroll as fast as 30.
class RowWindow {
public:
    // For the table scrolled `into` pixels, `inSight` pixels of it in sight and each row
    // `rowHeight` pixels high (0: not yet known, the first rows, to measure one); nullopt while
    // the rows shown still serve.
    std::optional<std::string> rowsFor(const ViewTable& table, double into, double inSight,
                                       double rowHeight);

private:
    std::optional<int> first_;
};

} // namespace lse::web
