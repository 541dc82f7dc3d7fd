// What decoding LTC costs the audio thread: every block of ten minutes of generated 25 fps
// LTC goes through LTCReader::processBlock, for block sizes from 64 to 4096 samples. Reports
// the mean, p99 and worst cost per block against the block's period at 48 kHz; the worst
// case must stay far below the period. Costs are the thread's CPU time, so a preemption of
// the benchmark by another process does not count as decoding; max_wall_us shows the worst
// wall-clock time, preemptions included.

#include "tests/tools/LtcSignal.h"
#include "time/LTCReader.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

namespace
{
/** No device types at all: the benchmark feeds the reader itself. */
struct NoDevices : juce::AudioDeviceManager
{
    void createAudioDeviceTypes (juce::OwnedArray<juce::AudioIODeviceType>&) override {}
};

double threadMicros()
{
    timespec ts {};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

struct Counter : TimeDriver::Listener
{
    void timeChanged (TimeDriver*) override { ++frames; }
    void signalInterrupted() override { ++interruptions; }
    long frames = 0, interruptions = 0;
};

void decodeTenMinutes (benchmark::State& state)
{
    const int blockSize = (int) state.range (0);
    const double sampleRate = 48000.0;
    const long totalBlocks = (long) (600.0 * sampleRate / blockSize);

    for (auto _ : state)
    {
        LTCReader reader (std::make_unique<NoDevices>());
        Counter counter;
        reader.addListener (&counter);
        LtcSignal signal (sampleRate, 25, { 10, 0, 0, 0 });
        std::vector<float> block ((size_t) blockSize);
        std::vector<double> costs;
        costs.reserve ((size_t) totalBlocks);
        double worstWall = 0.0;

        for (long i = 0; i < totalBlocks; ++i)
        {
            signal.render (block.data(), blockSize);
            const auto wallStart = std::chrono::steady_clock::now();
            const auto cpuStart = threadMicros();
            reader.processBlock (block.data(), blockSize, 0);
            costs.push_back (threadMicros() - cpuStart);
            const auto wall = std::chrono::duration<double, std::micro> (std::chrono::steady_clock::now() - wallStart);
            worstWall = std::max (worstWall, wall.count());
        }
        reader.removeListener (&counter);

        double total = 0.0;
        for (auto c : costs)
            total += c;
        std::sort (costs.begin(), costs.end());

        state.SetIterationTime (total / 1e6);
        const double period = blockSize * 1e6 / sampleRate;
        state.counters["period_us"] = period;
        state.counters["mean_us"] = total / (double) costs.size();
        state.counters["p99_us"] = costs[(size_t) (0.99 * (double) (costs.size() - 1))];
        state.counters["max_us"] = costs.back();
        state.counters["max_wall_us"] = worstWall;
        state.counters["max_of_period_pct"] = 100.0 * costs.back() / period;
        state.counters["frames"] = (double) counter.frames;
        state.counters["interruptions"] = (double) counter.interruptions;
    }
}
}

BENCHMARK (decodeTenMinutes)->RangeMultiplier (2)->Range (64, 4096)->Iterations (1)->UseManualTime()->Unit (benchmark::kMillisecond);
