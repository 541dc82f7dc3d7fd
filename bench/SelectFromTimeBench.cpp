// Choosing the live list from the time over 200 lists: the driver thread's share of every
// delivered time (a scan of the snapshot, no switch).

#include "document/Identifiers.h"
#include "model/ActiveCueListHandler.h"
#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

namespace
{
constexpr int listCount = 200;
constexpr int listLengthMs = 600000;

juce::ValueTree makeLists()
{
    juce::ValueTree lists (IDs::CueLists);
    for (int i = 0; i < listCount; ++i)
    {
        juce::ValueTree list (IDs::CueList);
        list.setProperty (IDs::uuid, juce::Uuid().toString(), nullptr);
        list.setProperty (IDs::offset, "00:00:00:00", nullptr);
        list.setProperty (IDs::fps, 25, nullptr);
        list.setProperty (IDs::start, (double) i * listLengthMs, nullptr);
        juce::ValueTree cues (IDs::Cues);
        juce::ValueTree cue (IDs::cue);
        cue.setProperty (IDs::start, (double) (i + 1) * listLengthMs, nullptr);
        cues.appendChild (cue, nullptr);
        list.appendChild (cues, nullptr);
        lists.appendChild (list, nullptr);
    }
    return lists;
}

struct Fixture
{
    juce::ScopedJuceInitialiser_GUI juce;
    std::shared_ptr<CueListManager> manager = std::make_shared<CueListManager> (makeLists(), nullptr);
    ActiveCueListHandler handler { manager };

    Fixture()
    {
        // The display order is built on the next turn of the message loop.
        for (int i = 0; i < 100 && manager->getCueLists().size() < (size_t) listCount; ++i)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void selectInLastList (benchmark::State& state)
{
    auto& f = fixture();
    const int time = (listCount - 1) * listLengthMs + 1000;
    f.handler.selectFromTime (time, false);
    for (auto _ : state)
        f.handler.selectFromTime (time, false);
    if (f.handler.getActiveCueList() != f.manager->getCueLists().back())
        state.SkipWithError ("wrong list");
}

void selectOutsideEveryList (benchmark::State& state)
{
    auto& f = fixture();
    for (auto _ : state)
        f.handler.selectFromTime (listCount * listLengthMs + 1000, false);
}
}

BENCHMARK (selectInLastList);
BENCHMARK (selectOutsideEveryList);
