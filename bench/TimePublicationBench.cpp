// How the time manager publishes, in real time:
// - publicationJitter: ten seconds of the computer's clock; the intervals between
//   publications (p50, p99, max), their count, and how often a publication repeated the
//   previous time while running (never should).
// - ltcLatency: ten seconds of 25 fps LTC fed in 512-sample blocks at the pace of a 48 kHz
//   device; for each frame, the time from the end of the block that completed it to the
//   publication of its time (p50, p99, max), and how many frames were never published.

#include "tests/tools/LtcSignal.h"
#include "time/InternalClockReader.h"
#include "time/TimeManager.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

double msSince (Clock::time_point start, Clock::time_point t)
{
    return std::chrono::duration<double, std::milli> (t - start).count();
}

/** No device types: the LTC benchmark feeds the reader itself. */
struct NoDevices : juce::AudioDeviceManager
{
    void createAudioDeviceTypes (juce::OwnedArray<juce::AudioIODeviceType>&) override {}
};

std::unique_ptr<TimeManager> makeManager()
{
    auto master = std::make_unique<MasterTimeDriver> (std::make_unique<InternalClockReader>(),
                                                      std::make_unique<LTCReader> (std::make_unique<NoDevices>()));
    return std::make_unique<TimeManager> (nullptr, 25, std::move (master), nullptr);
}

void runMessageLoop (double seconds)
{
    const auto end = Clock::now() + std::chrono::duration<double> (seconds);
    while (Clock::now() < end)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
}

double percentile (std::vector<double> v, double p)
{
    if (v.empty())
        return 0.0;
    std::sort (v.begin(), v.end());
    return v[(size_t) (p * (double) (v.size() - 1))];
}

struct Publications : TimeManager::Listener
{
    void timeChanged (const TimeInfo& info) override { entries.push_back ({ info, Clock::now() }); }

    struct Entry
    {
        TimeInfo info;
        Clock::time_point at;
    };
    std::vector<Entry> entries;
};

void publicationJitter (benchmark::State& state)
{
    for (auto _ : state)
    {
        auto manager = makeManager();
        Publications publications;
        manager->addListener (&publications);
        manager->master.setDriver (0);
        runMessageLoop (10.0);
        manager->removeListener (&publications);
        manager.reset();

        std::vector<double> intervals;
        int repeated = 0;
        const auto& e = publications.entries;
        for (size_t i = 1; i < e.size(); ++i)
        {
            intervals.push_back (msSince (e[i - 1].at, e[i].at));
            if (e[i].info.running && e[i].info.time == e[i - 1].info.time)
                ++repeated;
        }

        state.SetIterationTime (10.0);
        state.counters["publications"] = (double) e.size();
        state.counters["p50_ms"] = percentile (intervals, 0.5);
        state.counters["p99_ms"] = percentile (intervals, 0.99);
        state.counters["max_ms"] = intervals.empty() ? 0.0 : *std::max_element (intervals.begin(), intervals.end());
        state.counters["repeated_while_running"] = repeated;
    }
}

void ltcLatency (benchmark::State& state)
{
    for (auto _ : state)
    {
        auto manager = makeManager();
        Publications publications;
        manager->addListener (&publications);

        // Frame time -> when the block that completed it had been decoded.
        std::mutex mutex;
        std::map<int32_t, Clock::time_point> completed;
        std::atomic<bool> done { false };

        std::thread audio ([&] {
            LtcSignal signal (48000.0, 25, { 10, 0, 0, 0 });
            auto& reader = manager->master.getLTCReader();
            std::vector<float> block (512);
            auto next = Clock::now();
            juce::int64 lastEnd = -1;
            while (! done)
            {
                signal.render (block.data(), 512);
                reader.processBlock (block.data(), 512, 0);
                if (reader.getLastFrameEnd() != lastEnd)
                {
                    lastEnd = reader.getLastFrameEnd();
                    const std::scoped_lock lock (mutex);
                    completed[(int32_t) reader.getMillis()] = Clock::now();
                }
                next += std::chrono::microseconds (10'667);
                std::this_thread::sleep_until (next);
            }
        });

        runMessageLoop (10.0);
        done = true;
        audio.join();
        manager->removeListener (&publications);
        manager.reset();

        // The first two seconds settle the frame rate; measure the rest.
        std::vector<double> latencies;
        size_t frames = 0;
        {
            const std::scoped_lock lock (mutex);
            std::map<int32_t, Clock::time_point> published;
            for (const auto& p : publications.entries)
                if (p.info.running && p.info.fps == 25)
                    published.emplace (p.info.time, p.at);

            for (const auto& [time, at] : completed)
            {
                if (time < 36'002'000)
                    continue;
                ++frames;
                if (auto it = published.find (time); it != published.end())
                    latencies.push_back (msSince (at, it->second));
            }
        }

        state.SetIterationTime (10.0);
        state.counters["frames"] = (double) frames;
        state.counters["unpublished"] = (double) (frames - latencies.size());
        state.counters["p50_ms"] = percentile (latencies, 0.5);
        state.counters["p99_ms"] = percentile (latencies, 0.99);
        state.counters["max_ms"] = latencies.empty() ? 0.0 : *std::max_element (latencies.begin(), latencies.end());
    }
}
}

BENCHMARK (publicationJitter)->Iterations (1)->UseManualTime()->Unit (benchmark::kSecond);
BENCHMARK (ltcLatency)->Iterations (1)->UseManualTime()->Unit (benchmark::kSecond);
