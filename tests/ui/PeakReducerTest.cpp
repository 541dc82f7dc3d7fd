#include "support/MessageLoop.h"
#include "ui/PeakReducer.h"

#include <gtest/gtest.h>

namespace
{
/** A thumbnail filled straight from memory: one second at 51,200 Hz (100 thumbnail points of
    512 samples), each quarter second holding one level pattern. */
struct FilledThumbnail
{
    juce::AudioFormatManager formats;
    juce::AudioThumbnailCache cache { 1 };
    juce::AudioThumbnail thumbnail { 512, formats, cache };

    explicit FilledThumbnail (const std::function<float (int)>& sample)
    {
        constexpr int rate = 51200;
        juce::AudioBuffer<float> buffer (1, rate);
        for (int i = 0; i < rate; ++i)
            buffer.setSample (0, i, sample (i));
        thumbnail.reset (1, rate, rate);
        thumbnail.addBlock (0, buffer, 0, rate);
    }
};
}

TEST (PeakReducer, IntegersFollowWhatTheThumbnailReturns)
{
    // Quarters: full-scale square, silence, ±0.5 square, a constant 0.25.
    FilledThumbnail filled ([] (int i) {
        const auto quarter = i / 12800;
        const float sign = i % 2 == 0 ? 1.0f : -1.0f;
        return quarter == 0 ? sign : quarter == 1 ? 0.0f : quarter == 2 ? 0.5f * sign : 0.25f;
    });
    ASSERT_TRUE (filled.thumbnail.isFullyLoaded());

    PeakReducer reducer (filled.thumbnail);
    juce::Array<int> peaks;
    double spanMs = -1.0;
    reducer.onFinished = [&] (juce::Array<int>&& p, double ms) { peaks = std::move (p); spanMs = ms; };
    reducer.start (1.5); // half a second past the end of the audio
    ASSERT_FALSE (reducer.isRunning());
    ASSERT_EQ (peaks.size(), 120);
    EXPECT_EQ (spanMs, 1500.0);

    // Stored as round(v * 127), returned as that / 128, times 255 truncated; equal minimum and
    // maximum are nudged one step apart (silence 0 and 1, a constant 0.25 gives 32 and 33).
    const struct { int pair; int minimum; int maximum; } cases[] = {
        { 0, -253, 253 }, { 12, 0, 1 }, { 22, -127, 127 }, { 34, 63, 65 },
        { 59, 1, 0 }, // beyond the audio: the thumbnail's empty range
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ (peaks[2 * c.pair], c.minimum) << "pair " << c.pair;
        EXPECT_EQ (peaks[2 * c.pair + 1], c.maximum) << "pair " << c.pair;
    }
}

TEST (PeakReducer, ShortSpansGiveNoPairsButStillReport)
{
    FilledThumbnail filled ([] (int) { return 0.0f; });
    PeakReducer reducer (filled.thumbnail);
    int calls = 0;
    juce::Array<int> peaks { 1 };
    reducer.onFinished = [&] (juce::Array<int>&& p, double ms) { ++calls; peaks = std::move (p); EXPECT_EQ (ms, 20.0); };
    reducer.start (0.02);
    EXPECT_EQ (calls, 1);
    EXPECT_TRUE (peaks.isEmpty());
}

TEST (PeakReducer, LongSpansContinueInLaterSlicesAndRestartCleanly)
{
    FilledThumbnail filled ([] (int i) { return i % 2 == 0 ? 0.5f : -0.5f; });
    PeakReducer reducer (filled.thumbnail);
    std::vector<int> sizes;
    reducer.onFinished = [&] (juce::Array<int>&& p, double) { sizes.push_back (p.size()); };

    // A day: far more than one slice.
    reducer.start (86400.0);
    EXPECT_TRUE (reducer.isRunning());
    EXPECT_TRUE (sizes.empty());

    // Started over before the end: only the new span reports.
    reducer.start (86400.0);
    ASSERT_TRUE (test::pumpUntil ([&] { return ! sizes.empty(); }, 60000));
    test::pumpFor (20);
    ASSERT_EQ (sizes.size(), 1u);
    EXPECT_EQ (sizes[0], 2 * 86400 * 40);
}
