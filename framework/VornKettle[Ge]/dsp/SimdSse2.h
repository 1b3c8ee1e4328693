#pragma once

#include <emmintrin.h>

// Two doubles in an SSE2 register, with exactly the operations the wavefront
// kernel needs. Every operation is the IEEE operation of the scalar code, lane
// by lane, so a lane computes the same bits as the per-section loop.
struct VecSse2
{
    static constexpr int kLanes = 2;

    __m128d v;

    static VecSse2 Load(const double* p) { return {_mm_loadu_pd(p)}; }
    static void Store(double* p, VecSse2 a) { _mm_storeu_pd(p, a.v); }
    static VecSse2 Set1(double x) { return {_mm_set1_pd(x)}; }

    friend VecSse2 operator+(VecSse2 a, VecSse2 b) { return {_mm_add_pd(a.v, b.v)}; }
    friend VecSse2 operator-(VecSse2 a, VecSse2 b) { return {_mm_sub_pd(a.v, b.v)}; }
    friend VecSse2 operator*(VecSse2 a, VecSse2 b) { return {_mm_mul_pd(a.v, b.v)}; }
    friend VecSse2 operator/(VecSse2 a, VecSse2 b) { return {_mm_div_pd(a.v, b.v)}; }

    // Masks are all-ones or all-zero lanes.
    static VecSse2 Less(VecSse2 a, VecSse2 b) { return {_mm_cmplt_pd(a.v, b.v)}; }
    static VecSse2 Equal(VecSse2 a, VecSse2 b) { return {_mm_cmpeq_pd(a.v, b.v)}; }
    static VecSse2 LessEqual(VecSse2 a, VecSse2 b) { return {_mm_cmple_pd(a.v, b.v)}; }
    static VecSse2 GreaterEqual(VecSse2 a, VecSse2 b) { return {_mm_cmpge_pd(a.v, b.v)}; }
    static VecSse2 Greater(VecSse2 a, VecSse2 b) { return {_mm_cmpgt_pd(a.v, b.v)}; }
    static VecSse2 And(VecSse2 a, VecSse2 b) { return {_mm_and_pd(a.v, b.v)}; }
    // mask ? a : b, lane by lane.
    static VecSse2 Select(VecSse2 mask, VecSse2 a, VecSse2 b)
    {
        return {_mm_or_pd(_mm_and_pd(mask.v, a.v), _mm_andnot_pd(mask.v, b.v))};
    }
    // Clears the sign bit, as fabs does.
    static VecSse2 Abs(VecSse2 a) { return {_mm_andnot_pd(_mm_set1_pd(-0.0), a.v)}; }

    // The operand order is the point: each returns b where the comparison
    // is false, a NaN in either included, as _mm_min_pd(a, b) is a < b ? a : b.
    static VecSse2 Min(VecSse2 a, VecSse2 b) { return {_mm_min_pd(a.v, b.v)}; }
    static VecSse2 Max(VecSse2 a, VecSse2 b) { return {_mm_max_pd(a.v, b.v)}; }
    // Lane 0 of low, the other lane of a.
    static VecSse2 WithLane0(VecSse2 a, VecSse2 low) { return {_mm_move_sd(a.v, low.v)}; }

    // Lane 0 of each of x[0] and x[1].
    static VecSse2 Lows(const VecSse2* x) { return {_mm_unpacklo_pd(x[0].v, x[1].v)}; }
    // Lane L of a in lane 0; the other lane is of no use.
    template <int L> static VecSse2 LaneToLow(VecSse2 a)
    {
        static_assert(L >= 0 && L < kLanes, "lane index");
        if constexpr (L == 0)
        {
            return a;
        }
        else
        {
            return {_mm_unpackhi_pd(a.v, a.v)};
        }
    }

    // Every lane moves up by one; the top lane drops out and lane 0 of
    // `low` enters lane 0.
    static VecSse2 ShiftUp(VecSse2 a, VecSse2 low) { return {_mm_unpacklo_pd(low.v, a.v)}; }

    // Lane L of a and of b in lanes 0 and 1.
    template <int L> static VecSse2 LanePair(VecSse2 a, VecSse2 b)
    {
        static_assert(L >= 0 && L < kLanes, "lane index");
        return {L == 0 ? _mm_unpacklo_pd(a.v, b.v) : _mm_unpackhi_pd(a.v, b.v)};
    }
    // Lanes 0 and 1 to p[0] and p[1].
    static void StorePair(double* p, VecSse2 a) { Store(p, a); }

    template <int L> static double Lane(VecSse2 a)
    {
        static_assert(L >= 0 && L < kLanes, "lane index");
        if constexpr (L == 0)
        {
            return _mm_cvtsd_f64(a.v);
        }
        else
        {
            return _mm_cvtsd_f64(_mm_unpackhi_pd(a.v, a.v));
        }
    }
};
