#pragma once

#include "Task.h"
#include "WorkerEvent.h"

#include <cstddef>
#include <optional>

namespace lse::web {

// A request to a Worker of the page's (page/workers.js): the module's script (lineq-read.js,
// lineq-exact.js), loaded when first asked for; its input, a text or, where null, the input the
// page holds for the reading; and an option of the module's. One runs at a time, within the long
// work, whose Cancel ends it; its Worker ends at its answer.
void startWorker(const char* script, const char* text, int option);

// The request's next event, waited for; none where the page's reply is no event.
// `showNow`: the long work's progress box shows at once rather than after the quiet time.
Task<std::optional<WorkerEvent>> nextWorkerEvent(bool showNow);

// Bytes from.. from + size - 1 of the last event's array `index` (WorkerEvent::arrays) into
// `to`. The page lets an array go once its last bytes are copied.
void copyEventBytes(int index, std::size_t from, std::size_t size, void* to);

} // namespace lse::web
