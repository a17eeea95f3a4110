#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace lse::test {

// A file beside the test's sources (LINEQ_TEST_DIR: the folder of the target that is built).
inline std::string testFile(const std::string& path) {
    return std::string(LINEQ_TEST_DIR) + "/" + path;
}

inline std::string dataFile(const std::string& name) {
    return testFile("data/" + name);
}

// Bytes as they are on disk, with no newline translation.
inline std::string fileContents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace lse::test
