#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A faint separator line that fades out towards both ends; its owner gives it a thin size. */
class LineComponent : public juce::Component
{
public:
    LineComponent() = default;
    void paint (juce::Graphics& g) override;
};
