// The form's exact solve in the page: the request goes to the exact module's Worker
// (exactSolve.js) and the page's thread waits for the report through Asyncify, as it waits
// for a message box. The Worker, not this module, holds FLINT: lineq.js stays as small and
// opens as fast as without it.
#include "Protocol.h"
#include "WebPlatform.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

namespace {

// clang-format off

// How the Worker's solve ended on the first line ("report", "cancelled", "outOfMemory" or
// "failed"), then the report text or the reason.
EM_ASYNC_JS(char*, runExactWorker, (const char* title, const char* request), {
    const reply = await lineqExact.solve(UTF8ToString(title), UTF8ToString(request));
    return allocateUTF8(reply.ending + String.fromCharCode(10) + (reply.text ?? ""));
});

// clang-format on

lse::ExactOutcome outcomeOf(const std::string& ending, std::istream& rest) {
    using Ending = lse::ExactOutcome::Ending;
    lse::ExactOutcome outcome;
    if (ending == "report") {
        try {
            outcome.report = lse::exact::readReport(rest);
            outcome.ending = Ending::solved;
        } catch (const lse::exact::ProtocolError& e) {
            outcome.message = std::string("its report cannot be read: ") + e.what();
        }
    } else if (ending == "cancelled") {
        outcome.ending = Ending::cancelled;
    } else if (ending == "outOfMemory") {
        outcome.ending = Ending::outOfMemory;
    } else {
        std::getline(rest, outcome.message, '\0');
    }
    return outcome;
}

} // namespace

namespace lse::web {

std::optional<ExactOutcome> WebPlatform::solveExact(const ExactProblem& problem,
                                                    WorkStatus& status) {
    std::ostringstream request;
    exact::writeRequest(request, problem.A, problem.b, problem.n, problem.written,
                        problem.methodSolutions);
    const std::unique_ptr<char, decltype(&std::free)> reply(
        runExactWorker(status.title.c_str(), request.str().c_str()), &std::free);
    std::istringstream in(reply.get());
    std::string ending;
    std::getline(in, ending);
    return outcomeOf(ending, in);
}

} // namespace lse::web
