#include "ui/kit/MessageComponent.h"

void MessageComponent::setText (const juce::String& newText)
{
    text.clear();
    text.append (newText, juce::Font (juce::String(), "Regular", 1.0f).withPointHeight (24.0f));
}

void MessageComponent::setWidth (int width)
{
    text.setColour (getLookAndFeel().findColour (juce::TextEditor::textColourId));
    text.setJustification (juce::Justification::topLeft);
    text.setWordWrap (juce::AttributedString::byWord);
    layout.createLayout (text, juce::jmax (1.0f, (float) width - 5.0f), 10000000.0f);
    setBounds (0, 0, width, (int) layout.getHeight());
}

void MessageComponent::paint (juce::Graphics& g)
{
    layout.draw (g, getLocalBounds().toFloat());
}
