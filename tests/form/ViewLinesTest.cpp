// A long text as the page's line view takes it: where its lines are cut, and what a request
// for lines gives.

#include "ViewLines.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace lse::test {
namespace {

// A piece ends after the spaces before a number, within kViewPiece bytes; a line with no such
// place is cut at a character's start.
TEST(ViewLines, CutALongLineWhereARowWouldStart) {
    std::string numbers;
    for (int i = 0; i < 600; ++i)
        numbers += "   1.25";
    for (const auto& [line, sizes] : std::vector<std::pair<std::string, std::vector<std::size_t>>>{
             {"   1   2", {8}},
             {numbers, {2047, 2044, 109}},
             {std::string(3000, '7'), {2048, 952}},
             {std::string(2047, '7') + "\u2212" + "7777777777", {2047, 13}},
         }) {
        std::vector<std::size_t> cut;
        std::string joined;
        for (const std::string_view piece : viewPieces(line)) {
            cut.push_back(piece.size());
            joined += piece;
        }
        EXPECT_EQ(cut, sizes);
        EXPECT_EQ(joined, line);
    }
}

// Without line ends, escaped, as far as the text goes; a line beside another is one piece.
TEST(ViewLines, GiveTheLinesAskedForAsJson) {
    const std::vector<std::string> lines{"a\"b\r\n", "c\\d\te\n", std::string(2050, '7')};
    const auto line = [&](int i) { return lines[static_cast<std::size_t>(i)]; };
    const auto beside = [](int) { return std::string("1/3\r\n"); };
    for (const auto& [text, first, count, json] :
         std::vector<std::tuple<LongText, int, int, std::string>>{
             {{3, line, {}}, 0, 2, R"([[["a\"b"]],[["c\\d\te"]]])"},
             {{3, line, {}}, 2, 5, "[[[\"" + std::string(2048, '7') + "\"],[\"77\"]]]"},
             {{1, line, beside}, 0, 1, R"([[["a\"b","1/3"]]])"},
         })
        EXPECT_EQ(viewLinesJson(text, first, count), json);
    EXPECT_EQ(viewText({3, line, beside}), "a\"b\nc\\d\te\n" + std::string(2050, '7') + "\n");
}

} // namespace
} // namespace lse::test
