#pragma once

#include <juce_audio_utils/juce_audio_utils.h>
#include <functional>

/** Reduces a fully loaded thumbnail to minimum/maximum pairs, 40 per second of a span, as
    integers (the thumbnail's value × 255, truncated). The work stays on the message thread
    but is cut into slices of a few milliseconds, continued by a timer, so a long file never
    stalls the show: between slices the message loop gets back to input and painting. */
class PeakReducer : private juce::Timer
{
public:
    explicit PeakReducer (const juce::AudioThumbnailBase& thumbnail);
    ~PeakReducer() override;

    /** Called with the peaks and the span length in ms once the last slice is done. */
    std::function<void (juce::Array<int>&& peaks, double spanMs)> onFinished;

    /** Starts over for a span of the given length (a running reduction is dropped); the
        first slice runs at once. */
    void start (double spanSeconds);
    void cancel();
    bool isRunning() const { return running; }

    /** The parts of start, for measuring: prepare, then one slice per call; a slice returns
        true when the reduction is finished (and onFinished has run). */
    void prepare (double spanSeconds);
    bool runSlice();

    static constexpr int pairsPerSecond = 40;
    static constexpr double sliceBudgetMs = 4.0;

    /** What the thumbnail's approximate level becomes in the peak list. */
    static int toPeak (float level) { return static_cast<int> (level * 255.0f); }

private:
    const juce::AudioThumbnailBase& thumbnail;
    juce::Array<int> peaks;
    double seconds = 0.0, step = 0.0;
    int numPairs = 0, nextPair = 0;
    bool running = false;

    void timerCallback() override;

    JUCE_DECLARE_NON_COPYABLE (PeakReducer)
};
