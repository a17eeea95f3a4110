#pragma once

// Seeded symmetric positive definite systems of any order, written as text or as NumPy arrays
// entry by entry, without holding the matrix: for the tests of large inputs and for
// bench/make_system.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace lse::test {

// A(i, j) = A(j, i) in [-1, 1) off the diagonal and n on it, so that every row is diagonally
// dominant; b(i) in [-1, 1). Indices from 1, as the readers give them.
class SpdSystem {
public:
    SpdSystem(int n, std::uint64_t seed) : n_(n), seed_(seed) {}

    int n() const { return n_; }
    double a(int i, int j) const {
        if (i == j)
            return n_;
        if (i > j)
            return unit(static_cast<std::uint64_t>(j) * 65536 + static_cast<std::uint64_t>(i));
        return unit(static_cast<std::uint64_t>(i) * 65536 + static_cast<std::uint64_t>(j));
    }
    double b(int i) const { return unit(static_cast<std::uint64_t>(i)); }

private:
    // splitmix64 of the seed and the place, scaled to [-1, 1) with 53 bits.
    double unit(std::uint64_t place) const {
        std::uint64_t z = seed_ * 0x9E3779B97F4A7C15ULL + place + 0x632BE59BD9B4E019ULL;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) * 0x1p-52 - 1.0;
    }

    int n_;
    std::uint64_t seed_;
};

class OutputFile {
public:
    explicit OutputFile(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {
        if (file_ == nullptr)
            throw std::runtime_error("cannot write " + path);
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() {
        if (file_ != nullptr)
            std::fclose(file_);
    }
    void write(const void* data, std::size_t size) {
        if (std::fwrite(data, 1, size, file_) != size)
            throw std::runtime_error("cannot write the system");
    }
    void write(const std::string& text) { write(text.data(), text.size()); }
    void close() {
        const bool failed = std::fclose(file_) != 0;
        file_ = nullptr;
        if (failed)
            throw std::runtime_error("cannot write the system");
    }

private:
    std::FILE* file_;
};

// The plain layout: n, then A row by row, then b; each number with 17 significant digits.
inline void writeText(const SpdSystem& s, const std::string& path) {
    OutputFile out(path);
    const int n = s.n();
    out.write(std::to_string(n) + "\n");
    std::string line;
    const auto append = [&](double value, char end) {
        char digits[32];
        const auto result =
            std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 17);
        line.append(digits, result.ptr);
        line += end;
    };
    for (int i = 1; i <= n; ++i) {
        line.clear();
        for (int j = 1; j <= n; ++j)
            append(s.a(i, j), j == n ? '\n' : ' ');
        out.write(line);
    }
    line.clear();
    for (int i = 1; i <= n; ++i)
        append(s.b(i), '\n');
    out.write(line);
    out.close();
}

// A NumPy 1.0 header for little-endian doubles of the given shape ("(3,)", "(3, 4)").
inline std::string npyHeader(const std::string& shape, bool fortranOrder = false,
                             const std::string& descr = "<f8") {
    std::string dict = "{'descr': '" + descr +
                       "', 'fortran_order': " + (fortranOrder ? "True" : "False") +
                       ", 'shape': " + shape + ", }";
    // Magic, version and length take 10 bytes; the whole header ends on a multiple of 64.
    const std::size_t total = (10 + dict.size() + 1 + 63) / 64 * 64;
    dict.append(total - 10 - dict.size() - 1, ' ');
    dict += '\n';
    std::string header("\x93NUMPY\x01\x00", 8);
    header += static_cast<char>(dict.size() & 0xff);
    header += static_cast<char>(dict.size() >> 8);
    return header + dict;
}

// A as an n x n array, in rows; b, when rhsPath is given, as an array of n. Without rhsPath,
// one n x (n + 1) array holds A with b as its last column.
inline void writeNpy(const SpdSystem& s, const std::string& path, const std::string& rhsPath) {
    const int n = s.n();
    const int columns = rhsPath.empty() ? n + 1 : n;
    OutputFile out(path);
    out.write(npyHeader("(" + std::to_string(n) + ", " + std::to_string(columns) + ")"));
    std::string row(static_cast<std::size_t>(columns) * sizeof(double), '\0');
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= columns; ++j) {
            const double value = j <= n ? s.a(i, j) : s.b(i);
            std::memcpy(row.data() + (j - 1) * sizeof(double), &value, sizeof value);
        }
        out.write(row);
    }
    out.close();
    if (rhsPath.empty())
        return;
    OutputFile rhs(rhsPath);
    rhs.write(npyHeader("(" + std::to_string(n) + ",)"));
    for (int i = 1; i <= n; ++i) {
        const double value = s.b(i);
        rhs.write(&value, sizeof value);
    }
    rhs.close();
}

} // namespace lse::test
