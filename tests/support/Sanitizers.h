#pragma once

// GCC names the sanitizers by macros, clang by __has_feature.
#if defined(__has_feature)
#define LINEQ_TEST_HAS_FEATURE(name) __has_feature(name)
#else
#define LINEQ_TEST_HAS_FEATURE(name) 0
#endif

namespace lse::test {

// AddressSanitizer reserves terabytes of address space for its shadow, so no test can limit
// a process's address space under it.
#if defined(__SANITIZE_ADDRESS__) || LINEQ_TEST_HAS_FEATURE(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

// ThreadSanitizer too reserves address space beyond any limit a test sets.
#if defined(__SANITIZE_THREAD__) || LINEQ_TEST_HAS_FEATURE(thread_sanitizer)
constexpr bool kThreadSanitizer = true;
#else
constexpr bool kThreadSanitizer = false;
#endif

} // namespace lse::test
