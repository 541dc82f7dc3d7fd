#pragma once

#include "ui/kit/NonMouseOverTextButton.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

/** The row of time-driver buttons above the clock digits. It stores nothing: a click reports
    the driver's index through onDriverSelected and the owner marks the current one. */
class TimeDriverSelectionComponent : public juce::Component
{
public:
    TimeDriverSelectionComponent() = default;

    std::function<void (int)> onDriverSelected;

    void setDriverNames (const juce::StringArray& names);
    /** Lights only the button at index (none when negative); an index past the end changes nothing. */
    void setSelected (int index);
    /** The first lit button, or -1. */
    int getSelectedIndex() const;

    int getNumButtons() const { return buttons.size(); }
    juce::TextButton* getButton (int index) const { return buttons[index]; }

    void resized() override;

private:
    juce::OwnedArray<NonMouseOverTextButton> buttons;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TimeDriverSelectionComponent)
};
