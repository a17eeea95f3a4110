#include "OutOfMemory.h"

#include "ChildRun.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include <flint/flint.h>
#include <gmp.h>
#include <unistd.h>

namespace lse::exact {

namespace {

const char* exitLine = "lineq-exact: out of memory\n";
int exitStatus = kOutOfMemoryStatus;

[[noreturn]] void outOfMemory() {
    // Nothing that could allocate: write(2) and _exit(2) only.
    [[maybe_unused]] const ssize_t written =
        ::write(STDERR_FILENO, exitLine, std::strlen(exitLine));
    ::_exit(exitStatus);
}

void* allocate(std::size_t size) {
    void* p = std::malloc(size);
    if (p == nullptr && size != 0)
        outOfMemory();
    return p;
}

void* allocateZeroed(std::size_t count, std::size_t size) {
    void* p = std::calloc(count, size);
    if (p == nullptr && count != 0 && size != 0)
        outOfMemory();
    return p;
}

void* reallocate(void* p, std::size_t size) {
    void* q = std::realloc(p, size);
    if (q == nullptr && size != 0)
        outOfMemory();
    return q;
}

void* gmpReallocate(void* p, std::size_t, std::size_t size) {
    return reallocate(p, size);
}

void gmpRelease(void* p, std::size_t) {
    std::free(p);
}

} // namespace

void endProcessWhenArithmeticRunsOutOfMemory(const char* line, int status) {
    exitLine = line;
    exitStatus = status;
    mp_set_memory_functions(allocate, gmpReallocate, gmpRelease);
    __flint_set_memory_functions(allocate, allocateZeroed, reallocate, std::free);
}

void endProcessWhenMemoryRunsOut() {
    endProcessWhenArithmeticRunsOutOfMemory(exitLine, exitStatus);
    std::set_new_handler(outOfMemory);
}

} // namespace lse::exact
