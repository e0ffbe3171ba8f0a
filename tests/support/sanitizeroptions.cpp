// Built into every test program of a sanitizer build: the sanitizers' settings for the tests,
// whoever runs them (ctest in the build folder, scripts/run-tests, the program by hand, the
// listing of its tests), and for the programs the tests start, which find them in the
// environment. Settings already in the environment win.
#include <cstdlib>

#ifndef TSL_DETECT_LEAKS
#error "TSL_DETECT_LEAKS must be 0 or 1"
#endif
#ifndef TSL_LEAK_SUPPRESSIONS
#error "TSL_LEAK_SUPPRESSIONS must name the leak suppressions file"
#endif

#define TSL_STRING(x) #x
#define TSL_VALUE(x) TSL_STRING(x)

namespace {

// A finding ends the test. Leaks are looked for in the logic tests only: the GUI tests leave
// windows and the toolkit's own allocations to the end of the process.
const char addressOptions[] =
    "detect_leaks=" TSL_VALUE(TSL_DETECT_LEAKS) ":abort_on_error=1:detect_stack_use_after_return=1";
const char undefinedOptions[] = "print_stacktrace=1:halt_on_error=1";
const char leakOptions[] = "suppressions=" TSL_LEAK_SUPPRESSIONS ":print_suppressions=0";

const bool exported = [] {
    setenv("ASAN_OPTIONS", addressOptions, 0);
    setenv("UBSAN_OPTIONS", undefinedOptions, 0);
    setenv("LSAN_OPTIONS", leakOptions, 0);
    return true;
}();

} // namespace

extern "C" const char *__asan_default_options()
{
    return addressOptions;
}

extern "C" const char *__ubsan_default_options()
{
    return undefinedOptions;
}

extern "C" const char *__lsan_default_options()
{
    return leakOptions;
}
