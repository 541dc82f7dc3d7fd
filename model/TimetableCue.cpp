#include "model/TimetableCue.h"

#include "time/WholeMillis.h"
#include <cmath>

namespace
{
// A time before the span counts as the next day.
double timeInSpan (int time, juce::Range<int> span)
{
    return (time < span.getStart() && time < span.getEnd()) ? (double) time + Cue::dayMs : (double) time;
}
}

float TimetableCue::getProgress (int time, juce::Range<int> span) const
{
    const auto range = getRange();
    auto s = range.getStart();
    auto e = range.getEnd();
    if (s < span.getStart())
        s += dayMs;
    if (e < span.getStart())
        e += dayMs;

    const auto t = timeInSpan (time, span);
    if (s > t)
        return 0.0f;
    // A zero-length cue is done once its time has come: never 0 / 0.
    if (t > e || e <= s)
        return 1.0f;
    const auto progress = (t - s) / (e - s);
    // Times that are not numbers never fill the bar (and must not spread into drawing).
    return std::isnan (progress) ? 0.0f : (float) progress;
}

bool TimetableCue::isAfter (int time, juce::Range<int> span) const
{
    const auto t = timeInSpan (time, span);
    double e = toWholeMillis (getRange().getEnd());
    if (e < span.getStart())
        e += dayMs;
    return t < e;
}
