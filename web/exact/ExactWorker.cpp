// The page's exact solve, run in a Worker: the request text of lineq-exact's protocol in, its
// report text out. The page's thread never waits on FLINT, and a cancel ends the Worker, as
// the desktop ends its child.
#include "ChildRun.h"
#include "ExactSolution.h"
#include "OutOfMemory.h"
#include "Protocol.h"

#include <emscripten.h>

#include <exception>
#include <new>
#include <sstream>
#include <string>

namespace {

// How the Worker tells the page that the arithmetic ran out of memory: GMP's and FLINT's
// allocations end the module with this status, which the Worker's script catches.
const char* const kOutOfMemoryLine = "lineq-exact: out of memory\n";

} // namespace

extern "C" {

// The report, or "out-of-memory" or "error REASON" on the first line; valid until the next
// call.
EMSCRIPTEN_KEEPALIVE const char* solveRequest(const char* requestText) {
    using namespace lse::exact;
    static std::string answer;
    endProcessWhenArithmeticRunsOutOfMemory(kOutOfMemoryLine, kOutOfMemoryStatus);
    try {
        std::istringstream in(requestText);
        const ExactRequest request = readRequest(in);
        std::ostringstream out;
        writeReport(out, solveAndJudge(request.A, request.b, request.n, request.methodSolutions,
                                       request.written, request.detail));
        answer = out.str();
    } catch (const std::bad_alloc&) {
        answer = "out-of-memory\n";
    } catch (const std::exception& e) {
        answer = std::string("error ") + e.what() + "\n";
    }
    return answer.c_str();
}

} // extern "C"
