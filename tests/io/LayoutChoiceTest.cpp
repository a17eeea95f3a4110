// The choice between the plain and the rows layout when the first line holds several numbers:
// a count followed by the whole system is plain, which a source that cannot go back can read
// again only while its first bytes are still in the buffer.
#include "ReadFromSource.h"
#include "Systems.h"
#include "TrickleSource.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace lse;
using namespace lse::io;
using namespace lse::test;

namespace {

// A buffer that grows only to the 64 bytes that the choice of layout looks at first: an input
// that starts with this comment is no longer whole in it by the end.
constexpr std::size_t kSmallBuffer = 16;
const std::string kLongComment =
    "# a system of two equations, written by hand and piped in, as the tests below need\n";

const Matrix kSmallA = makeMatrix({{1.5, 2}, {3, 4}});
const Vector kSmallB = makeVector({5, 6});

// "plain" or "rows" when the system read is kSmallA, kSmallB; otherwise the refusal. nullopt: memory.
std::string outcome(const std::string& text, int maxOrder, std::optional<SourceKind> kind) {
    ReadOptions options;
    options.maxOrder = maxOrder;
    try {
        MemorySource memory(text);
        TrickleSource trickle(text, 3, kind.value_or(SourceKind::file));
        const LinearSystem system =
            readFrom(kind ? static_cast<ByteSource&>(trickle) : memory, options, kSmallBuffer);
        if (system.A != kSmallA || system.b != kSmallB || !system.hasB)
            return "another system";
        return system.format == InputFormat::plain  ? "plain"
               : system.format == InputFormat::rows ? "rows"
                                                    : "another layout";
    } catch (const InputError& error) {
        return error.what();
    }
}

} // namespace

TEST(LayoutChoice, ACountFollowedByTheSystemIsPlainWhereverItCanBeReadAgain) {
    const std::string noSecondReading =
        "line 2: a count followed by the whole system on more than one line cannot be read "
        "again from a pipe; give the count alone on the first line";
    struct Case {
        std::string text;
        int maxOrder;
        std::string fromMemoryOrFile;
        std::string fromPipe;
    };
    const std::vector<Case> cases{
        {kLongComment + "2, 1.5, 2, 3, 4, 5, 6\n", kMaxOrder, "plain", noSecondReading},
        {kLongComment + "2\t1.5 2.0 3\n4 5 6 # b\n", kMaxOrder, "plain", noSecondReading},
        {"\xEF\xBB\xBF" + kLongComment + "2 1.5 2\n3 4 5 6\n", kMaxOrder, "plain", noSecondReading},
        // In the buffer still: read again from there.
        {"2 1.5 2\n3 4 5 6\n", kMaxOrder, "plain", "plain"},
        // Too long for a row of this order: plain from where it stands, no second reading.
        {kLongComment + "2, 1.5, 2, 3, 4, 5, 6\n", 5, "plain", "plain"},
        {"1 2 3 4 5 6 7 8\n", 5, "line 1: n = 7 is more than 5 equations (a row of 8 numbers)",
         "line 1: n = 7 is more than 5 equations (a row of 8 numbers)"},
        // Not m * m + m numbers after a count m: rows.
        {kLongComment + "1.5  2    5\n3    4    6\n", kMaxOrder, "rows", "rows"},
        // A header names columns, so its first row holds no count.
        {"n, x, b\n2, 1.5, 2, 3, 4, 5, 6\n", kMaxOrder,
         "expected 6 rows of 7 numbers, one per line, found 1 row",
         "expected 6 rows of 7 numbers, one per line, found 1 row"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + "at most " + std::to_string(c.maxOrder));
        EXPECT_EQ(outcome(c.text, c.maxOrder, std::nullopt), c.fromMemoryOrFile) << "memory";
        EXPECT_EQ(outcome(c.text, c.maxOrder, SourceKind::file), c.fromMemoryOrFile) << "file";
        EXPECT_EQ(outcome(c.text, c.maxOrder, SourceKind::pipe), c.fromPipe) << "pipe";
    }
}
