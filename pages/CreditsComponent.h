#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The credits panel: a thank-you sentence above two company logos. */
class CreditsComponent : public juce::Component
{
public:
    CreditsComponent();

    void paint (juce::Graphics& g) override;
    void resized() override;

    /** The sentence drawn at the top. */
    static juce::String acknowledgement();

private:
    juce::DrawableButton firstLogo { "Logo", juce::DrawableButton::ImageOnButtonBackground };
    juce::DrawableButton secondLogo { "Logo", juce::DrawableButton::ImageOnButtonBackground };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CreditsComponent)
};
