// Run-time settings of the sanitizers, built into every program of a sanitizer
// build (tests, the app, the development server), so that a program behaves the
// same whether CTest, a test or a person starts it. Settings given in the
// environment (ASAN_OPTIONS, UBSAN_OPTIONS, LSAN_OPTIONS) still take precedence.

#define KALVORIN_SANITIZER_DEFAULT extern "C" __attribute__((visibility("default"), used)) const char*

KALVORIN_SANITIZER_DEFAULT __asan_default_options() {
    // Leaks at exit are not looked for: Qt's GUI and QML runtime keep images,
    // paint engines and caches until the process ends by design, and a request
    // still in flight when a test ends keeps its coroutine frame. Neither is a
    // memory fault; overflows, use after free and undefined behaviour still
    // end the run.
    return "detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:detect_leaks=0";
}

// Undefined behaviour ends the program with a failure, and the stack says where.
KALVORIN_SANITIZER_DEFAULT __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}
