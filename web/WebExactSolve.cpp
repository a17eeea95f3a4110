// The form's exact solve in the page: the request goes to the exact module's Worker and the
// command waits for the report (WebWorkers.h), under the long work's progress box, shown at
// once. The Worker, not this module, holds FLINT: lineq.js stays as small and opens as fast as
// without it.
#include "Protocol.h"
#include "WebPlatform.h"
#include "WebWorkers.h"

#include <optional>
#include <sstream>
#include <string>

namespace {

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
        outcome.message = reply->text.empty() ? "the solver stopped" : reply->text;
    }
    return outcome;
}

} // namespace

namespace lse::web {

Task<std::optional<ExactOutcome>> WebPlatform::solveExact(const ExactProblem& problem,
                                                          WorkStatus&) {
    std::ostringstream request;
    exact::writeRequest(request, problem.A, problem.b, problem.n, problem.written,
                        problem.methodSolutions);
    startWorker("lineq-exact.js", request.str().c_str(), 0);
    const std::optional<WorkerEvent> reply = co_await nextWorkerEvent(true);
    co_return outcomeOf(reply);
}

} // namespace lse::web
