#pragma once

// Trace points of the framework. The hook takes the calling function, the
// line and a printf-style message and deliberately produces nothing; the
// format is still checked by the compiler.
#if defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
void ITrace(const char* function, int line, const char* format, ...);

#define VK_TRACE(...) ITrace(__func__, __LINE__, __VA_ARGS__)
