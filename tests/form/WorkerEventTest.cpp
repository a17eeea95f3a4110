#include "WorkerEvent.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>

using lse::web::WorkerEvent;
using lse::web::workerEventFromJson;
using Kind = WorkerEvent::Kind;

namespace {

WorkerEvent event(Kind kind, std::string text = {}) {
    WorkerEvent made;
    made.kind = kind;
    made.text = std::move(text);
    return made;
}

WorkerEvent progress(double bytes) {
    WorkerEvent made = event(Kind::progress);
    made.bytes = bytes;
    return made;
}

WorkerEvent system(int n, bool hasB, double recordBytes, double textBytes, int flags) {
    WorkerEvent made = event(Kind::done);
    made.n = n;
    made.hasB = hasB;
    made.recordBytes = recordBytes;
    made.textBytes = textBytes;
    made.flags = flags;
    return made;
}

bool same(const WorkerEvent& a, const WorkerEvent& b) {
    return a.kind == b.kind && a.text == b.text && a.bytes == b.bytes && a.n == b.n &&
           a.hasB == b.hasB && a.recordBytes == b.recordBytes && a.textBytes == b.textBytes &&
           a.flags == b.flags && a.summedCount == b.summedCount && a.summedRow == b.summedRow &&
           a.summedColumn == b.summedColumn;
}

// What a Worker writes, the program reads back whole: every kind, and texts that JSON escapes.
TEST(WorkerEvent, EveryEventComesBackAsWritten) {
    const WorkerEvent events[] = {
        progress(184'000'000'123.0),
        system(3000, true, 72'000'000, 5'000'000'000.0, 3),
        [] {
            WorkerEvent summed = system(2, false, 0, 0, 0);
            std::tie(summed.summedCount, summed.summedRow, summed.summedColumn) =
                std::tuple(2, 1, 2);
            return summed;
        }(),
        event(Kind::done, "x1 = 7/3\r\n\"quoted\" \\ back\tslash \x01 \u2248 \U0001F600"),
        event(Kind::refused, "line 2: \"1,5\" is not a number"),
        event(Kind::failed, "memory access out of bounds"),
        event(Kind::outOfMemory),
        event(Kind::unreadable),
        event(Kind::cancelled),
    };
    for (const WorkerEvent& event : events) {
        const std::string json = toJson(event);
        const std::optional<WorkerEvent> read = workerEventFromJson(json);
        ASSERT_TRUE(read.has_value()) << json;
        EXPECT_TRUE(same(*read, event)) << json;
    }
}

// What the page's scripts write (JSON.stringify): their own order and spacing, fields this
// program does not know, and the escapes JavaScript chooses.
TEST(WorkerEvent, ReadsWhatTheScriptsWrite) {
    struct Case {
        const char* json;
        WorkerEvent expected;
    } const cases[] = {
        {R"({"kind":"cancelled"})", event(Kind::cancelled)},
        {R"({ "text" : "the reader stopped", "kind" : "failed" })",
         event(Kind::failed, "the reader stopped")},
        {R"({"kind":"done","n":2,"hasB":false,"a":null,"recordBytes":0,"textBytes":0,"flags":0})",
         system(2, false, 0, 0, 0)},
        {R"({"kind":"refused","text":"a\/b \u00e9 \ud83d\ude00 \n"})",
         event(Kind::refused, "a/b \u00e9 \U0001F600 \n")},
    };
    for (const Case& c : cases) {
        const std::optional<WorkerEvent> read = workerEventFromJson(c.json);
        ASSERT_TRUE(read.has_value()) << c.json;
        EXPECT_TRUE(same(*read, c.expected)) << c.json;
    }
}

// A reply the program cannot take for an event is none, never an event made up.
TEST(WorkerEvent, RefusesWhatIsNoEvent) {
    for (const char* json :
         {"", "out-of-memory", R"({"kind":"report"})", R"({"text":"x"})", R"({"kind":"done")",
          R"({"kind":"done"} x)", R"({"kind":"done","n":})", R"({"kind":"failed","text":"\x"})",
          // A lone surrogate is no JSON; the scripts make a browser's text well formed first.
          R"({"kind":"failed","text":"\ud800"})", R"(["kind","done"])"}) {
        EXPECT_FALSE(workerEventFromJson(json).has_value()) << json;
    }
}

} // namespace
