#pragma once

// Sets flush-to-zero and denormals-are-zero for the current thread while in
// scope and restores the caller's settings afterwards. Recursive filters whose
// input falls silent decay into subnormal numbers, which the processor handles
// up to a hundred times slower; flushing them costs nothing for normal values,
// whose arithmetic stays bit-identical.
class DenormalGuard
{
public:
    DenormalGuard();
    ~DenormalGuard();

    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

    // The SSE control and status bits this guard sets.
    static constexpr unsigned kFlushToZero = 0x8000u;
    static constexpr unsigned kDenormalsAreZero = 0x0040u;

private:
    unsigned saved;
};
