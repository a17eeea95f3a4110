// Reading in pieces: the same systems and the same refusals from memory, a file, a pipe, and a
// source that delivers a few bytes at a time through a small buffer.
#include "RefusedInputs.h"
#include "SystemFiles.h"
#include "SystemLayout.h"
#include "Systems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>

#include <sys/resource.h>

using namespace lse;
using namespace lse::io;
using namespace lse::test;

namespace {

// A pipe that delivers `piece` bytes at a time and cannot go back.
class Trickle final : public ByteSource {
public:
    Trickle(std::string_view data, std::size_t piece) : data_(data), piece_(piece) {}
    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t count = std::min({size, piece_, data_.size() - pos_});
        std::copy_n(data_.data() + pos_, count, buffer);
        pos_ += count;
        return count;
    }

private:
    std::string_view data_;
    std::size_t piece_;
    std::size_t pos_ = 0;
};

ReadOptions optionsFor(const std::string& format) {
    static const std::map<std::string, InputFormat> formats{
        {"auto", InputFormat::automatic},
        {"plain", InputFormat::plain},
        {"rows", InputFormat::rows},
        {"matrix-market", InputFormat::matrixMarket},
        {"npy", InputFormat::numpy}};
    ReadOptions options;
    options.format = formats.at(format);
    return options;
}

// Each way of reading the text gives the same system, or the same refusal.
std::vector<std::string> outcomes(const std::string& text, const ReadOptions& options) {
    std::vector<std::string> results;
    const auto describeSystem = [](const LinearSystem& system) {
        std::string shown = std::to_string(system.n) + (system.hasB ? " with b:" : " A:");
        for (int i = 1; i <= system.n; ++i) {
            for (int j = 1; j <= system.n; ++j)
                shown += " " + std::to_string(system.A(i, j));
            shown += " | " + std::to_string(system.b(i));
        }
        return shown;
    };
    const auto attempt = [&](auto read) {
        try {
            results.push_back(describeSystem(read()));
        } catch (const InputError& error) {
            results.push_back(error.what());
        }
    };
    attempt([&] { return readSystem(text, options); });
    attempt([&] {
        std::istringstream pipe(text);
        return readSystem(pipe, options);
    });
    for (const std::size_t piece : {1, 3, 7}) {
        attempt([&] {
            Trickle source(text, piece);
            return readFrom(source, options, 16);
        });
    }
    return results;
}

} // namespace

TEST(Streaming, RefusalsAreTheSameInPieces) {
    for (const RefusedInput& refused : refusedInputs()) {
        SCOPED_TRACE(refused.input);
        const std::vector<std::string> results =
            outcomes(refused.input, optionsFor(refused.format));
        for (const std::string& result : results)
            EXPECT_EQ(result, refused.message);
    }
}

TEST(Streaming, SystemsAreTheSameInPieces) {
    const std::vector<std::string> inputs{
        "3\n4 2 14\n2 17 -5\n14 -5 83\n14 -101 155\n",
        "\xEF\xBB\xBF# comment\n\n  x1 , x2, b\r\n4, 2, 14\r\n2 ,17,-101\r\n",
        "2 4 1 1 3 1 2",
        "3\t4 2 14\n2 17 -5 14 -5 83\n14 -101 155\n",
        "4 2\n2 17\n",
        "%%MatrixMarket matrix coordinate real symmetric\n% c\n3 3 3\n1 1 4\n3 2 -5\n3 3 1e-3\n",
        "0\n",
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        const std::vector<std::string> results = outcomes(input, {});
        EXPECT_EQ(std::count(results.begin(), results.end(), results.front()),
                  static_cast<long>(results.size()));
        EXPECT_EQ(results.front().find("expected"), std::string::npos) << results.front();
    }
}

TEST(Streaming, AFieldLongerThanTheBufferIsReadWhole) {
    const std::string digits = "1" + std::string(100, '0');
    const std::string text = "1\n" + digits + "e-100 2\n";
    Trickle again(text, 5);
    const LinearSystem system = readFrom(again, {}, 16);
    EXPECT_EQ(system.A(1, 1), 1);
    EXPECT_EQ(system.b(1), 2);
}

namespace {

// In the death test's child, under an address-space limit far below the 8.6 GB that A needs.
[[noreturn]] void readShortInputsThatNameTheLargestOrder() {
    const rlim_t size = rlim_t{1} << 30;
    const rlimit limit{size, size};
    if (setrlimit(RLIMIT_AS, &limit) != 0)
        std::exit(3);
    std::string row;
    for (int k = 0; k < 32767; ++k)
        row += "1 ";
    for (const std::string& text :
         {std::string("32766\n1 2 3\n"), row + "\n",
          std::string("%%MatrixMarket matrix array real general\n32766 32766\n1\n")}) {
        try {
            readSystem(text);
        } catch (const InputError& error) {
            std::cerr << error.what() << "\n";
        }
    }
    std::exit(0);
}

} // namespace

TEST(Streaming, AShortInputThatNamesALargeOrderAllocatesNothing) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reports a failed allocation instead of throwing";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(readShortInputsThatNameTheLargestOrder(), ::testing::ExitedWithCode(0),
                "expected 1073610756 coefficients of A, found 3\nexpected 32766 rows of 32767 "
                "numbers, one per line, found 1 row\nexpected 1073610756 entries, found 1\n");
}
