#include "server/LiveWaveform.h"

void LiveWaveform::set (const juce::Array<int>& newPeaks, float newLengthMs)
{
    if (&newPeaks != &peaks)
        peaks = newPeaks;
    lengthMs = newLengthMs;
}
