#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The colour picker's pop-up: the window background, slightly see-through, with no border. */
class ColorPickerLookAndFeel : public juce::LookAndFeel_V4
{
public:
    ColorPickerLookAndFeel();

    /** The background as drawn: opaque where no compositor blends a see-through window with
        what lies below it (the framework then paints the window opaque, white underneath). */
    juce::Colour getMenuBackground() const;

    void drawPopupMenuBackground (juce::Graphics& g, int width, int height) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ColorPickerLookAndFeel)
};
