#include "ui/FpsSelectionComponent.h"

void FpsSelectionComponent::setFps (int newFps)
{
    if (newFps == fps)
        return;
    fps = newFps;
    repaint();
}

juce::Rectangle<int> FpsSelectionComponent::getRowBounds (int row) const
{
    const float r = (float) getHeight() / 5.0f;
    return { 0, (int) (((float) row + 1.1f) * r), getWidth(), (int) r };
}

void FpsSelectionComponent::mouseUp (const juce::MouseEvent& event)
{
    const auto position = event.getPosition();
    for (int i = 0; i < 3; ++i)
    {
        if (! getRowBounds (i).contains (position) || rates[i] == fps)
            continue;

        fps = rates[i];
        if (onFpsSelected)
            onFpsSelected (rates[i]);
        repaint();
    }
}

void FpsSelectionComponent::paint (juce::Graphics& g)
{
    const float r = (float) getHeight() / 5.0f;
    g.setFont (r);
    for (int i = 0; i < 3; ++i)
    {
        g.setColour (rates[i] == fps ? findColour (juce::TextButton::buttonOnColourId) : juce::Colour (0x26ffffff));
        g.drawText (juce::String (rates[i]), getRowBounds (i), juce::Justification::centredLeft, false);
    }
}
