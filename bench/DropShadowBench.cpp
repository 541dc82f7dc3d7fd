// Cost of the soft shadows: blurring the masks, and redrawing a cached shadow (which must
// not blur at all).
#include "ui/kit/DropShadow.h"
#include "ui/kit/StackBlur.h"

#include <benchmark/benchmark.h>

namespace
{
juce::Image filledMask (int w, int h, int inset)
{
    juce::Image mask (juce::Image::SingleChannel, w, h, true);
    juce::Graphics g (mask);
    g.setColour (juce::Colours::white);
    g.fillRect (juce::Rectangle<int> (w, h).reduced (inset));
    return mask;
}

// The main view's mask: about the view's size, radius 24.
void blurMainViewMask (benchmark::State& state)
{
    const auto original = filledMask (1158, 858, 48);
    for (auto _ : state)
    {
        auto mask = original.createCopy();
        melatonin::internal::stackBlur (mask, 24);
        benchmark::DoNotOptimize (mask.getPixelData());
    }
    state.SetItemsProcessed (state.iterations() * 1158 * 858);
}
BENCHMARK (blurMainViewMask)->Unit (benchmark::kMillisecond);

// A cue row label's text shadow: radius 2.
void blurLabel (benchmark::State& state)
{
    const auto original = filledMask (60, 24, 4);
    for (auto _ : state)
    {
        auto mask = original.createCopy();
        melatonin::internal::stackBlur (mask, 2);
        benchmark::DoNotOptimize (mask.getPixelData());
    }
}
BENCHMARK (blurLabel)->Unit (benchmark::kMicrosecond);

juce::Path mainViewMaskPath()
{
    // The shape of the cue list's top fade: the view minus a band at the top.
    juce::Path p;
    p.addRectangle (0.0f, 0.0f, 1110.0f, 120.0f);
    return p;
}

// A first draw: render every layer's mask, blur it and composite.
void firstDrawOfMainViewShadow (benchmark::State& state)
{
    juce::Image target (juce::Image::ARGB, 1158, 858, true);
    const auto path = mainViewMaskPath();
    for (auto _ : state)
    {
        melatonin::DropShadow shadow (juce::Colours::black, 24, {}, -5);
        juce::Graphics g (target);
        shadow.paintPathShadow (g, path);
    }
}
BENCHMARK (firstDrawOfMainViewShadow)->Unit (benchmark::kMillisecond);

// Redrawing a cached shadow that moves: only the composite image is drawn.
void cachedDrawOfMovingShadow (benchmark::State& state)
{
    juce::Image target (juce::Image::ARGB, 1158, 858, true);
    melatonin::DropShadow shadow (juce::Colours::black, 24, {}, -5);
    auto path = mainViewMaskPath();
    {
        juce::Graphics g (target);
        shadow.paintPathShadow (g, path);
    }
    const auto cached = shadow.getCachedImage();

    int step = 0;
    for (auto _ : state)
    {
        juce::Graphics g (target);
        shadow.paintPathShadow (g, path);
        path.applyTransform (juce::AffineTransform::translation (0.0f, (++step % 2) == 0 ? 3.0f : -3.0f));
    }

    if (shadow.getCachedImage().getPixelData() != cached.getPixelData())
        state.SkipWithError ("a moved shadow was rendered again");
}
BENCHMARK (cachedDrawOfMovingShadow)->Unit (benchmark::kMicrosecond);
}
