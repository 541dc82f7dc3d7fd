#include "ui/AnimatedCueView.h"

AnimatedCueView::AnimatedCueView()
    : CueView (rowHeightPx)
{
    viewport.setScrollBarsShown (false, false, true, true);
}

AnimatedCueView::~AnimatedCueView()
{
    mask.reset();
    stopTimer();
}

std::unique_ptr<CueWrapper> AnimatedCueView::createWrapper()
{
    return std::make_unique<CueWrapper>();
}

void AnimatedCueView::timeChanged (const TimeInfo& info, bool force)
{
    lastTime = info;
    if (rows.isEmpty())
        return;

    const int index = (info.time != 0 || info.running)
                          ? CueList::getNextCueIndex (info.time, shownCues, currentIndex)
                          : 0;

    if (! force && index == currentIndex)
    {
        // While dirty, the next paint refreshes the rows that scrolled into view anyway.
        if (! dirty)
            updateVisibleRows (info);
        return;
    }

    scrollStart = viewport.getViewPositionY();
    scrollTarget = index >= 2 ? (index - 1) * rowHeight : 0;
    // A move still under way keeps its progress and bends towards the new target.
    if (animationProgress >= 1.0)
        animationProgress = 0.0;
    lastTick = juce::Time::getMillisecondCounter();
    startTimer (16);
    currentIndex = index;
    container.setMarkerY (index * rowHeight);

    // Rebuilt or re-filtered rows start without progress or dimming: the next paint refreshes
    // them, even when time stands still and no further update comes.
    if (force)
    {
        dirty = true;
        repaint();
    }
}

void AnimatedCueView::timerCallback()
{
    const auto now = juce::Time::getMillisecondCounter();
    showScrollAt (animationProgress + (double) (now - lastTick) / 1000.0 * 5.0);
    lastTick = now;
    if (animationProgress >= 1.0)
        stopTimer();
}

void AnimatedCueView::showScrollAt (double progress)
{
    animationProgress = progress;
    const double p = progress;
    const double eased = p < 0.5 ? 2.0 * p * p : (p < 1.0 ? 4.0 * p - 2.0 * p * p - 1.0 : 1.0);
    const int y = (int) (scrollStart + (scrollTarget - scrollStart) * eased);
    viewport.setViewPosition (0, y);
}

void AnimatedCueView::updateVisibleRows (const TimeInfo& info)
{
    const int y0 = viewport.getViewPositionY();
    const int h = rowHeight;
    const int bandStart = y0 - h;
    const int bandEnd = bandStart + juce::jmax (0, 2 * h + viewport.getViewHeight());

    // Rows sit at i * h, so the walk can begin at the first row of the band instead of the top
    // of a long list.
    const int first = juce::jlimit (0, rows.size(), h > 0 ? bandStart / h : 0);
    juce::Range<int> inBand;
    for (int i = first; i < rows.size(); ++i)
    {
        auto* row = getRow (i);
        const int top = row->getY();
        if (top > bandStart && top < bandEnd)
        {
            if (auto* component = row->getCueComponent())
                component->update (info, span);
            inBand = inBand.isEmpty() ? juce::Range<int> (i, i + 1) : inBand.withEnd (i + 1);
        }
        if (row->getBottom() > bandEnd)
            break;
    }

    // The rows of the band keep their pictures, so scrolling copies them. Only these: rows
    // further out do not repaint on every change (a new colour), so a picture of theirs could
    // go stale.
    keepRowsBuffered (inBand);
}

void AnimatedCueView::paint (juce::Graphics&)
{
    if (dirty)
    {
        updateVisibleRows (lastTime);
        dirty = false;
    }
}

void AnimatedCueView::componentMovedOrResized (juce::Component& component, bool wasMoved, bool)
{
    if (&component == &container && wasMoved)
        dirty = true;
}

void AnimatedCueView::resized()
{
    const float w = (float) getWidth();
    const float h = (float) getHeight();
    const float c = juce::jmax (0.0f, w + 10.0f);
    const float bottom = juce::jmax (0.0f, h);

    juce::Path path;
    path.setUsingNonZeroWinding (false);
    path.addRectangle (-10.0f, -10.0f, juce::jmax (0.0f, w + 20.0f), juce::jmax (0.0f, h + 20.0f));
    path.startNewSubPath (-5.0f, 5.0f);
    path.cubicTo (c / 2 - 5.0f, 0.0f, c / 2 - 5.0f, 0.0f, c - 5.0f, 5.0f);
    path.lineTo (c - 5.0f, bottom - 5.0f);
    path.cubicTo (c / 2 - 5.0f, bottom, c / 2 - 5.0f, bottom, -5.0f, bottom - 5.0f);
    path.closeSubPath();

    mask = std::make_unique<MaskComponent> (path);
    mask->setShadow (juce::Colours::black, 24, { 0, 0 }, -5);
    addAndMakeVisible (*mask);
    mask->setBounds (getLocalBounds());

    layoutRows();
}
