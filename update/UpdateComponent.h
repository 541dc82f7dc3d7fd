#pragma once

#include "update/UpdateChecker.h"
#include <juce_gui_basics/juce_gui_basics.h>

/** The update panel: the running version and a button that checks for updates now, with a
    checker of its own, so a skipped version never hides an update from this check. */
class UpdateComponent : public juce::Component
{
public:
    UpdateComponent();

    void resized() override;

    juce::Label& getVersionLabel() { return versionLabel; }
    juce::TextButton& getCheckButton() { return checkButton; }
    UpdateChecker& getUpdateChecker() { return updateChecker; }

private:
    juce::Label versionLabel;
    juce::TextButton checkButton;
    UpdateChecker updateChecker; // last: its threads end before the button that starts them goes

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UpdateComponent)
};
