#include "time/SimpleLevelMeter.h"

#include <cmath>

SimpleLevelMeter::SimpleLevelMeter (juce::AudioDeviceManager& deviceManager)
{
    startTimer (pollIntervalMs);
    levelGetter = deviceManager.getInputLevelGetter();
}

SimpleLevelMeter::~SimpleLevelMeter()
{
    levelGetter = nullptr;
    stopTimer();
}

int SimpleLevelMeter::getNumLitSegments (float newLevel)
{
    // Also catches NaN: nothing is lit for what is not a positive level.
    if (! (newLevel > 0.0f))
        return 0;

    const auto root = std::exp (std::log ((double) newLevel) / 3.0);
    // nearbyint rounds halves to even in the default rounding mode.
    const auto lit = std::nearbyint (juce::jmin (root, 1.0) * numSegments);
    return static_cast<int> (lit);
}

void SimpleLevelMeter::setLevel (float newLevel)
{
    level = newLevel;
    repaint();
}

void SimpleLevelMeter::timerCallback()
{
    // Off screen nothing is read or drawn.
    if (isShowing())
        setLevel (levelGetter != nullptr ? (float) levelGetter->getCurrentLevel() : 0.0f);
    else
        level = 0.0f;
}

void SimpleLevelMeter::paint (juce::Graphics& g)
{
    const auto width = (float) getWidth();
    const auto height = (float) getHeight();
    const int lit = getNumLitSegments (level);

    g.setColour (findColour (juce::ResizableWindow::backgroundColourId));
    g.fillRoundedRectangle (0.0f, 0.0f, width, height, 1.5f);

    // Fractional segment widths, so the bar also fills narrow meters evenly.
    const auto s = (width - 2.0f) / (float) numSegments;
    const auto on = findColour (juce::Slider::thumbColourId);
    const auto off = on.withAlpha ((juce::uint8) 0x80);
    for (int i = 0; i < numSegments; ++i)
    {
        if (i == numSegments - 1 && lit >= numSegments)
            g.setColour (juce::Colour (0xffff0000));
        else
            g.setColour (i < lit ? on : off);
        g.fillRoundedRectangle ((float) i * s + 1.0f + s * 0.25f, 1.0f, s * 0.5f, height - 2.0f, s * 0.1f);
    }
}
