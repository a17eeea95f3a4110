// Writes the page from its template and the window's description: make_page TEMPLATE PAGE.
#include "PageMarkup.h"

#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_page TEMPLATE PAGE\n";
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in)
            throw std::runtime_error(std::string("cannot read ") + argv[1]);
        const std::string page{std::istreambuf_iterator<char>(in), {}};
        std::ofstream out(argv[2], std::ios::binary);
        out << lse::web::fillPage(page);
        if (!out.flush())
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "make_page: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
