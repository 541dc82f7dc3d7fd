#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The main window's content until the cue view takes its place. */
class PlaceholderView : public juce::Component
{
public:
    PlaceholderView();
    void paint (juce::Graphics& g) override;
};
