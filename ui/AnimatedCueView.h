#pragma once

#include "ui/CueView.h"
#include "ui/kit/MaskComponent.h"

/** The cue rows of the show screen: 55 px rows, no scroll bars, a short eased scroll that keeps
    the next cue in the second row, and a shaded mask over the top and bottom edges. Each time
    update refreshes only the rows in view, so a long list costs no more than a short one. */
class AnimatedCueView : public CueView, private juce::Timer
{
public:
    static constexpr int rowHeightPx = 55;

    AnimatedCueView();
    ~AnimatedCueView() override;

    /** Moves the next-cue marker and scrolls when the next cue changes (always when forced);
        otherwise refreshes the rows in view. */
    void timeChanged (const TimeInfo& info, bool force);

    /** Places the list where the scroll under way stands at the given progress (0 start,
        1 arrived); the timer calls it on every tick. */
    void showScrollAt (double progress);

    int getCurrentIndex() const { return currentIndex; }
    bool isAnimating() const { return isTimerRunning(); }
    const MaskComponent* getMask() const { return mask.get(); }

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    void timerCallback() override;
    void componentMovedOrResized (juce::Component& component, bool wasMoved, bool wasResized) override;
    std::unique_ptr<CueWrapper> createWrapper() override;

    void updateVisibleRows (const TimeInfo& info);

    std::unique_ptr<MaskComponent> mask;
    bool dirty = true;
    int currentIndex = 0;
    int scrollStart = 0;
    int scrollTarget = 0;
    double animationProgress = 0.0;
    juce::uint32 lastTick = 0;
    TimeInfo lastTime { 0, 0, false, false };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AnimatedCueView)
};
