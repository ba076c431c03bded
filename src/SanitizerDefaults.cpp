// SPDX-License-Identifier: MIT
// Built only into sanitizer builds. The sanitizer runtimes ask for these at
// start-up; options given in the environment still take precedence.

extern "C" {

const char* __asan_default_options() { return "detect_leaks=1"; }

// Leaks inside libraries that are not ours (fontconfig, the X and GL client
// libraries Qt loads) go into this file, kept with the tests.
const char* __lsan_default_options() { return "suppressions=" OMBREL_LSAN_SUPPRESSIONS; }

const char* __ubsan_default_options() { return "print_stacktrace=1"; }
}
