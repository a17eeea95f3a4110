#pragma once

#include "Commands.h"

#include <string>
#include <string_view>

namespace lse::web {

// The window's markup, from its description: the frame with its title bar and every control
// placed by its twips, in the order the page's focus and reading follow.
std::string windowMarkup();

// A command's element in the page: a button of its class, named by its caption.
std::string commandButton(const CommandDeclaration& command);
// The commands as page.js reads them: name, plain caption, shortcut and scope of each.
std::string commandsJson();
// "copyText" as its placeholders have it: COPY_TEXT.
std::string placeholderName(std::string_view commandName);

// The page: `page` with @CAPTION@, @WINDOW@, @PROGRAM_TITLE@, @ACCURACY_TITLE@ and @COMMANDS@
// filled in, and for each command @BUTTON_NAME@ and @CAPTION_NAME@ (NAME as placeholderName
// writes it). Throws
// std::invalid_argument for any other @NAME@, so that a misspelt one does not reach a user.
std::string fillPage(std::string_view page);

} // namespace lse::web
