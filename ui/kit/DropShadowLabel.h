#pragma once

#include "ui/kit/DropShadow.h"
#include <juce_gui_basics/juce_gui_basics.h>

/** A label that draws its text over a soft grey shadow. It draws no background, border or
    editor: only the shadow and the text. */
class DropShadowLabel : public juce::Label
{
public:
    DropShadowLabel();

    void paint (juce::Graphics& g) override;

    melatonin::DropShadow shadow { juce::Colour (0xff555555), 2, { 1, 1 }, 0 };

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DropShadowLabel)
};
