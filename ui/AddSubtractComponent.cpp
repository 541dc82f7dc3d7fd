#include "ui/AddSubtractComponent.h"

void AddSubtractComponent::mouseDown (const juce::MouseEvent& e)
{
    pressed = inUpperHalf (e) ? upper : lower;
    repaint();
}

void AddSubtractComponent::mouseUp (const juce::MouseEvent& e)
{
    pressed = none;
    // The callback may change the list this control's row shows: the repaint goes first.
    repaint();
    if (inUpperHalf (e))
    {
        if (onAdd != nullptr)
            onAdd();
    }
    else if (onSubtract != nullptr)
    {
        onSubtract();
    }
}

void AddSubtractComponent::paint (juce::Graphics& g)
{
    const int w = getWidth(), h = getHeight();
    g.setFont (juce::Font (juce::Font::getDefaultSansSerifFontName(), "Regular", 1.0f).withPointHeight (0.5f * (float) h));

    const auto accent = findColour (juce::TextButton::buttonOnColourId);
    g.setColour (pressed == upper ? juce::Colours::white : accent);
    g.drawText ("+", juce::Rectangle<int> (0, 0, w, h / 2), juce::Justification::centred, true);
    g.setColour (pressed == lower ? juce::Colours::white : accent);
    g.drawText ("-", juce::Rectangle<int> (0, h / 2, w, h - h / 2), juce::Justification::centred, true);
}
