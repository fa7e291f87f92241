#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// One fuzz target body, compiled twice: as a libFuzzer program (VORNA_LIBFUZZER) and into the
// replay test, which runs every committed seed and regression input through it. A promise the
// body's FUZZ_CHECK finds broken, or an exception that escapes it, stops the fuzzer with the
// input kept, and fails the replay.

namespace vorna::fuzz {

using Input = std::span<const std::uint8_t>;
using Body = void (*)(Input data);

// Not a std::exception, so a body's own catch of library errors lets it through.
struct Failure {
    std::string what;
};

[[noreturn]] void fail(const std::string& what);

// libFuzzer: runs the body, aborting on a failure so the input is kept as a crash.
int runOne(const char* target, Body body, Input data);
// Replay: every file of corpus/<target> and regressions/<target> through the body.
void replayAll(const char* target, Body body);

} // namespace vorna::fuzz

#define FUZZ_CHECK(cond, what)                                                                     \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ::vorna::fuzz::fail(std::string(#cond " (line " + std::to_string(__LINE__) + "): ") +  \
                                (what));                                                           \
    } while (0)

#ifdef VORNA_LIBFUZZER
#define VORNA_FUZZ_RUNNER(name)                                                                    \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* d, std::size_t n) {                  \
        return ::vorna::fuzz::runOne(#name, name##_body, {d, n});                                  \
    }
#else
#include <gtest/gtest.h>
#define VORNA_FUZZ_RUNNER(name)                                                                    \
    TEST(fuzz_replay, name) {                                                                      \
        ::vorna::fuzz::replayAll(#name, name##_body);                                              \
    }
#endif
#define VORNA_FUZZ_TARGET(name)                                                                    \
    static void name##_body(::vorna::fuzz::Input data);                                            \
    VORNA_FUZZ_RUNNER(name)                                                                        \
    static void name##_body(::vorna::fuzz::Input data)
