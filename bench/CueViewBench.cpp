// The show screen's rows while time runs: the cost of one time update must not grow with the
// list (only the rows in view work), and the cost of painting one frame of the view in
// software. Run under a virtual display: xvfb-run -a bench/bench_CueViewBench

#include "document/Identifiers.h"
#include "model/CueList.h"
#include "ui/AnimatedCueView.h"
#include <benchmark/benchmark.h>

namespace
{
constexpr int spacingMs = 60000;

std::shared_ptr<CueList> makeList (int n)
{
    juce::ValueTree node (IDs::CueList);
    node.setProperty (IDs::fps, 25, nullptr);
    juce::ValueTree cues (IDs::Cues);
    for (int i = 0; i < n; ++i)
    {
        juce::ValueTree cue (IDs::cue);
        cue.setProperty (IDs::number, i + 1, nullptr);
        cue.setProperty (IDs::text, "Cue " + juce::String (i + 1), nullptr);
        cue.setProperty (IDs::start, (double) spacingMs * (i + 1), nullptr);
        cue.setProperty (IDs::duration, 30000.0, nullptr);
        cue.setProperty (IDs::color, juce::Colour (i % 2 == 0 ? 0xffcc3333 : 0xff3366cc).toString(), nullptr);
        cues.appendChild (cue, nullptr);
    }
    node.appendChild (cues, nullptr);
    return std::make_shared<CueList> (node, nullptr);
}

/** A view over n cues, scrolled to the middle of the list with the time just before the
    middle cue, as it stands during a show. */
struct ShowView
{
    AnimatedCueView view;
    std::shared_ptr<CueList> list;
    int time;

    ShowView (int n, int width, int height) : list (makeList (n))
    {
        view.setSize (width, height);
        view.setCueList (list, {});
        const int middle = n / 2;
        time = spacingMs * (middle + 1) - 20000;
        view.timeChanged ({ time, 25, true, false }, true);
        view.getViewport().setViewPosition (0, (middle - 1) * AnimatedCueView::rowHeightPx);
        juce::Image scratch (juce::Image::ARGB, width, height, true);
        juce::Graphics g (scratch);
        view.paintEntireComponent (g, false); // clears the dirty flag
    }

    void step()
    {
        time += 16;
        view.timeChanged ({ time, 25, true, false }, false);
    }
};

void timeChanged (benchmark::State& state)
{
    ShowView show ((int) state.range (0), 640, 1000);
    for (auto _ : state)
        show.step();
    state.SetComplexityN (state.range (0));
}

void paintFrame (benchmark::State& state)
{
    ShowView show (1000, 640, 1000);
    juce::Image frame (juce::Image::ARGB, 640, 1000, true);
    for (auto _ : state)
    {
        show.step();
        juce::Graphics g (frame);
        show.view.paintEntireComponent (g, false);
    }
}
}

BENCHMARK (timeChanged)->Arg (10)->Arg (1000)->Arg (10000)->Unit (benchmark::kMicrosecond)->Complexity();
BENCHMARK (paintFrame)->Unit (benchmark::kMillisecond);
