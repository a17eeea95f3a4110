#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lse::web {

// What a Worker of the page's (the reading, the exact solve) tells the program: how its job
// goes on or how it ended. The Workers write it as JSON, the scripts between read and add to
// it by these field names, and the program reads it back: one definition of the seam.
struct WorkerEvent {
    enum class Kind {
        progress,    // bytes: how far the reading is
        done,        // the reading: the system follows; the exact solve: text is the report
        refused,     // the reader refused the input: text says why
        failed,      // the Worker could not do its job: text says why
        outOfMemory, // the job ran out of memory
        unreadable,  // the file cannot be read at all
        cancelled,   // the user cancelled it
    };
    Kind kind = Kind::failed;
    std::string text;
    double bytes = 0;
    // The reading's system: its order, whether it held b, and its numbers as written: the
    // bytes of their records and texts, and their flags (WrittenValues's, bit 0 b as row sums,
    // bit 1 too large to keep).
    int n = 0;
    bool hasB = false;
    double recordBytes = 0;
    double textBytes = 0;
    int flags = 0;
    // WrittenValues::summedEntries: how many entries were summed in doubles, the first's place.
    int summedCount = 0;
    int summedRow = 0;
    int summedColumn = 0;
    // Written by a Worker alone: its arrays that come with the event (the system's A, b, records
    // and texts), each where it is in the Worker's memory and its bytes. The Worker's script
    // hands them over, and the program copies them out by their places in this list.
    std::vector<std::pair<const void*, std::size_t>> arrays;
};

// {"kind": NAME, ...}: the fields that the kind uses, and "arrays": [[at, bytes], ...] where
// there are any.
std::string toJson(const WorkerEvent& event);

// The event in `json`, without arrays; none where it is no WorkerEvent (a kind this program
// does not know, or not JSON). Fields it does not know are left out.
std::optional<WorkerEvent> workerEventFromJson(std::string_view json);

} // namespace lse::web
