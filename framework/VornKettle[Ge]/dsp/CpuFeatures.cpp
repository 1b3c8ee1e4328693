#include "WavePaths.h"

bool CpuHasAvx2()
{
    // The compiler's processor model also checks that the operating system
    // saves the AVX registers on a context switch.
    static const bool has = []
    {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}
