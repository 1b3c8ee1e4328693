#include "DenormalGuard.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <pmmintrin.h>
#include <xmmintrin.h>
#define VK_HAVE_MXCSR 1
#else
#define VK_HAVE_MXCSR 0
#endif

DenormalGuard::DenormalGuard() : saved(0)
{
#if VK_HAVE_MXCSR
    saved = _mm_getcsr();
    _mm_setcsr(saved | kFlushToZero | kDenormalsAreZero);
#endif
}

DenormalGuard::~DenormalGuard()
{
#if VK_HAVE_MXCSR
    // Only the two mode bits go back: exception flags raised meanwhile stay.
    const unsigned mask = kFlushToZero | kDenormalsAreZero;
    _mm_setcsr((_mm_getcsr() & ~mask) | (saved & mask));
#endif
}
