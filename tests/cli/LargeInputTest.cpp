// A text system larger than the memory the program may use: reading it takes the arrays and a
// buffer, not the file.
#include "MemoryLimit.h"
#include "RunProgram.h"
#include "Sanitizers.h"
#include "SystemFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

using namespace lse::test;

namespace {

constexpr int kOrder = 6000;
// A and its working copy take 2 x 288 MB; the text of 6000 x 6000 numbers with 17 digits is
// about 738 MB, more than the whole limit.
constexpr unsigned long long kAddressSpace = 640ULL << 20;

// In the death test's child: solves the system under the limit; exits 0 when every entry of
// x is printed.
[[noreturn]] void solveUnderTheLimit(const std::string& path) {
    limitAddressSpace(kAddressSpace);
    const ProgramRun run = runProgram({"--method", "gauss", "--digits", "17", path});
    std::cerr << run.err << "status " << run.status << "\n";
    if (run.status != 0)
        std::exit(4);
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = run.out.find("\nx", at)) != std::string::npos; ++at)
        ++lines;
    std::exit(lines == kOrder ? 0 : 5);
}

} // namespace

TEST(LargeInput, ATextLargerThanTheMemoryLimitIsReadAndSolved) {
    if (kAddressSanitizer || kThreadSanitizer)
        GTEST_SKIP() << "the sanitizers reserve address space beyond the limit";
    const std::string path = ::testing::TempDir() + "/lineq-large-input.txt";
    writeText(SpdSystem(kOrder, 11), path);
    const auto size = std::filesystem::file_size(path);
    ASSERT_GT(size, kAddressSpace) << "the text must not fit in the limit";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(solveUnderTheLimit(path), ::testing::ExitedWithCode(0), "status 0");
    std::filesystem::remove(path);
}
