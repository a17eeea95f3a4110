#pragma once

#include <string>
#include <string_view>

namespace lse::web {

// The window's markup, from its description: the frame with its title bar and every control
// placed by its twips, in the order the page's focus and reading follow.
std::string windowMarkup();

// The page: `page` with @CAPTION@, @WINDOW@ and @PROGRAM_TITLE@ filled in. Throws
// std::invalid_argument for any other @NAME@, so that a misspelt one does not reach a user.
std::string fillPage(std::string_view page);

} // namespace lse::web
