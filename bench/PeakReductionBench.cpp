// Reducing an hour of audio to waveform peaks (40 min/max pairs per second, 144,000 pairs)
// from a thumbnail filled at 48 kHz, 512 samples per point, as the timeline does it:
// - slices: the reduction run slice by slice; the longest slice (target: at most 10 ms, as
//   every slice holds up the message thread) and the sum of all slices.
// - messageLoop: the reduction started as the timeline starts it and continued by its timer
//   while the message loop runs; the time until the peaks arrive (target: at most 1 s) and
//   the longest gap a 1 ms timer saw between its callbacks meanwhile (how long the rest of
//   the program waited at worst).

#include "ui/PeakReducer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

namespace
{
using Clock = std::chrono::steady_clock;

double msBetween (Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli> (b - a).count();
}

constexpr double hour = 3600.0;

/** An hour of a swelling tone, fed to the thumbnail one second at a time. */
struct HourThumbnail
{
    juce::AudioFormatManager formats;
    juce::AudioThumbnailCache cache { 1 };
    juce::AudioThumbnail thumbnail { 512, formats, cache };

    HourThumbnail()
    {
        constexpr int rate = 48000;
        juce::AudioBuffer<float> second (1, rate);
        thumbnail.reset (1, rate, (juce::int64) (hour * rate));
        for (int s = 0; s < (int) hour; ++s)
        {
            const auto level = 0.2f + 0.8f * (float) ((s % 60) / 60.0);
            for (int i = 0; i < rate; ++i)
                second.setSample (0, i, level * std::sin ((float) i * 0.05f));
            thumbnail.addBlock ((juce::int64) s * rate, second, 0, rate);
        }
    }
};

HourThumbnail& hourThumbnail()
{
    static HourThumbnail filled;
    return filled;
}

void slices (benchmark::State& state)
{
    auto& thumbnail = hourThumbnail().thumbnail;
    double longest = 0.0, total = 0.0;
    int count = 0, pairs = 0;
    for (auto _ : state)
    {
        PeakReducer reducer (thumbnail);
        reducer.onFinished = [&pairs] (juce::Array<int>&& peaks, double) { pairs = peaks.size() / 2; };
        reducer.prepare (hour);
        double sum = 0.0;
        for (bool done = false; ! done;)
        {
            const auto start = Clock::now();
            done = reducer.runSlice();
            const auto ms = msBetween (start, Clock::now());
            longest = std::max (longest, ms);
            sum += ms;
            ++count;
        }
        total = sum;
        state.SetIterationTime (sum / 1000.0);
    }
    state.counters["longest_slice_ms"] = longest;
    state.counters["whole_ms"] = total;
    state.counters["slices"] = (double) count / (double) state.iterations();
    state.counters["pairs"] = pairs;
}

struct GapProbe : juce::Timer
{
    Clock::time_point last = Clock::now();
    double longestGap = 0.0;
    void timerCallback() override
    {
        const auto now = Clock::now();
        longestGap = std::max (longestGap, msBetween (last, now));
        last = now;
    }
};

void messageLoop (benchmark::State& state)
{
    auto& thumbnail = hourThumbnail().thumbnail;
    double whole = 0.0, gap = 0.0;
    for (auto _ : state)
    {
        PeakReducer reducer (thumbnail);
        bool finished = false;
        Clock::time_point end;
        reducer.onFinished = [&] (juce::Array<int>&&, double) { finished = true; end = Clock::now(); };

        GapProbe probe;
        probe.startTimer (1);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50); // let the probe settle
        probe.longestGap = 0.0;

        const auto start = Clock::now();
        reducer.start (hour);
        while (! finished && msBetween (start, Clock::now()) < 10000.0)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
        probe.stopTimer();

        whole = finished ? msBetween (start, end) : -1.0;
        gap = probe.longestGap;
        state.SetIterationTime (whole / 1000.0);
    }
    state.counters["whole_ms"] = whole;
    state.counters["longest_gap_ms"] = gap;
}
}

BENCHMARK (slices)->Iterations (5)->UseManualTime()->Unit (benchmark::kMillisecond);
BENCHMARK (messageLoop)->Iterations (3)->UseManualTime()->Unit (benchmark::kMillisecond);
