#pragma once

#include "BiquadBank.h"
#include "FuzzPedal.h"
#include "WavePaths.h"

#include <cstdint>
#include <utility>

// The chain of S sections (12: fuzz; 22: fuzz then cabinet) as a wavefront
// across the lanes of Vec. Each lane does, for its section, exactly what
// SectionState::Run does in the per-section loop, in the same order; the
// hand-over between sections (the denormal offset, the shaper and blend before
// section 2, the level before section 12) is per-lane work on the value passed
// on.
//
// Section j lives in lane j / V of vector j % V: vector v takes its input from
// the same lanes of vector v - 1, and only vector 0 shifts lanes, taking lane
// l - 1 of the last vector, with the new frame entering lane 0.
//
// Why the lanes are skewed: a frame must leave section j before it can enter
// section j + 1, and each section's recursion waits on its own last output,
// so frame by frame the chain is one long dependency. In a wavefront, step t
// advances section j on frame t - kSkew j: every section of a step reads only
// what earlier steps produced, so all lanes run side by side. The skew is at
// least two steps per section, not one, because a frame needs about as long
// to cross a section (the offset, the shaper with its division, the section's
// own sum) as a section needs for its recursion: with two steps or more to
// arrive, the hand-over is off the critical path. Section j's input at step t
// is thus the previous section's output of step t - kSkew.
//
// The steps go in groups of kSkew, and a group runs one vector through all
// its steps before the next vector: every step of a group takes only outputs
// the previous group left. So a vector's coefficients and history are fetched
// once per group, not once per step. With more values than registers, memory
// traffic, not arithmetic, bounds a step, and this divides it. A group runs
// the vectors from the last to the first: each then reads the outputs of the
// vector before it while they are still that vector's history, and only the
// last vector's, which vector 0 shifts, must be kept aside (measured: 3%).
//
// With kPairGroups, the steps between fill and drain go in groups of two
// skews, 2 kSkew steps: every vector but the first then takes the second
// half of its inputs from what the vector before it has just produced in the
// same group, and the first vector runs its two halves apart, before and
// after the others. The dependencies stay those of the skew; only the order
// of the work changes, and history and coefficients are fetched once for
// twice the steps.
//
// With kShaperDelay, section 2 takes at step t the shaper's value of what
// section 1 handed over at step t - kSkew - kShaperDelay: the shaper's inputs
// wait kShaperDelay steps, and the steps between fill and drain go in pairs
// of groups whose first shapes the inputs of both at once. With four lanes,
// the shaper's arithmetic then runs once per four steps, not once per two;
// its division and its dozen other operations are the costliest hand-over of
// the chain. Every section from section 2 on then works on its frame
// kShaperDelay steps later than the skew alone would say.
//
// The coefficients are read from memory at each use, not held in registers
// for a group: the registers are worth more for the history (measured).
//
// Fill and drain: every lane runs at every step, also before its section's
// first frame and after its last one, on values that lead nowhere. So a
// section's history is put back from the bank at the step of its first frame,
// FirstStep(j), and taken for the bank at the step of its last, n - 1 +
// FirstStep(j). Only the steps up to kFill = FirstStep(S - 1) and from n - 1
// on can do either; the steps in between do nothing but the arithmetic. A
// vector none of whose sections has work in a group of these steps is left
// out of it.
template <class Vec, int S, int kSkew, bool kPairGroups, int kShaperDelay> class WaveKernel
{
public:
    static constexpr int W = Vec::kLanes;
    static constexpr int V = (S + W - 1) / W;

    WaveKernel(const BiquadBank& bank, const WaveParams& p)
    {
        // The coefficients and history of section j in lane j / V of row
        // j % V; lanes without a section hold zeros.
        const double* const from[9] = {bank.b0, bank.b1, bank.b2, bank.a1, bank.a2,
                                       bank.x1, bank.x2, bank.y1, bank.y2};
        double lanes[9][V][W] = {};
        for (int k = 0; k < 9; ++k)
        {
            // Unrolled, so that every index is a constant.
#pragma GCC unroll 32
            for (int j = 0; j < S; ++j)
            {
                lanes[k][j % V][j / V] = from[k][j];
            }
        }
        for (int v = 0; v < V; ++v)
        {
            state.k[v] = {Vec::Load(lanes[0][v]), Vec::Load(lanes[1][v]), Vec::Load(lanes[2][v]),
                          Vec::Load(lanes[3][v]), Vec::Load(lanes[4][v])};
            edges.kept[v] = {Vec::Load(lanes[5][v]), Vec::Load(lanes[6][v]), Vec::Load(lanes[7][v]),
                             Vec::Load(lanes[8][v])};
            state.h[v].x1 = edges.kept[v].x1;
            state.h[v].x2 = edges.kept[v].x2;
            for (Vec& y : state.h[v].y)
            {
                y = edges.kept[v].y2;
            }
            state.h[v].y[kSkew - 1] = edges.kept[v].y1;
        }
        // The level multiplies the input of the cabinet's first section;
        // vector 0 applies it before its lane shift, so there it sits one
        // lane lower.
        double gains[W];
        for (int l = 0; l < W; ++l)
        {
            const bool stage = kGainStage >= 0 && l == kGainStage / V - (kGainVector == 0 ? 1 : 0);
            gains[l] = stage ? p.gain : 1.0;
        }
        state.gain = Vec::Load(gains);
        double index[W];
        for (int l = 0; l < W; ++l)
        {
            index[l] = l;
        }
        for (int l = 0; l < W; ++l)
        {
            edges.lane[l] = Vec::Equal(Vec::Load(index), Vec::Set1(l));
        }
        for (Vec& u : state.pending)
        {
            u = Vec::Set1(0.0);
        }
        state.ahead = Vec::Set1(0.0);
        state.drive = Vec::Set1(p.drive);
        state.dry = Vec::Set1(p.dry);
        state.shaped = Vec::Set1(p.shaped);
        level = p.gain;
    }

    // The history each section had after its last frame; call after Run.
    void Store(BiquadBank& bank) const
    {
        double lanes[4][V][W];
        for (int v = 0; v < V; ++v)
        {
            Vec::Store(lanes[0][v], edges.kept[v].x1);
            Vec::Store(lanes[1][v], edges.kept[v].x2);
            Vec::Store(lanes[2][v], edges.kept[v].y1);
            Vec::Store(lanes[3][v], edges.kept[v].y2);
        }
        double* const to[4] = {bank.x1, bank.x2, bank.y1, bank.y2};
        for (int k = 0; k < 4; ++k)
        {
#pragma GCC unroll 32
            for (int j = 0; j < S; ++j)
            {
                to[k][j] = lanes[k][j % V][j / V];
            }
        }
    }

    void Run(const double* in0, const double* in1, double* out0, double* out1, int32_t n)
    {
        const Io io{in0, in1, out0, out1, n};
        const int64_t steps = static_cast<int64_t>(n) + kFill;
        // A copy of the state: locals that nothing else can reach stay in
        // registers, where the output stores, which may alias anything the
        // kernel keeps in memory, would force them back to memory at every
        // step.
        State c = state;
        if (n - 1 <= kFill)
        {
            RunSteps<kStart | kKeep>(c, io, 0, steps);
            return;
        }
        RunSteps<kStart>(c, io, 0, kFill + 1);
        RunSteps<0>(c, io, kFill + 1, n - 1);
        RunSteps<kKeep>(c, io, n - 1, steps);
    }

private:
    static_assert(S == 12 || S == 22, "the fuzz chain, alone or with the cabinet");
    static_assert(V >= 3, "the shaper's section sits in lane 0 of vector 2");
    static_assert(W * V - S < V, "no vector without a section");
    static_assert(kSkew >= 2, "the hand-over off the critical path");
    static constexpr double kOffset = FuzzPedal::kDenormalOffset;
    static constexpr double kCeiling = FuzzPedal::kShaperCeiling;
    static_assert(kShaperDelay % kSkew == 0, "the delay keeps groups aligned");
    static_assert(kShaperDelay == 0 || 2 * kSkew == W, "a batch of the shaper fills a vector");
    static_assert(kShaperDelay == 0 || !kPairGroups, "one order of the steps at a time");
    static constexpr int kShaperSection = 2;
    static constexpr int kShaperVector = kShaperSection % V;
    // How a group treats the shaper (see ShapeDelayed).
    static constexpr int kNoBatch = 0;
    static constexpr int kBatchFirst = 1;
    static constexpr int kBatchSecond = 2;

    // The step at which section j takes the block's first frame.
    static constexpr int FirstStep(int j)
    {
        return kSkew * j + (j >= kShaperSection ? kShaperDelay : 0);
    }

    static constexpr int kFill = FirstStep(S - 1);
    static constexpr int kGainStage = S == 22 ? 12 : -1;
    static constexpr int kGainVector = S == 22 ? kGainStage % V : -1;
    static constexpr int kOutVector = (S - 1) % V;
    static constexpr int kOutLane = (S - 1) / V;

    // What a range of steps must do besides the arithmetic: put back the
    // history of sections that start in it, keep that of sections that end.
    static constexpr int kStart = 1;
    static constexpr int kKeep = 2;

    struct Io
    {
        const double* in0;
        const double* in1;
        double* out0;
        double* out1;
        int32_t n;
    };

    struct Coefficients
    {
        Vec b0, b1, b2, a1, a2;
    };

    struct History
    {
        Vec x1, x2, y1, y2;
    };

    // x1 and x2, and the outputs of the kSkew steps before (y2 and y1 the
    // last two).
    struct Running
    {
        Vec x1, x2;
        Vec y[kSkew];
    };

    struct State
    {
        Coefficients k[V];
        Running h[V];
        Vec gain;
        Vec drive, dry, shaped;
        // The shaper's inputs of the last kShaperDelay steps (lane 0), and
        // the shaped values a batch made for the next group.
        Vec pending[kShaperDelay > 0 ? kShaperDelay : 1];
        Vec ahead;
    };

    // What only the fill and drain need: x1, x2, y1, y2 of each section as
    // the block found them until the section's first frame, then as its last
    // frame leaves them.
    struct Edges
    {
        History kept[V];
        // Lane l of lane[l] all ones, the others zero.
        Vec lane[W];
    };

    // Steps from .. to - 1.
    template <int kEdges>
    [[gnu::always_inline]] inline void RunSteps(State& c, const Io& io, int64_t from, int64_t to)
    {
        const double gain = level;
        int64_t t = from;
        if constexpr (kEdges == 0 && kShaperDelay > 0)
        {
            for (; t + 2 * kSkew <= to; t += 2 * kSkew)
            {
                Steps<kSkew, kEdges, kBatchFirst>(c, edges, gain, io, t,
                                                  std::make_index_sequence<V>());
                Steps<kSkew, kEdges, kBatchSecond>(c, edges, gain, io, t + kSkew,
                                                   std::make_index_sequence<V>());
            }
        }
        if constexpr (kEdges == 0 && kPairGroups)
        {
            for (; t + 2 * kSkew <= to; t += 2 * kSkew)
            {
                PairedSteps(c, edges, gain, io, t, std::make_index_sequence<V - 1>());
            }
        }
        for (; t + kSkew <= to; t += kSkew)
        {
            Steps<kSkew, kEdges>(c, edges, gain, io, t, std::make_index_sequence<V>());
        }
        for (; t < to; ++t)
        {
            Steps<1, kEdges>(c, edges, gain, io, t, std::make_index_sequence<V>());
        }
    }

    // N (at most kSkew) steps from t, vector by vector. Vector v's input at
    // step t + s is vector v - 1's output of step t + s - kSkew, from before
    // these steps.
    template <int N, int kEdges, int kBatch = kNoBatch, size_t... I>
    [[gnu::always_inline]] static void Steps(State& c, Edges& e, double gain, const Io& io,
                                             int64_t t, std::index_sequence<I...>)
    {
        static_assert(N >= 1 && N <= kSkew, "every input from before the steps");
        const Running before[V] = {c.h[I]...};
        (VectorStepsIfBusy<N, kEdges, static_cast<int>(V - 1 - I), kBatch>(
             c, e, gain, io, t, before[(2 * V - 2 - I) % V].y),
         ...);
    }

    // In the fill and drain, a vector none of whose sections has work in
    // these steps is left out: its values lead nowhere.
    template <int N, int kEdges, int v, int kBatch>
    [[gnu::always_inline]] static void
    VectorStepsIfBusy(State& c, Edges& e, double gain, const Io& io, int64_t t, const Vec* previous)
    {
        if (kEdges == 0 || !Idle(v, t, N, io.n))
        {
            VectorSteps<N, kEdges, v, kBatch>(c, e, gain, io, t, previous);
        }
    }

    // 2 kSkew steps from t, neither in the fill nor in the drain.
    template <size_t... I>
    [[gnu::always_inline]] static void PairedSteps(State& c, Edges& e, double gain, const Io& io,
                                                   int64_t t, std::index_sequence<I...>)
    {
        Vec before[V][kSkew];
#pragma GCC unroll 16
        for (int v = 0; v < V; ++v)
        {
#pragma GCC unroll 16
            for (int i = 0; i < kSkew; ++i)
            {
                before[v][i] = c.h[v].y[i];
            }
        }
        Vec out[V][2 * kSkew];
        VectorSteps<kSkew, 0, 0>(c, e, gain, io, t, before[V - 1], out[0]);
        (PairedVector<static_cast<int>(I) + 1>(c, e, gain, io, t, before, out), ...);
        VectorSteps<kSkew, 0, 0>(c, e, gain, io, t + kSkew, out[V - 1], out[0] + kSkew);
    }

    // Vector v (not 0) through the 2 kSkew steps of PairedSteps: the first
    // kSkew inputs from before them, the others from out[v - 1].
    template <int v>
    [[gnu::always_inline]] static void PairedVector(State& c, Edges& e, double gain, const Io& io,
                                                    int64_t t, const Vec (*before)[kSkew],
                                                    Vec (*out)[2 * kSkew])
    {
        Vec in[2 * kSkew];
#pragma GCC unroll 16
        for (int s = 0; s < kSkew; ++s)
        {
            in[s] = before[v - 1][s];
            in[s + kSkew] = out[v - 1][s];
        }
        VectorSteps<2 * kSkew, 0, v>(c, e, gain, io, t, in, out[v]);
    }

    // N steps of vector v from t: previous[s] is vector v - 1's output of
    // step t + s - kSkew; the outputs go to produced, when given.
    template <int N, int kEdges, int v, int kBatch = kNoBatch>
    [[gnu::always_inline]] static void VectorSteps(State& c, Edges& e, double gain, const Io& io,
                                                   int64_t t, const Vec* previous,
                                                   Vec* produced = nullptr)
    {
        // The loops over the steps are unrolled, so that x, y and the
        // history stay values in registers, not arrays in memory.
        const Vec offset = Vec::Set1(kOffset);
        Vec x[N];
#pragma GCC unroll 16
        for (int s = 0; s < N; ++s)
        {
            x[s] = previous[s] + offset;
        }
        if constexpr (v == 0)
        {
            if constexpr (kGainVector == 0)
            {
#pragma GCC unroll 16
                for (int s = 0; s < N; ++s)
                {
                    x[s] = x[s] * c.gain;
                }
            }
            if constexpr ((kEdges & kKeep) == 0)
            {
                // Every step here has its frame: the inputs are summed a
                // vector at a time.
                TakeInputs<0, N>(x, io, t);
            }
            else
            {
#pragma GCC unroll 16
                for (int s = 0; s < N; ++s)
                {
                    const double input = t + s < io.n ? io.in1[t + s] + io.in0[t + s] : 0.0;
                    x[s] = Vec::ShiftUp(x[s], Vec::Set1(input));
                }
            }
        }
        else if constexpr (v == kGainVector)
        {
#pragma GCC unroll 16
            for (int s = 0; s < N; ++s)
            {
                x[s] = x[s] * c.gain;
            }
        }
        else if constexpr (v == kShaperVector && kShaperDelay > 0)
        {
            ShapeDelayed<N, kBatch>(c, x);
        }
        else if constexpr (v == kShaperVector)
        {
            // Only lane 0 needs the shaper: the lane 0 values of W steps go
            // through it together.
#pragma GCC unroll 16
            for (int g = 0; g < N; g += W)
            {
                Vec low[W];
#pragma GCC unroll 16
                for (int l = 0; l < W; ++l)
                {
                    // No std::min: a copy of it compiled here for AVX2 could
                    // be the one the linker keeps for every file.
                    low[l] = x[g + l < N ? g + l : N - 1];
                }
                const Vec w = Shaped(c, Vec::Lows(low));
#pragma GCC unroll 16
                for (int l = 0; l < W; ++l)
                {
                    if (g + l < N)
                    {
                        x[g + l] = Vec::WithLane0(x[g + l], LaneToLow(w, l));
                    }
                }
            }
        }

        const Coefficients& k = c.k[v];
        Running& r = c.h[v];
        History h{r.x1, r.x2, r.y[kSkew - 1], r.y[kSkew - 2]};
        Vec y[N];
#pragma GCC unroll 16
        for (int s = 0; s < N; ++s)
        {
            if constexpr ((kEdges & kStart) != 0)
            {
                // The steps up to the last first frame start at step 0.
                const int l = StartingLane<kEdges == kStart>(v, t, s);
                if (l >= 0)
                {
                    h = Select(e.lane[l], e.kept[v], h);
                }
            }
            y[s] = h.x1 * k.b1;
            y[s] = y[s] + x[s] * k.b0;
            y[s] = y[s] + k.b2 * h.x2;
            y[s] = y[s] - h.y1 * k.a1;
            y[s] = y[s] - k.a2 * h.y2;
            h = {x[s], h.x1, y[s], h.y1};
            if constexpr ((kEdges & kKeep) != 0)
            {
                // The steps from the first last frame start at step n - 1.
                const int l = StartingLane<kEdges == kKeep>(v, t - (io.n - 1), s);
                if (l >= 0)
                {
                    e.kept[v] = Select(e.lane[l], h, e.kept[v]);
                }
            }
            if constexpr (v == kOutVector && (kEdges & kStart) != 0)
            {
                if (t + s >= kFill)
                {
                    PutFrame(io, gain, t + s - kFill, y[s]);
                }
            }
        }
        if constexpr (v == kOutVector && (kEdges & kStart) == 0)
        {
            // Every step here has its frame: two of them go out at a time.
#pragma GCC unroll 16
            for (int s = 0; s + 1 < N; s += 2)
            {
                Vec out = Vec::template LanePair<kOutLane>(y[s], y[s + 1]) + Vec::Set1(kOffset);
                if constexpr (S != 22)
                {
                    out = Vec::Set1(gain) * out;
                }
                Vec::StorePair(io.out1 + t + s - kFill, out);
                Vec::StorePair(io.out0 + t + s - kFill, out);
            }
            if constexpr (N % 2 != 0)
            {
                PutFrame(io, gain, t + N - 1 - kFill, y[N - 1]);
            }
        }
        if (produced != nullptr)
        {
#pragma GCC unroll 16
            for (int s = 0; s < N; ++s)
            {
                produced[s] = y[s];
            }
        }
        r.x1 = h.x1;
        r.x2 = h.x2;
#pragma GCC unroll 16
        for (int i = 0; i < kSkew; ++i)
        {
            r.y[i] = i + N < kSkew ? r.y[i + N] : y[i + N - kSkew];
        }
        // A section that starts in these steps has its history put back
        // above; its y1 and y2 are those of h.
        r.y[kSkew - 1] = h.y1;
        r.y[kSkew - 2] = h.y2;
    }

    // The chain's output y (its last section's lane) as frame `frame`.
    [[gnu::always_inline]] static void PutFrame(const Io& io, double gain, int64_t frame, Vec y)
    {
        const double out = Vec::template Lane<kOutLane>(y) + kOffset;
        io.out1[frame] = S == 22 ? out : gain * out;
        io.out0[frame] = S == 22 ? out : gain * out;
    }

    // Section 2's inputs of N steps from the shaper, on the values handed
    // over kShaperDelay steps earlier: x holds those of these steps (lane 0),
    // which wait in pending. kBatchFirst shapes the inputs of this group and
    // the next together, kBatchSecond uses what it left in ahead.
    template <int N, int kBatch> [[gnu::always_inline]] static void ShapeDelayed(State& c, Vec* x)
    {
        static_assert(N <= kShaperDelay, "every input from before the steps");
        Vec raw[N];
#pragma GCC unroll 16
        for (int s = 0; s < N; ++s)
        {
            raw[s] = x[s];
        }
        if constexpr (kBatch == kBatchSecond)
        {
#pragma GCC unroll 16
            for (int s = 0; s < N; ++s)
            {
                x[s] = Vec::WithLane0(x[s], LaneToLow(c.ahead, N + s));
            }
        }
        else
        {
            constexpr int kCount = kBatch == kBatchFirst ? 2 * N : N;
            Vec low[W];
#pragma GCC unroll 16
            for (int l = 0; l < W; ++l)
            {
                const int i = l < kCount ? l : kCount - 1;
                low[l] = i < kShaperDelay ? c.pending[i] : raw[i - kShaperDelay];
            }
            const Vec w = Shaped(c, Vec::Lows(low));
#pragma GCC unroll 16
            for (int s = 0; s < N; ++s)
            {
                x[s] = Vec::WithLane0(x[s], LaneToLow(w, s));
            }
            if constexpr (kBatch == kBatchFirst)
            {
                c.ahead = w;
            }
        }
#pragma GCC unroll 16
        for (int i = 0; i < kShaperDelay; ++i)
        {
            c.pending[i] = i + N < kShaperDelay ? c.pending[i + N] : raw[i + N - kShaperDelay];
        }
    }

    // The frames of steps t + G .. t + N - 1 into lane 0 of x[G] .. x[N - 1],
    // in1 + in0 of up to a vector of them at a time.
    template <int G, int N>
    [[gnu::always_inline]] static void TakeInputs(Vec* x, const Io& io, int64_t t)
    {
        if constexpr (G + W <= N)
        {
            const Vec sums = Vec::Load(io.in1 + t + G) + Vec::Load(io.in0 + t + G);
#pragma GCC unroll 16
            for (int l = 0; l < W; ++l)
            {
                x[G + l] = Vec::ShiftUp(x[G + l], LaneToLow(sums, l));
            }
            TakeInputs<G + W, N>(x, io, t);
        }
        else
        {
#pragma GCC unroll 16
            for (int s = G; s < N; ++s)
            {
                x[s] = Vec::ShiftUp(x[s], Vec::Set1(io.in1[t + s] + io.in0[t + s]));
            }
        }
    }

    // Lane l of w in lane 0.
    template <int L = 0> [[gnu::always_inline]] static Vec LaneToLow(Vec w, int l)
    {
        if constexpr (L + 1 < W)
        {
            if (l != L)
            {
                return LaneToLow<L + 1>(w, l);
            }
        }
        return Vec::template LaneToLow<L>(w);
    }

    // Whether no section of vector v has work in steps t .. t + N - 1: none
    // has before its first frame or after its last. The shaper's vector
    // starts kShaperDelay steps early, to gather the inputs it delays.
    static bool Idle(int v, int64_t t, int N, int32_t n)
    {
        const int64_t first = FirstStep(v) - (v == kShaperVector ? kShaperDelay : 0);
        const int64_t last = n - 1 + FirstStep(v + V * ((S - 1 - v) / V));
        return t + N - 1 < first || t > last;
    }

    // The lane of vector v whose section takes its first frame at step
    // start + s of the block (section j's is FirstStep(j)), or -1. With
    // kAligned, start is a multiple of kSkew.
    template <bool kAligned> static int StartingLane(int v, int64_t start, int s)
    {
        if (kAligned && s != 0)
        {
            return -1;
        }
        for (int l = 0; l < W; ++l)
        {
            const int j = v + V * l;
            if (j < S && FirstStep(j) == start + s)
            {
                return l;
            }
        }
        return -1;
    }

    [[gnu::always_inline]] static History Select(Vec mask, const History& a, const History& b)
    {
        return {Vec::Select(mask, a.x1, b.x1), Vec::Select(mask, a.x2, b.x2),
                Vec::Select(mask, a.y1, b.y1), Vec::Select(mask, a.y2, b.y2)};
    }

    // The shaper and the dry/shaped blend on s = u1 + offset, lane by lane:
    // FuzzPedal::ShapeSample with each branch as a selection. The hard clip's
    // two values are constants; min(0.3, f) and max(0, .) in this operand
    // order give std::min's result and the f < 0 test's zero exactly, for a
    // NaN or a -0 as well.
    [[gnu::always_inline]] static Vec Shaped(const State& c, Vec s)
    {
        constexpr double kHardUp = (0.1 * kCeiling) * 10.0;
        constexpr double kHardDown = (-0.1 * kCeiling) * 10.0;
        const Vec a = s * c.drive;
        const Vec magnitude = Vec::Abs(a);
        const Vec soft =
            (((Vec::Set1(1.0) - magnitude / Vec::Set1(0.4)) * a) * Vec::Set1(kCeiling)) *
            Vec::Set1(10.0);
        const Vec hard = Vec::Select(Vec::GreaterEqual(a, Vec::Set1(0.0)), Vec::Set1(kHardUp),
                                     Vec::Set1(kHardDown));
        const Vec f = Vec::Select(Vec::Less(magnitude, Vec::Set1(0.2)), soft, hard);
        const Vec g = Vec::Max(Vec::Set1(0.0), Vec::Min(Vec::Set1(0.3), f));
        const Vec o =
            Vec::Select(Vec::Greater(a, Vec::Set1(-0.2)), Vec::Set1(-0.2), Vec::Set1(0.02));
        return c.dry * (s * Vec::Set1(2.0)) + c.shaped * (g + o);
    }

    State state;
    Edges edges;
    // The level, applied to the output when the fuzz chain ends the block.
    double level;
};

// Fuzz-only blocks from this length on take the longer skew where it helps
// (measured: from between 320 and 384 frames on).
constexpr int32_t kLongFuzzBlock = 384;

template <class Vec, int S, int kSkew, bool kPairGroups, int kShaperDelay>
void RunKernel(BiquadBank& bank, const WaveParams& params, const double* in0, const double* in1,
               double* out0, double* out1, int32_t nFrames)
{
    WaveKernel<Vec, S, kSkew, kPairGroups, kShaperDelay> wave(bank, params);
    wave.Run(in0, in1, out0, out1, nFrames);
    wave.Store(bank);
}

// The body of RunWaveSse2 and RunWaveAvx2.
template <class Vec>
void RunWave(BiquadBank& bank, const WaveParams& params, bool cabinet, const double* in0,
             const double* in1, double* out0, double* out1, int32_t nFrames)
{
    constexpr int kFuzz = BiquadBank::kFuzzCount;
    constexpr int kChain = kFuzz + BiquadBank::kCabinetCount;
    // Every V steps of skew, a frame's lane moves round all vectors once, and
    // each hand-over on the way (about twenty cycles, the shaper's with its
    // division three times that) must be done by then: two steps per vector
    // are enough for six vectors or more. With fewer, long blocks take
    // kLongSkew steps per vector in paired groups; short ones could not make
    // up for the longer fill.
    constexpr int kLongSkew = 6;
    // With two lanes a group's shaper inputs fill a vector already; with
    // four, the skew-2 kernels delay them a group to shape two groups' at
    // once. With two lanes the cabinet chain's eleven vectors go in paired
    // groups: measured 2% faster where only eight registers hold vectors, as
    // in the 32-bit build, and 1% slower where sixteen do; one order for both
    // keeps the path the 32-bit build ships under the native tests.
    constexpr int kShaperDelay = Vec::kLanes == 4 ? 2 : 0;
    constexpr bool kPairCabinet = Vec::kLanes == 2;
    constexpr bool kFewVectors = WaveKernel<Vec, kFuzz, 2, false, 0>::V < 6;
    if (cabinet)
    {
        RunKernel<Vec, kChain, 2, kPairCabinet, kShaperDelay>(bank, params, in0, in1, out0, out1,
                                                              nFrames);
    }
    else if (kFewVectors && nFrames >= kLongFuzzBlock)
    {
        RunKernel<Vec, kFuzz, kLongSkew, true, 0>(bank, params, in0, in1, out0, out1, nFrames);
    }
    else
    {
        RunKernel<Vec, kFuzz, 2, false, kShaperDelay>(bank, params, in0, in1, out0, out1, nFrames);
    }
}
