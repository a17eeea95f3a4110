// Writes a seeded symmetric positive definite system for lineq-solve, as plain text with 17
// significant digits or as NumPy arrays: the inputs of the reading measurements and of
// large-system runs.
#include "SystemFiles.h"

#include <CLI/CLI.hpp>

#include <cstdio>

int main(int argc, char** argv) {
    CLI::App app{"Writes a seeded symmetric positive definite system A x = b."};
    int n = 2000;
    std::uint64_t seed = 1;
    std::string format = "text";
    std::string output;
    std::string rhs;
    app.add_option("-n", n, "The number of equations")->check(CLI::Range(0, 32766));
    app.add_option("--seed", seed, "The seed of the entries")->capture_default_str();
    app.add_option("--format", format,
                   "text (n, A by rows, b) or npy (A and b in one n x (n + 1) array, or A alone "
                   "with --rhs)")
        ->check(CLI::IsMember({"text", "npy"}))
        ->capture_default_str();
    app.add_option("--rhs", rhs, "With npy: write b to this file as an array of n");
    app.add_option("OUTPUT", output, "The file to write")->required();
    CLI11_PARSE(app, argc, argv);
    try {
        const lse::test::SpdSystem system(n, seed);
        if (format == "text")
            lse::test::writeText(system, output);
        else
            lse::test::writeNpy(system, output, rhs);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_system: %s\n", error.what());
        return 1;
    }
    return 0;
}
