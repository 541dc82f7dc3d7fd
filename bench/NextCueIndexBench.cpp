// Finding the next cue while time runs: forward steps of one 16 ms frame must cost the same
// whatever the list length (the hint is right or one short); a jump costs a bisection.

#include "document/Identifiers.h"
#include "model/Cue.h"
#include "model/CueList.h"
#include <benchmark/benchmark.h>

namespace
{
constexpr int cueSpacingMs = 1000;

struct CueFixture
{
    std::vector<std::shared_ptr<Cue>> cues;
    std::vector<std::weak_ptr<Cue>> weak;

    explicit CueFixture (int count)
    {
        juce::ValueTree parent (IDs::Cues);
        for (int i = 0; i < count; ++i)
        {
            juce::ValueTree node (IDs::cue);
            node.setProperty (IDs::start, (double) (i + 1) * cueSpacingMs, nullptr);
            node.setProperty (IDs::duration, 0.0, nullptr);
            parent.appendChild (node, nullptr);
            cues.push_back (std::make_shared<Cue> (node, nullptr));
        }
        weak.assign (cues.begin(), cues.end());
    }
};

void forwardSteps (benchmark::State& state)
{
    const auto count = (int) state.range (0);
    CueFixture fixture (count);
    const int end = (count + 1) * cueSpacingMs;
    int time = 0, hint = 0;
    for (auto _ : state)
    {
        time += 16;
        if (time > end)
            time = hint = 0;
        hint = CueList::getNextCueIndex (time, fixture.weak, hint);
        benchmark::DoNotOptimize (hint);
    }
    state.SetComplexityN (count);
}

void jumps (benchmark::State& state)
{
    const auto count = (int) state.range (0);
    CueFixture fixture (count);
    juce::Random random (42);
    int hint = 0;
    for (auto _ : state)
    {
        const int time = random.nextInt ((count + 1) * cueSpacingMs);
        hint = CueList::getNextCueIndex (time, fixture.weak, hint);
        benchmark::DoNotOptimize (hint);
    }
    state.SetComplexityN (count);
}
}

BENCHMARK (forwardSteps)->RangeMultiplier (10)->Range (100, 100000)->Complexity (benchmark::o1);
BENCHMARK (jumps)->RangeMultiplier (10)->Range (100, 100000)->Complexity (benchmark::oLogN);
BENCHMARK (forwardSteps)->Arg (10000)->Name ("forwardSteps/10000cues");
BENCHMARK (jumps)->Arg (10000)->Name ("jump/10000cues");
