#include "Transport.h"

#include <cmath>
#include <cstring>

void Transport::Start()
{
    samplePos = 0;
    playing = true;
    changed = true;
}

void Transport::Stop()
{
    playing = false;
    changed = true;
}

void Transport::Advance(int32_t frames)
{
    if (frames > 0)
    {
        samplePos += frames;
    }
    // Only the first block after a start or stop reports the change.
    changed = false;
}

void Transport::Fill(VstTimeInfo& info, int32_t requestMask) const
{
    std::memset(&info, 0, sizeof(info));
    info.samplePos = static_cast<double>(samplePos);
    info.sampleRate = sampleRate;
    int32_t flags = 0;
    if (playing)
    {
        flags |= kVstTransportPlaying;
    }
    if (changed)
    {
        flags |= kVstTransportChanged;
    }

    const double seconds = sampleRate > 0.0 ? info.samplePos / sampleRate : 0.0;
    const double ppq = seconds * tempo / 60.0;
    if (requestMask & kVstNanosValid)
    {
        // Derived from the render position, so a render is reproducible.
        info.nanoSeconds = seconds * 1e9;
        flags |= kVstNanosValid;
    }
    if (requestMask & kVstPpqPosValid)
    {
        info.ppqPos = ppq;
        flags |= kVstPpqPosValid;
    }
    if (requestMask & kVstTempoValid)
    {
        info.tempo = tempo;
        flags |= kVstTempoValid;
    }
    if (requestMask & kVstBarsValid)
    {
        info.barStartPos = std::floor(ppq / 4.0) * 4.0;
        flags |= kVstBarsValid;
    }
    if (requestMask & kVstTimeSigValid)
    {
        info.timeSigNumerator = 4;
        info.timeSigDenominator = 4;
        flags |= kVstTimeSigValid;
    }
    if ((requestMask & kVstClockValid) && sampleRate > 0.0)
    {
        // MIDI clock runs at 24 ticks per quarter note.
        const double samplesPerClock = sampleRate * 60.0 / tempo / 24.0;
        const double clocks = ppq * 24.0;
        const double next = std::ceil(clocks);
        info.samplesToNextClock =
            static_cast<int32_t>(std::lround((next - clocks) * samplesPerClock));
        flags |= kVstClockValid;
    }
    info.flags = flags;
}
