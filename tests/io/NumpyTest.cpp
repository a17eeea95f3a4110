// NumPy .npy arrays: the types and layouts read, and everything else refused.
#include "SystemFiles.h"
#include "SystemReader.h"
#include "Systems.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

using namespace lse;
using namespace lse::io;
using namespace lse::test;

namespace {

template <typename T> std::string bytesOf(std::initializer_list<T> values) {
    std::string bytes;
    for (const T value : values) {
        char raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        bytes.append(raw, sizeof(T));
    }
    return bytes;
}

// The header of another version: the same dictionary after a 4-byte length.
std::string withVersion(const std::string& npy, char major) {
    const std::size_t length = static_cast<unsigned char>(npy[8]) | static_cast<std::size_t>(npy[9])
                                                                        << 8;
    std::string header("\x93NUMPY", 6);
    header += major;
    header += '\0';
    header += bytesOf<std::uint32_t>({static_cast<std::uint32_t>(length)});
    return header + npy.substr(10);
}

std::string refusal(const std::string& npy) {
    try {
        readSystem(npy);
    } catch (const InputError& error) {
        return error.what();
    }
    return "accepted";
}

} // namespace

TEST(Numpy, TypesAndLayoutsGiveTheSameSystem) {
    const Matrix A = makeMatrix({{4, 2}, {2, 17}});
    const Vector b = makeVector({14, -101});
    const std::string rows = bytesOf<double>({4, 2, 14, 2, 17, -101});
    const std::vector<std::string> inputs{
        npyHeader("(2, 3)") + rows,
        npyHeader("(2, 3)", true) + bytesOf<double>({4, 2, 2, 17, 14, -101}),
        npyHeader("(2, 3)", false, "<f4") + bytesOf<float>({4, 2, 14, 2, 17, -101}),
        npyHeader("(2, 3)", false, "<i8") + bytesOf<std::int64_t>({4, 2, 14, 2, 17, -101}),
        npyHeader("(2, 3)", true, "<i2") + bytesOf<std::int16_t>({4, 2, 2, 17, 14, -101}),
        npyHeader("(2L, 3L)", false, "|i1") + bytesOf<std::int8_t>({4, 2, 14, 2, 17, -101}),
        withVersion(npyHeader("(2, 3)") + rows, 2),
        withVersion(npyHeader("(2, 3)") + rows, 3),
    };
    for (const std::string& npy : inputs) {
        SCOPED_TRACE(npy.substr(10, 60));
        const LinearSystem system = readSystem(npy);
        EXPECT_EQ(system.format, InputFormat::numpy);
        EXPECT_TRUE(system.hasB);
        EXPECT_EQ(system.A, A);
        EXPECT_EQ(system.b, b);
        EXPECT_GE(system.A.stride(), 4u);
        std::istringstream pipe(npy);
        EXPECT_EQ(readSystem(pipe).A, A);
    }
    const LinearSystem alone =
        readSystem(npyHeader("(2, 2)", false, "<u2") + bytesOf<std::uint16_t>({4, 2, 2, 17}));
    EXPECT_FALSE(alone.hasB);
    EXPECT_EQ(alone.A, A);
    EXPECT_EQ(readRightHandSide(npyHeader("(2,)") + bytesOf<double>({14, -101}), 2), b);
    EXPECT_EQ(
        readRightHandSide(npyHeader("(2, 1)", false, "<i4") + bytesOf<std::int32_t>({14, -101}), 2),
        b);
    // Every value of a float32 is a double, the smallest and the largest included.
    const float tiny = 1e-45f;
    EXPECT_EQ(readSystem(npyHeader("(1, 2)", false, "<f4") + bytesOf<float>({tiny, 3.4e38f})).b,
              makeVector({3.4e38f}));
}

TEST(Numpy, EverythingElseIsRefusedWithItsReason) {
    const std::string four = bytesOf<double>({1, 2, 3, 4});
    struct Case {
        std::string npy;
        std::string message;
    };
    const std::vector<Case> cases{
        {npyHeader("(2, 2)", false, ">f8") + four,
         "NumPy header: the type '>f8' is big-endian; float64, float32 and integer arrays, "
         "little-endian, are read"},
        {npyHeader("(2, 2)", false, "<c16") + four,
         "NumPy header: the type '<c16' is not read; float64, float32 and integer arrays, "
         "little-endian, are read"},
        {npyHeader("(2, 2)", false, "<f2") + four,
         "NumPy header: the type '<f2' is not read; float64, float32 and integer arrays, "
         "little-endian, are read"},
        {npyHeader("(4,)") + four,
         "the array's shape is (4,); a system is n x n (A) or n x (n + 1) (A with b as its "
         "last column)"},
        {npyHeader("(1, 4)") + four,
         "the array's shape is (1, 4); a system is n x n (A) or n x (n + 1) (A with b as its "
         "last column)"},
        {npyHeader("(40000, 40000)"), "n = 40000 is more than 32766 equations"},
        {npyHeader("(2, 2)") + four.substr(0, 20),
         "the file ends after 2 of the array's 4 entries"},
        {npyHeader("(2, 2)") + four + "x",
         "expected the end of the file after the array, found more bytes"},
        {npyHeader("(2, 2)") + bytesOf<double>({1, 2, 0.0 / 0.0, 4}), "entry (2, 1) is NaN"},
        {npyHeader("(1, 2)", false, "<i8") + bytesOf<std::int64_t>({1, (1LL << 53) + 1}),
         "entry (1, 2), 9007199254740993, has no exact double value"},
        {npyHeader("(1, 1)", false, "<u8") + bytesOf<std::uint64_t>({~0ULL}),
         "entry (1, 1), 18446744073709551615, has no exact double value"},
        {std::string("\x93NUMPY\x04\x00", 8),
         "NumPy format version 4.0 is not read; versions 1.0 to 3.0 are"},
        {std::string("\x93NUMPY\x01\x00\x05\x00{'de", 14), "the file ends within the NumPy header"},
        {npyHeader("(2, 2)").replace(10, 1, "["),
         "NumPy header: expected '{' at byte 1 of the dictionary"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(refusal(c.npy), c.message);
    }
    std::string structured = "{'descr': [('a', '<f8')], 'fortran_order': False, 'shape': (1,), }";
    structured.resize(117, ' ');
    structured += '\n';
    EXPECT_EQ(refusal(std::string("\x93NUMPY\x01\x00\x76\x00", 10) + structured),
              "NumPy header: the array has named fields (a structured type); a plain array of "
              "numbers is needed");
}

TEST(Numpy, ALargeArrayGoesStraightIntoA) {
    // Rows of doubles as the file lays them out are read into A's rows, past the buffer of
    // the text readers.
    const SpdSystem s(300, 7);
    const std::string path = scratchFile("numpy-300.npy");
    const std::string rhsPath = scratchFile("numpy-300-b.npy");
    writeNpy(s, path, rhsPath);
    const LinearSystem system = readSystemFile(path);
    EXPECT_FALSE(system.hasB);
    const Vector b = readRightHandSideFile(rhsPath, 300);
    for (int i = 1; i <= 300; ++i) {
        EXPECT_EQ(b(i), s.b(i));
        for (int j = 1; j <= 300; ++j)
            ASSERT_EQ(system.A(i, j), s.a(i, j)) << i << ", " << j;
    }
}
