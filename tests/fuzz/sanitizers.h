// What both fuzzers ask of the sanitizer runtime, which is linked only in a sanitizer build (its
// header is installed with the compiler either way).
#ifndef QTCORE_TESTS_FUZZ_SANITIZERS_H
#define QTCORE_TESTS_FUZZ_SANITIZERS_H

#if defined(__SANITIZE_ADDRESS__)
#define QTCORE_FUZZ_DEATH_CALLBACK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QTCORE_FUZZ_DEATH_CALLBACK 1
#endif
#endif
#ifdef QTCORE_FUZZ_DEATH_CALLBACK
#include <sanitizer/common_interface_defs.h>

// A run by hand gets what CI's environment gives (an environment of its own still wins): huge
// allocations a script asks for fail as errors, and what QtScript itself leaves at exit (the
// collector's first run keeps 24 bytes for good) is no leak of ours.
extern "C" const char *__asan_default_options()
{
    return "detect_leaks=1:abort_on_error=1:detect_odr_violation=0:allocator_may_return_null=1";
}
extern "C" const char *__lsan_default_options()
{
    return "suppressions=" QTCORE_LSAN_SUPPRESSIONS ":print_suppressions=0";
}
#endif

#endif
