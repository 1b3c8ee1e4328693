#pragma once

#include "BiquadBank.h"
#include "FuzzPedal.h"
#include "WavePaths.h"

#include <algorithm>
#include <cstdint>
#include <utility>

// The chain of S sections (12: fuzz; 22: fuzz then cabinet) as a wavefront
// across the lanes of Vec.
//
// Why the lanes are skewed: a frame must leave section j before it can enter
// section j + 1, and each section's recursion waits on its own last output,
// so frame by frame the chain is one long dependency. In a wavefront, step t
// advances section j on frame t - 2j: every section of a step reads only what
// earlier steps produced, so all of them run side by side in the lanes, while
// every lane still performs, for its section, exactly the operations of
// SectionState::Run in the same order. The skew is two steps per section, not
// one, because a frame needs about as long to cross a section as a section
// needs for its own recursion: with two steps to arrive, the hand-over is off
// the critical path. Section j's input is then the previous section's output
// before last (its y2). The hand-over between sections (the denormal offset,
// the shaper and blend before section 2, the level before section 12) is
// per-lane work on that value.
//
// Section j lives in lane j / V of vector j % V, so that vector v takes its
// inputs from the same lanes of vector v - 1, and only vector 0 needs a lane
// shift (from the last vector, with the new frame entering lane 0).
//
// Fill and drain: each lane runs at every step of the block, before its
// section's first frame and after its last one as well, on values that lead
// nowhere; only one section starts and one finishes every two steps. So a
// section's history is put back from the bank at the step of its first frame,
// and taken for the bank at the step of its last: that is the history the
// plain loop leaves.
template <class Vec, int S> class WaveKernel
{
public:
    static constexpr int W = Vec::kLanes;
    static constexpr int V = (S + W - 1) / W;
    static constexpr double kOffset = FuzzPedal::kDenormalOffset;
    static constexpr double kCeiling = FuzzPedal::kShaperCeiling;

    WaveKernel(const BiquadBank& bank, const WaveParams& p) : params(p)
    {
        for (int j = 0; j < S; ++j)
        {
            history[0][j] = bank.x1[j];
            history[1][j] = bank.x2[j];
            history[2][j] = bank.y1[j];
            history[3][j] = bank.y2[j];
        }
        double lane[10][W];
        for (int v = 0; v < V; ++v)
        {
            for (int l = 0; l < W; ++l)
            {
                const int j = l * V + v;
                const bool real = j < S;
                lane[0][l] = real ? bank.b0[j] : 0.0;
                lane[1][l] = real ? bank.b1[j] : 0.0;
                lane[2][l] = real ? bank.b2[j] : 0.0;
                lane[3][l] = real ? bank.a1[j] : 0.0;
                lane[4][l] = real ? bank.a2[j] : 0.0;
                lane[5][l] = real ? bank.x1[j] : 0.0;
                lane[6][l] = real ? bank.x2[j] : 0.0;
                lane[7][l] = real ? bank.y1[j] : 0.0;
                lane[8][l] = real ? bank.y2[j] : 0.0;
                // The level multiplies the input of the cabinet's first
                // section; vector 0 applies it before its lane shift, so there
                // it sits one lane lower.
                const int dest = v == 0 ? (l + 1) * V : j;
                lane[9][l] = dest == kGainStage ? p.gain : 1.0;
            }
            b0[v] = Vec::Load(lane[0]);
            b1[v] = Vec::Load(lane[1]);
            b2[v] = Vec::Load(lane[2]);
            a1[v] = Vec::Load(lane[3]);
            a2[v] = Vec::Load(lane[4]);
            xs[0][v] = Vec::Load(lane[5]);
            xs[1][v] = Vec::Load(lane[6]);
            ys[0][v] = Vec::Load(lane[7]);
            ys[1][v] = Vec::Load(lane[8]);
            gain[v] = Vec::Load(lane[9]);
        }
        double first[W] = {};
        first[0] = 1.0;
        shaperLane = Vec::Less(Vec::Set1(0.5), Vec::Load(first));
    }

    // The history each section had after its last frame; call after Run.
    void Store(BiquadBank& bank) const
    {
        for (int j = 0; j < S; ++j)
        {
            bank.x1[j] = history[0][j];
            bank.x2[j] = history[1][j];
            bank.y1[j] = history[2][j];
            bank.y2[j] = history[3][j];
        }
    }

    void Run(const double* in0, const double* in1, double* out0, double* out1, int32_t n)
    {
        const Io io{in0, in1, out0, out1, n};
        const int64_t steps = static_cast<int64_t>(n) + kFill;
        const auto order = std::make_index_sequence<V>();
        // The history of each section sits in two slots per kind, whose roles
        // swap every step, so that the previous input and output need not be
        // copied: step t finds x1 and y1 in slot t % 2.
        int64_t t = 0;
        for (; t + 1 < steps; t += 2)
        {
            Step<0>(t, io, order);
            Step<1>(t + 1, io, order);
        }
        if (t < steps)
        {
            Step<0>(t, io, order);
        }
    }

private:
    static_assert(S == 12 || S == 22, "the fuzz chain, alone or with the cabinet");
    static_assert(V >= 3, "the shaper's section sits in lane 0 of vector 2");
    static_assert(W * V - S < V, "no vector without a section");
    static constexpr int kSkew = 2;
    static constexpr int kFill = kSkew * (S - 1);
    static constexpr int kShaperVector = 2;
    static constexpr int kGainStage = S == 22 ? 12 : -1;
    static constexpr int kGainVector = S == 22 ? kGainStage % V : -1;
    static constexpr int kOutVector = (S - 1) % V;
    static constexpr int kOutLane = (S - 1) / V;

    struct Io
    {
        const double* in0;
        const double* in1;
        double* out0;
        double* out1;
        int32_t n;
    };

    static Vec WithLane(Vec a, int l, double x)
    {
        double lanes[W];
        Vec::Store(lanes, a);
        lanes[l] = x;
        return Vec::Load(lanes);
    }

    static double LaneOf(Vec a, int l)
    {
        double lanes[W];
        Vec::Store(lanes, a);
        return lanes[l];
    }

    // The shaper and the dry/shaped blend on s = u1 + offset, lane by lane:
    // FuzzPedal::ShapeSample with each branch as a selection.
    Vec Shaped(Vec s) const
    {
        const Vec zero = Vec::Set1(0.0);
        const Vec a = s * Vec::Set1(params.drive);
        const Vec ceiling = Vec::Set1(kCeiling);
        const Vec ten = Vec::Set1(10.0);
        const Vec d = Vec::Select(Vec::GreaterEqual(a, zero), Vec::Set1(0.1), Vec::Set1(-0.1));
        const Vec magnitude = Vec::Abs(a);
        const Vec soft = (((Vec::Set1(1.0) - magnitude / Vec::Set1(0.4)) * a) * ceiling) * ten;
        const Vec hard = (d * ceiling) * ten;
        const Vec f = Vec::Select(Vec::Less(magnitude, Vec::Set1(0.2)), soft, hard);
        const Vec limited = Vec::Select(Vec::Less(Vec::Set1(0.3), f), Vec::Set1(0.3), f);
        const Vec g = Vec::Select(Vec::Less(f, zero), zero, limited);
        const Vec o =
            Vec::Select(Vec::Greater(a, Vec::Set1(-0.2)), Vec::Set1(-0.2), Vec::Set1(0.02));
        const Vec w = g + o;
        return Vec::Set1(params.dry) * (s * Vec::Set1(2.0)) + Vec::Set1(params.shaped) * w;
    }

    template <int P, size_t... I>
    [[gnu::always_inline]] void Step(int64_t t, const Io& io, std::index_sequence<I...>)
    {
        constexpr int Q = 1 - P;
        if (t % 2 == 0 && t / 2 < S)
        {
            // Section t / 2 takes its first frame now (P is 0 here).
            const int j = static_cast<int>(t / 2);
            const int v = j % V;
            const int l = j / V;
            xs[0][v] = WithLane(xs[0][v], l, history[0][j]);
            xs[1][v] = WithLane(xs[1][v], l, history[1][j]);
            ys[0][v] = WithLane(ys[0][v], l, history[2][j]);
            ys[1][v] = WithLane(ys[1][v], l, history[3][j]);
        }
        const double input = t < io.n ? io.in1[t] + io.in0[t] : 0.0;
        const Vec last = ys[Q][V - 1];
        // Highest vector first: each one reads the hand-over value of the
        // vector below it before that is overwritten.
        (Advance<P, V - 1 - static_cast<int>(I)>(input, last), ...);
        const int64_t done = t - (io.n - 1);
        if (done >= 0 && done % 2 == 0)
        {
            // Section done / 2 has just taken the block's last frame.
            const int j = static_cast<int>(done / 2);
            const int v = j % V;
            const int l = j / V;
            history[0][j] = LaneOf(xs[Q][v], l);
            history[1][j] = LaneOf(xs[P][v], l);
            history[2][j] = LaneOf(ys[Q][v], l);
            history[3][j] = LaneOf(ys[P][v], l);
        }
        if (t >= kFill)
        {
            const double y = Vec::template Lane<kOutLane>(ys[Q][kOutVector]) + kOffset;
            const double out = S == 22 ? y : params.gain * y;
            const int64_t frame = t - kFill;
            io.out1[frame] = out;
            io.out0[frame] = out;
        }
    }

    template <int P, int v> [[gnu::always_inline]] void Advance(double input, Vec last)
    {
        constexpr int Q = 1 - P;
        const Vec offset = Vec::Set1(kOffset);
        Vec x;
        if constexpr (v == 0)
        {
            Vec z = last + offset;
            if constexpr (kGainVector == 0)
            {
                z = z * gain[0];
            }
            x = Vec::ShiftUp(z, input);
        }
        else
        {
            const Vec s = ys[Q][v - 1] + offset;
            x = s;
            if constexpr (v == kGainVector)
            {
                x = s * gain[v];
            }
            if constexpr (v == kShaperVector)
            {
                x = Vec::Select(shaperLane, Shaped(s), x);
            }
        }
        Vec y = xs[P][v] * b1[v];
        y = y + x * b0[v];
        y = y + b2[v] * xs[Q][v];
        y = y - ys[P][v] * a1[v];
        y = y - a2[v] * ys[Q][v];
        xs[Q][v] = x;
        ys[Q][v] = y;
    }

    WaveParams params;
    Vec b0[V], b1[V], b2[V], a1[V], a2[V];
    Vec xs[2][V], ys[2][V];
    Vec gain[V];
    Vec shaperLane;
    // x1, x2, y1, y2 of each section: as the block found them, until the
    // section's last frame, then as it leaves them.
    double history[4][S];
};

// The body of RunWaveSse2 and RunWaveAvx2.
template <class Vec>
void RunWave(BiquadBank& bank, const WaveParams& params, bool cabinet, const double* in0,
             const double* in1, double* out0, double* out1, int32_t nFrames)
{
    if (cabinet)
    {
        WaveKernel<Vec, BiquadBank::kFuzzCount + BiquadBank::kCabinetCount> wave(bank, params);
        wave.Run(in0, in1, out0, out1, nFrames);
        wave.Store(bank);
    }
    else
    {
        WaveKernel<Vec, BiquadBank::kFuzzCount> wave(bank, params);
        wave.Run(in0, in1, out0, out1, nFrames);
        wave.Store(bank);
    }
}
