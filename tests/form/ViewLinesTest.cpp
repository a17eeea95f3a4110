// A long text as the page's line view takes it: where its lines are cut, and what a request
// for lines gives.

#include "ViewLines.h"

#include <gtest/gtest.h>

#include <vector>

namespace lse::test {
namespace {

std::string repeated(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

// A cut ends a piece after the spaces before a number, within kViewPiece bytes; a line with
// no such place is cut at a character's start.
TEST(ViewLines, CutALongLineWhereARowWouldStart) {
    struct Case {
        const char* name;
        std::string line;
        std::vector<std::size_t> sizes;
    };
    for (const Case& c : std::vector<Case>{
             {"short", "   1   2", {8}},
             {"empty", "", {0}},
             {"numbers", repeated("   1.25", 600), {2047, 2044, 109}},
             {"no space", std::string(3000, '7'), {2048, 952}},
             {"a character across the cut",
              std::string(2047, '7') + "\u2212" + "7777777777",
              {2047, 13}},
         }) {
        SCOPED_TRACE(c.name);
        std::vector<std::size_t> sizes;
        std::string joined;
        for (const std::string_view piece : viewPieces(c.line)) {
            sizes.push_back(piece.size());
            joined += piece;
        }
        EXPECT_EQ(sizes, c.sizes);
        EXPECT_EQ(joined, c.line);
    }
}

TEST(ViewLines, GiveTheLinesAskedForAsJson) {
    const std::vector<std::string> lines{"a\"b\r\n", "c\\d\te\n", std::string(3000, '7')};
    const auto line = [&](int i) { return lines[static_cast<std::size_t>(i)]; };
    const std::string piece(2048, '7');
    struct Case {
        const char* name;
        LongText text;
        int first;
        int count;
        std::string json;
    };
    for (const Case& c : std::vector<Case>{
             {"escaped, without line ends",
              {3, line, {}},
              0,
              2,
              R"([[["a\"b"]],[["c\\d\u0009e"]]])"},
             {"a long line's pieces",
              {3, line, {}},
              2,
              1,
              "[[[\"" + piece + "\"],[\"" + std::string(952, '7') + "\"]]]"},
             {"as far as the text goes",
              {3, line, {}},
              1,
              5,
              R"([[["c\\d\u0009e"]],[[")" + piece + R"("],[")" + std::string(952, '7') + "\"]]]"},
             {"beside another",
              {1, line, [](int) { return std::string("1/3\r\n"); }},
              0,
              1,
              R"([[["a\"b","1/3"]]])"},
             {"none", {0, line, {}}, 0, 1, "[]"},
         }) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(viewLinesJson(c.text, c.first, c.count), c.json);
    }
}

} // namespace
} // namespace lse::test
