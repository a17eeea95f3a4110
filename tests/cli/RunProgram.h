#pragma once

#include "Program.h"
#include "Session.h"
#include "SystemReader.h"
#include "TestFiles.h"

#include <sstream>
#include <string>
#include <vector>

namespace lse::test {

struct ProgramRun {
    int status;
    std::string out;
    std::string err;
};

// lineq-solve in-process, with `input` as its standard input, offering `methods`.
inline ProgramRun runProgram(const std::vector<std::string>& args, const std::string& input = "",
                             MethodTable methods = builtInMethods()) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    cli::Console console{in, out, err};
    std::vector<const char*> argv{"lineq-solve"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    const int status = cli::run(static_cast<int>(argv.size()), argv.data(), console, methods);
    return {status, out.str(), err.str()};
}

// Each method run on `system` in turn as lineq-solve runs them, A kept as read.
inline CalculateReport solveEach(io::LinearSystem& system, MethodTable methods = builtInMethods()) {
    Session session;
    Vector x;
    x.recreate(system.n);
    const EachMethod each = [](const MethodEntry&, const RunMethod& run) -> Task<bool> {
        co_return !run({}).cancelled();
    };
    runAtOnce(session.calculate(
        methods, {system.A, system.b, static_cast<std::int16_t>(system.n), system.written}, x,
        KeepA::yes, each));
    return session.report();
}

} // namespace lse::test
