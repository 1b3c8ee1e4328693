#pragma once

#include <cstdio>
#include <cstdlib>

// A broken promise to the host: print what and where, then abort, which
// libFuzzer reports as a finding with the input that led to it.
#define VK_FUZZ_CHECK(condition, ...)                                                              \
    do                                                                                             \
    {                                                                                              \
        if (!(condition))                                                                          \
        {                                                                                          \
            std::fprintf(stderr, "host check failed: %s (%s:%d): ", #condition, __FILE__,          \
                         __LINE__);                                                                \
            std::fprintf(stderr, __VA_ARGS__);                                                     \
            std::fprintf(stderr, "\n");                                                            \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)
