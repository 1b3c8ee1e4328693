// The entry point of a test plug-in module, exported as hosts look for it:
// C linkage, and visible although fixtures build with hidden visibility.
#pragma once

#ifdef _WIN32
#define FIXTURE_EXPORT extern "C" __declspec(dllexport)
#else
#define FIXTURE_EXPORT extern "C" __attribute__((visibility("default")))
#endif
