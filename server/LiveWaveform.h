#pragma once

#include <juce_core/juce_core.h>

/** The live cue list's waveform as the main view last handed it over: peaks, minimum and
    maximum alternating, and the span they cover in milliseconds. The server manager stores
    it; every web-client server reads it for its messages. Message thread only. */
class LiveWaveform
{
public:
    LiveWaveform() = default;

    /** Keeps a copy of the peaks (none is made when they are this holder's own). */
    void set (const juce::Array<int>& newPeaks, float newLengthMs);

    const juce::Array<int>& getPeaks() const { return peaks; }
    float getLength() const { return lengthMs; }

private:
    juce::Array<int> peaks;
    float lengthMs = 0.0f;

    JUCE_DECLARE_NON_COPYABLE (LiveWaveform)
};
