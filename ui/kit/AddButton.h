#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A small black button with a plus icon and a caption: its component name ("Add" unless the
    owner renames it). */
class AddButton : public juce::Button
{
public:
    AddButton();

protected:
    void paintButton (juce::Graphics& g, bool highlighted, bool down) override;

private:
    juce::Path icon;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AddButton)
};
