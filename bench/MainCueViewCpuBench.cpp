// The show screen on screen with the computer's clock running, drawn by the software renderer,
// 200 rows, at 640 x 1000 and at 1600 x 1000:
// - cpu_share: the share of one core the whole process uses (1.0 = one core busy).
//   Target: at most 0.10 at 1600 x 1000.
// - pub_p99_ms, pub_max_ms: the intervals between the time manager's publications while the
//   view repaints (it publishes every 16 ms on the message thread the view paints on).
//   Targets: p99 at most 18 ms, max at most 25 ms.
// Run under a virtual display:
//   xvfb-run -a -s "-screen 0 1920x1080x24" bench/bench_MainCueViewCpuBench

#include "app/VantrelController.h"
#include "document/Identifiers.h"
#include "ui/DesktopWindow.h"
#include "ui/MainComponent.h"
#include "ui/MainCueView.h"
#include <benchmark/benchmark.h>
#include <algorithm>
#include <sys/resource.h>
#include <vector>

namespace
{
double cpuSeconds()
{
    rusage usage {};
    getrusage (RUSAGE_SELF, &usage);
    return (double) usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + (double) usage.ru_stime.tv_sec
           + usage.ru_stime.tv_usec / 1e6;
}

/** A timetable of 200 cues around the current time of day, so rows count down and pass. */
juce::ValueTree makeTimetable()
{
    const auto now = juce::Time::getCurrentTime();
    const int timeOfDay = ((now.getHours() * 60 + now.getMinutes()) * 60 + now.getSeconds()) * 1000;

    juce::ValueTree node (IDs::CueList);
    node.setProperty (IDs::uuid, juce::Uuid().toString(), nullptr);
    node.setProperty (IDs::name, "Timetable", nullptr);
    node.setProperty (IDs::offset, "00:00:00:00", nullptr);
    node.setProperty (IDs::fps, 1000, nullptr);
    node.setProperty (IDs::timetable, true, nullptr);
    juce::ValueTree cues (IDs::Cues);
    for (int i = 0; i < 200; ++i)
    {
        juce::ValueTree cue (IDs::cue);
        cue.setProperty (IDs::id, juce::Uuid().toString(), nullptr);
        cue.setProperty (IDs::number, i + 1, nullptr);
        cue.setProperty (IDs::text, "Cue " + juce::String (i + 1), nullptr);
        cue.setProperty (IDs::start, (double) ((timeOfDay + (i - 5) * 4000) % Cue::dayMs), nullptr);
        cue.setProperty (IDs::duration, 3000.0, nullptr);
        cue.setProperty (IDs::color, juce::Colour (i % 2 == 0 ? 0xffcc3333 : 0xff3366cc).toString(), nullptr);
        cues.appendChild (cue, nullptr);
    }
    node.appendChild (cues, nullptr);
    return node;
}

/** When each publication arrived. */
struct PublicationTimes : TimeManager::Listener
{
    void timeChanged (const TimeInfo&) override { at.push_back (juce::Time::getMillisecondCounterHiRes()); }
    std::vector<double> at;

    std::vector<double> intervals() const
    {
        std::vector<double> result;
        for (size_t i = 1; i < at.size(); ++i)
            result.push_back (at[i] - at[i - 1]);
        std::sort (result.begin(), result.end());
        return result;
    }
};

double percentile (const std::vector<double>& sorted, double p)
{
    return sorted.empty() ? 0.0 : sorted[(size_t) (p * (double) (sorted.size() - 1))];
}

void cpuShareWhileTheClockRuns (benchmark::State& state)
{
    for (auto _ : state)
    {
        VantrelController controller;
        controller.cueListManager->getState().appendChild (makeTimetable(), nullptr);

        auto* view = new MainCueView (controller);
        view->setSize ((int) state.range (1), 1000);
        auto window = std::make_unique<DesktopWindow> (new MainComponent (controller, view));
        controller.timeManager->master.setDriver (0);

        // Warm up: the first sync, the first publications, fonts and shadows cached.
        juce::MessageManager::getInstance()->runDispatchLoopUntil (1000);

        PublicationTimes publications;
        controller.timeManager->addListener (&publications);

        const double wallStart = juce::Time::getMillisecondCounterHiRes();
        const double cpuStart = cpuSeconds();
        juce::MessageManager::getInstance()->runDispatchLoopUntil ((int) state.range (0) * 1000);
        const double cpu = cpuSeconds() - cpuStart;
        const double wall = (juce::Time::getMillisecondCounterHiRes() - wallStart) / 1000.0;

        controller.timeManager->removeListener (&publications);
        const auto intervals = publications.intervals();

        state.counters["cpu_share"] = cpu / wall;
        state.counters["pub_p50_ms"] = percentile (intervals, 0.5);
        state.counters["pub_p99_ms"] = percentile (intervals, 0.99);
        state.counters["pub_max_ms"] = intervals.empty() ? 0.0 : intervals.back();
        state.counters["rows"] = view->getCueRows().getNumRows();
        state.SetIterationTime (wall);

        window.reset();
        controller.timeManager->master.stop();
    }
}
}

BENCHMARK (cpuShareWhileTheClockRuns)->Args ({ 10, 640 })->Args ({ 10, 1600 })->Iterations (1)->UseManualTime()->Unit (benchmark::kSecond);
