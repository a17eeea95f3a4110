#pragma once

#include "CalculateReport.h"
#include "Commands.h"
#include "View.h"
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

// A caption as the page writes it: without its mnemonic, escaped.
std::string captionText(std::string_view caption);

// A command's element in the page: a button of its class, named by its caption.
std::string commandButton(const CommandDeclaration& command);
// "copyText" as its placeholders have it: COPY_TEXT.
std::string placeholderName(std::string_view commandName);

// The page: `page` with @CAPTION@, @WINDOW@, @PROGRAM_TITLE@, @SYSTEM_SUFFIXES@,
// @WRONG_DIGITS_COLOUR@ and @CAPTION_CANCEL@ filled in, and for each command
// @BUTTON_NAME@ and @CAPTION_NAME@ (NAME as placeholderName writes it). Throws
// std::invalid_argument for any other
// @NAME@, so that a misspelt one does not reach a user.
std::string fillPage(std::string_view page);

// The page's one view renderer: the inside of the view's <dialog> (id name + "View"): its title
// (id ...-title), its parts in a column: a table part as a region (id its name) of its tables
// (class each one's id), each but the last with all its rows, the last with its head and its
// count of rows, whose rows the page asks for as they come into sight (its <tbody> numbered
// data-table, counting the view's tables from 0); a text that wraps as a read-only <textarea>
// (id its name), which the page fills; the texts that do not wrap as one line view (id the
// first one's name), side by side; then the buttons: the quick commands', each copy's
// (data-copy numbering them from 0), Close, and those that run as long work.
std::string viewMarkup(const View& view);

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
