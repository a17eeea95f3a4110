#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lse {

// A long text as a line view shows it, a few lines at a time as they come into sight (the
// page's long boxes and its steps view): its lines, each with its line end (CR LF or LF) as
// the logic writes them, and, where it has one, the text shown beside each line.
struct LongText {
    int lines = 0;
    std::function<std::string(int)> line;
    std::function<std::string(int)> beside; // empty: none
};

// A long line is laid out in pieces of at most this many bytes, each starting a row of its
// own: a row of A at n = 32766 is 650 KB, which no browser wraps in the time of a key press.
inline constexpr std::size_t kViewPiece = 2048;

// The pieces of `line`: each ends after the spaces that precede a number, where a wrapped row
// would start; a piece with no such place ends at a character's start.
std::vector<std::string_view> viewPieces(std::string_view line);

// `text`'s lines, each with its line end; a last line without one counts too.
std::vector<std::string> linesOf(std::string_view text);

// Lines first.. first + count - 1 of `text` (as far as it goes) as a view takes them: a JSON
// array of lines, each an array of its pieces, each piece an array of its text and, beside it,
// the other text's line (a line beside another is one piece); no line ends.
std::string viewLinesJson(const LongText& text, int first, int count);

// The whole of `text`'s lines, each ended by LF, as a copy of the view takes it.
std::string viewText(const LongText& text);

} // namespace lse
