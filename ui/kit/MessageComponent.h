#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A dialog's message: word-wrapped text that is as tall as its layout, so a viewport can
    scroll it. */
class MessageComponent : public juce::Component
{
public:
    void setText (const juce::String& text);
    /** Lays the text out for the given width and takes the height it needs. */
    void setWidth (int width);

    void paint (juce::Graphics& g) override;

private:
    juce::AttributedString text;
    juce::TextLayout layout;
};
