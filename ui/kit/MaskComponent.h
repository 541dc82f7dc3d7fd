#pragma once

#include "ui/kit/DropShadow.h"
#include <juce_gui_basics/juce_gui_basics.h>

/** Covers the area of a path with the window colour and casts a soft shadow around it, so
    what scrolls underneath fades out at its edge. Takes no mouse clicks. */
class MaskComponent : public juce::Component
{
public:
    explicit MaskComponent (juce::Path path);

    /** Replaces the shadow (dropping everything cached). */
    void setShadow (juce::Colour colour, int radius, juce::Point<int> offset, int spread);

    void paint (juce::Graphics& g) override;

    juce::Path maskPath;
    melatonin::DropShadow shadow { juce::Colours::black, 16, { 0, 16 }, 0 };

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MaskComponent)
};
