// The page's exact solve, run in a Worker: the request text of lineq-exact's protocol in, its
// report text out. The page's thread never waits on FLINT, and a cancel ends the Worker, as
// the desktop ends its child.
#include "ChildRun.h"
#include "ExactSolution.h"
#include "OutOfMemory.h"
#include "Protocol.h"
#include "WorkerEvent.h"

#include <emscripten.h>

#include <exception>
#include <fstream>
#include <new>
#include <sstream>
#include <string>

namespace {

// GMP's and FLINT's allocations that fail end the module, which the Worker's script takes for
// running out of memory: nothing else ends it.
const char* const kOutOfMemoryLine = "lineq-exact: out of memory\n";

} // namespace

extern "C" {

// How the solve of the request the Worker has put at /input in its memory file system
// (page/worker.js) ended, as JSON (WorkerEvent.h): done with the report, or why not; valid
// until the next call.
EMSCRIPTEN_KEEPALIVE const char* answer(int) {
    using namespace lse::exact;
    using Kind = lse::web::WorkerEvent::Kind;
    static std::string answer;
    endProcessWhenArithmeticRunsOutOfMemory(kOutOfMemoryLine, kOutOfMemoryStatus);
    lse::web::WorkerEvent ending;
    try {
        std::ifstream in("/input");
        const ExactRequest request = readRequest(in);
        std::ostringstream out;
        writeReport(out, solveAndJudge(request.A, request.b, request.n, request.methodSolutions,
                                       request.written, request.detail));
        ending = {.kind = Kind::done, .text = out.str()};
    } catch (const std::bad_alloc&) {
        ending.kind = Kind::outOfMemory;
    } catch (const std::exception& e) {
        ending = {.kind = Kind::failed, .text = e.what()};
    }
    answer = toJson(ending);
    return answer.c_str();
}

} // extern "C"
