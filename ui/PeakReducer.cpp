#include "ui/PeakReducer.h"

PeakReducer::PeakReducer (const juce::AudioThumbnailBase& t) : thumbnail (t)
{
}

PeakReducer::~PeakReducer()
{
    stopTimer();
}

void PeakReducer::start (double spanSeconds)
{
    prepare (spanSeconds);
    // A timer rather than a posted message: posted messages are drained in one go, and the
    // gap before the next tick lets the loop serve input and painting.
    if (! runSlice())
        startTimer (1);
}

void PeakReducer::cancel()
{
    stopTimer();
    running = false;
    peaks.clear();
}

void PeakReducer::prepare (double spanSeconds)
{
    cancel();
    seconds = spanSeconds;
    numPairs = juce::jmax (0, static_cast<int> (spanSeconds * pairsPerSecond));
    step = numPairs > 0 ? spanSeconds / numPairs : 0.0;
    nextPair = 0;
    peaks.ensureStorageAllocated (2 * numPairs);
    running = true;
}

bool PeakReducer::runSlice()
{
    if (! running)
        return true;

    // The clock is read every few dozen pairs: a pair costs well under a microsecond.
    constexpr int pairsBetweenChecks = 64;
    const auto sliceStart = juce::Time::getMillisecondCounterHiRes();
    while (nextPair < numPairs)
    {
        const auto end = juce::jmin (numPairs, nextPair + pairsBetweenChecks);
        for (; nextPair < end; ++nextPair)
        {
            float minimum = 0.0f, maximum = 0.0f;
            thumbnail.getApproximateMinMax (nextPair * step, (nextPair + 1) * step, 0, minimum, maximum);
            peaks.add (toPeak (minimum));
            peaks.add (toPeak (maximum));
        }
        if (nextPair < numPairs && juce::Time::getMillisecondCounterHiRes() - sliceStart >= sliceBudgetMs)
            return false;
    }

    running = false;
    stopTimer();
    auto result = std::move (peaks);
    peaks = {};
    if (onFinished)
        onFinished (std::move (result), seconds * 1000.0);
    return true;
}

void PeakReducer::timerCallback()
{
    runSlice();
}
