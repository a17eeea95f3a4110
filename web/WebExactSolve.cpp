// The form's exact solve in the page: the request goes to the exact module's Worker
// (exactSolve.js) and the page's thread waits for the report through Asyncify, as it waits
// for a message box. The Worker, not this module, holds FLINT: lineq.js stays as small and
// opens as fast as without it.
#include "Protocol.h"
#include "WebPlatform.h"
#include "WorkerEvent.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

namespace {

// clang-format off

// How the Worker's solve ended, as JSON (WorkerEvent.h).
EM_ASYNC_JS(char*, runExactWorker, (const char* title, const char* request), {
    const reply = await lineqExact.solve(UTF8ToString(title), UTF8ToString(request));
    return allocateUTF8(JSON.stringify(reply));
});

// clang-format on

lse::ExactOutcome outcomeOf(const std::optional<lse::web::WorkerEvent>& reply) {
    using Ending = lse::ExactOutcome::Ending;
    using Kind = lse::web::WorkerEvent::Kind;
    lse::ExactOutcome outcome;
    if (!reply) {
        outcome.message = "its answer cannot be read";
    } else if (reply->kind == Kind::done) {
        try {
            std::istringstream in(reply->text);
            outcome.report = lse::exact::readReport(in);
            outcome.ending = Ending::solved;
        } catch (const lse::exact::ProtocolError& e) {
            outcome.message = std::string("its report cannot be read: ") + e.what();
        }
    } else if (reply->kind == Kind::cancelled) {
        outcome.ending = Ending::cancelled;
    } else if (reply->kind == Kind::outOfMemory) {
        outcome.ending = Ending::outOfMemory;
    } else {
        outcome.message = reply->text;
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
    return outcomeOf(workerEventFromJson(reply.get()));
}

} // namespace lse::web
