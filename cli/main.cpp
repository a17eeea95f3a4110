#include "Program.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char* argv[]) {
    std::ios::sync_with_stdio(false);
    lse::cli::Console console{std::cin, std::cout, std::cerr, isatty(STDERR_FILENO) == 1};
    return lse::cli::run(argc, argv, console);
}
