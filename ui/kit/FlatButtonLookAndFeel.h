#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Borderless text buttons for the dialogs' button row: no background, and a short white
    separator at the right edge of a button connected on its right. */
class FlatButtonLookAndFeel : public juce::LookAndFeel_V4
{
public:
    FlatButtonLookAndFeel();

    void drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& background,
                               bool highlighted, bool down) override;
    juce::Font getTextButtonFont (juce::TextButton& button, int buttonHeight) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FlatButtonLookAndFeel)
};
