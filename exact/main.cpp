// lineq-exact: the exact solution of the system on standard input, and the errors of the
// methods' solutions that come with it, on standard output (see Protocol.h).
// Exit status 0 when it answered, kOutOfMemoryStatus when memory ran out, 2 for a request it
// cannot read, 1 for anything else.

#include "ChildRun.h"
#include "ExactSolution.h"
#include "OutOfMemory.h"
#include "Protocol.h"

#include <flint/flint.h>

#include <exception>
#include <iostream>
#include <new>

int main() {
    using namespace lse::exact;
    endProcessWhenMemoryRunsOut();
    std::ios::sync_with_stdio(false);
    std::cout << kReadyLine << std::flush;
    try {
        const ExactRequest request = readRequest(std::cin);
        const ExactReport report =
            solveAndJudge(request.A, request.b, request.n, request.methodSolutions, request.written,
                          request.detail);
        writeReport(std::cout, report);
        std::cout.flush();
        flint_cleanup_master(); // FLINT's caches, which a leak checker would otherwise report
        return std::cout ? 0 : 1;
    } catch (const std::bad_alloc&) {
        // Thrown by an allocator that reports failure itself instead of calling operator new.
        std::cerr << "lineq-exact: out of memory\n";
        return kOutOfMemoryStatus;
    } catch (const ProtocolError& e) {
        std::cerr << "lineq-exact: cannot read the request: " << e.what() << '\n';
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "lineq-exact: " << e.what() << '\n';
        return 1;
    }
}
