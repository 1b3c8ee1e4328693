#pragma once

#include <immintrin.h>

// Four doubles in an AVX register, with the operations of VecSse2. Only the
// translation unit built for AVX2 includes this; it runs only on processors
// that report AVX2. Multiply and add stay separate instructions: a fused
// multiply-add rounds once instead of twice and would change the bits.
struct VecAvx2
{
    static constexpr int kLanes = 4;

    __m256d v;

    static VecAvx2 Load(const double* p) { return {_mm256_loadu_pd(p)}; }
    static void Store(double* p, VecAvx2 a) { _mm256_storeu_pd(p, a.v); }
    static VecAvx2 Set1(double x) { return {_mm256_set1_pd(x)}; }

    friend VecAvx2 operator+(VecAvx2 a, VecAvx2 b) { return {_mm256_add_pd(a.v, b.v)}; }
    friend VecAvx2 operator-(VecAvx2 a, VecAvx2 b) { return {_mm256_sub_pd(a.v, b.v)}; }
    friend VecAvx2 operator*(VecAvx2 a, VecAvx2 b) { return {_mm256_mul_pd(a.v, b.v)}; }
    friend VecAvx2 operator/(VecAvx2 a, VecAvx2 b) { return {_mm256_div_pd(a.v, b.v)}; }

    // Ordered, non-signalling comparisons: the predicates of the scalar < <=
    // >= > operators, false for NaN.
    static VecAvx2 Less(VecAvx2 a, VecAvx2 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LT_OQ)}; }
    static VecAvx2 Equal(VecAvx2 a, VecAvx2 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_EQ_OQ)}; }
    static VecAvx2 LessEqual(VecAvx2 a, VecAvx2 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LE_OQ)}; }
    static VecAvx2 GreaterEqual(VecAvx2 a, VecAvx2 b)
    {
        return {_mm256_cmp_pd(a.v, b.v, _CMP_GE_OQ)};
    }
    static VecAvx2 Greater(VecAvx2 a, VecAvx2 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GT_OQ)}; }
    static VecAvx2 And(VecAvx2 a, VecAvx2 b) { return {_mm256_and_pd(a.v, b.v)}; }
    static VecAvx2 Select(VecAvx2 mask, VecAvx2 a, VecAvx2 b)
    {
        return {_mm256_blendv_pd(b.v, a.v, mask.v)};
    }
    static VecAvx2 Abs(VecAvx2 a) { return {_mm256_andnot_pd(_mm256_set1_pd(-0.0), a.v)}; }

    static VecAvx2 Min(VecAvx2 a, VecAvx2 b) { return {_mm256_min_pd(a.v, b.v)}; }
    static VecAvx2 Max(VecAvx2 a, VecAvx2 b) { return {_mm256_max_pd(a.v, b.v)}; }
    static VecAvx2 WithLane0(VecAvx2 a, VecAvx2 low) { return {_mm256_blend_pd(a.v, low.v, 0x1)}; }

    static VecAvx2 Lows(const VecAvx2* x)
    {
        const __m256d low01 = _mm256_unpacklo_pd(x[0].v, x[1].v);
        const __m256d low23 = _mm256_unpacklo_pd(x[2].v, x[3].v);
        return {_mm256_permute2f128_pd(low01, low23, 0x20)};
    }
    template <int L> static VecAvx2 LaneToLow(VecAvx2 a)
    {
        static_assert(L >= 0 && L < kLanes, "lane index");
        if constexpr (L == 0)
        {
            return a;
        }
        else if constexpr (L == 1)
        {
            return {_mm256_permute_pd(a.v, 0x1)};
        }
        else
        {
            return {_mm256_permute4x64_pd(a.v, L)};
        }
    }

    static VecAvx2 ShiftUp(VecAvx2 a, VecAvx2 low)
    {
        const __m256d rotated = _mm256_permute4x64_pd(a.v, _MM_SHUFFLE(2, 1, 0, 3));
        return {_mm256_blend_pd(rotated, low.v, 0x1)};
    }

    // Lane L of a and of b in lanes 0 and 1; the others are of no use.
    template <int L> static VecAvx2 LanePair(VecAvx2 a, VecAvx2 b)
    {
        static_assert(L >= 0 && L < kLanes, "lane index");
        const __m128d ha = L < 2 ? _mm256_castpd256_pd128(a.v) : _mm256_extractf128_pd(a.v, 1);
        const __m128d hb = L < 2 ? _mm256_castpd256_pd128(b.v) : _mm256_extractf128_pd(b.v, 1);
        const __m128d pair = L % 2 == 0 ? _mm_unpacklo_pd(ha, hb) : _mm_unpackhi_pd(ha, hb);
        return {_mm256_castpd128_pd256(pair)};
    }
    // Lanes 0 and 1 to p[0] and p[1].
    static void StorePair(double* p, VecAvx2 a) { _mm_storeu_pd(p, _mm256_castpd256_pd128(a.v)); }

    template <int L> static double Lane(VecAvx2 a)
    {
        static_assert(L >= 0 && L < kLanes, "lane index");
        const __m128d half = L < 2 ? _mm256_castpd256_pd128(a.v) : _mm256_extractf128_pd(a.v, 1);
        if constexpr (L % 2 == 0)
        {
            return _mm_cvtsd_f64(half);
        }
        else
        {
            return _mm_cvtsd_f64(_mm_unpackhi_pd(half, half));
        }
    }
};
