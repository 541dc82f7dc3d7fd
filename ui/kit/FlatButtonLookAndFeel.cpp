#include "ui/kit/FlatButtonLookAndFeel.h"

FlatButtonLookAndFeel::FlatButtonLookAndFeel()
{
    setColour (juce::TextEditor::textColourId, juce::Colours::white);
}

void FlatButtonLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour&, bool, bool)
{
    if (! button.isConnectedOnRight())
        return;
    const auto w = (float) button.getWidth();
    const auto h = (float) button.getHeight();
    g.setColour (juce::Colours::white);
    g.drawLine (w, h * 0.5f - h * 0.125f, w, h * 0.5f + h * 0.125f, 1.0f);
}

juce::Font FlatButtonLookAndFeel::getTextButtonFont (juce::TextButton&, int buttonHeight)
{
    return juce::Font (juce::String(), "Bold", 1.0f).withPointHeight (juce::jmin ((float) buttonHeight * 0.6f, 15.0f));
}
