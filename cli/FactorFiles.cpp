#include "FactorFiles.h"

#include "SavedTexts.h"

#include <cstdint>
#include <cstring>
#include <filesystem>

namespace lse::cli {

namespace {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the arrays are written little-endian");

// NumPy's format 1.0: the magic string, the version, the header's length, then the header, a
// Python dictionary padded with spaces to a line that ends on a multiple of 64 bytes.
std::string npyHeader(const char* descr, const std::string& shape) {
    std::string dict =
        std::string("{'descr': '") + descr + "', 'fortran_order': False, 'shape': " + shape + ", }";
    const std::size_t unpadded = 10 + dict.size() + 1;
    dict.append((64 - unpadded % 64) % 64, ' ').push_back('\n');
    const auto length = static_cast<std::uint16_t>(dict.size());
    std::string header = "\x93NUMPY\x01";
    header += '\0';
    header += static_cast<char>(length & 0xff);
    header += static_cast<char>(length >> 8);
    return header + dict;
}

template <typename T> void appendBytes(std::string& out, const T* values, std::size_t count) {
    out.append(reinterpret_cast<const char*>(values), count * sizeof(T));
}

std::string matrixFile(const Matrix& M, int n) {
    const std::string size = std::to_string(n);
    std::string file = npyHeader("<f8", "(" + size + ", " + size + ")");
    file.reserve(file.size() + static_cast<std::size_t>(n) * static_cast<std::size_t>(n) * 8);
    for (int i = 1; i <= n; ++i)
        appendBytes(file, M.row(i) + 1, static_cast<std::size_t>(n));
    return file;
}

std::string orderFile(const std::vector<int>& order, int n) {
    std::string file = npyHeader("<i8", "(" + std::to_string(n) + ",)");
    for (int i = 1; i <= n; ++i) {
        const std::int64_t row = order[static_cast<std::size_t>(i)];
        appendBytes(file, &row, 1);
    }
    return file;
}

// Every file a method's factors may take (FactorMatrices): the row order, L and U.
constexpr const char* kSuffixes[] = {"-row-order.npy", "-L.npy", "-U.npy"};

} // namespace

ClearedFactors clearFactorFiles(const std::string& dir, MethodTable methods) {
    ClearedFactors cleared;
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        cleared.failure = dir + ": " + error.message();
        return cleared;
    }
    for (const MethodEntry& method : methods)
        for (const char* suffix : kSuffixes) {
            const std::string path =
                (std::filesystem::path(dir) / (std::string(method.name) + suffix)).string();
            if (std::filesystem::remove(path, error)) {
                cleared.removed.push_back(path);
            } else if (error) {
                cleared.failure = path + ": " + error.message();
                return cleared;
            }
        }
    return cleared;
}

std::optional<std::string> writeFactorFiles(const std::string& dir, const MethodEntry& method,
                                            const Factors& factors) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error)
        return dir + ": " + error.message();
    const int n = factors.order();
    const FactorMatrices f = factors.matrices();
    const std::string stem = (std::filesystem::path(dir) / method.name).string();
    const auto write = [&](const std::string& suffix,
                           const std::string& contents) -> std::optional<std::string> {
        const std::string path = stem + suffix;
        if (const std::optional<std::string> why = writeWholeFile(path, contents))
            return path + ": " + *why;
        return std::nullopt;
    };
    std::optional<std::string> failed;
    if (!f.rowOrder.empty())
        failed = write("-row-order.npy", orderFile(f.rowOrder, n));
    if (!failed)
        failed = write("-L.npy", matrixFile(f.L, n));
    if (!failed && f.U)
        failed = write("-U.npy", matrixFile(*f.U, n));
    return failed;
}

} // namespace lse::cli
