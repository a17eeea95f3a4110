#pragma once

#include "Program.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
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

inline std::string dataFile(const std::string& name) {
    return std::string(LINEQ_CLI_TEST_DIR) + "/data/" + name;
}

inline std::string fileContents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The golden file's text, first rewritten with `actual` when LINEQ_UPDATE_GOLDEN is set (after
// a deliberate change of output).
inline std::string golden(const std::string& name, const std::string& actual) {
    const std::string path = std::string(LINEQ_CLI_TEST_DIR) + "/golden/" + name;
    if (std::getenv("LINEQ_UPDATE_GOLDEN") != nullptr)
        std::ofstream(path, std::ios::binary) << actual;
    return fileContents(path);
}

} // namespace lse::test
