#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Holds the rows of a cue view and draws the drop marker: a triangle at the left and a bar
    across at markerY (none while it is 0). The owner places the rows. */
class CueContainer : public juce::Component
{
public:
    CueContainer();

    void setMarkerY (int y);
    int getMarkerY() const { return markerY; }

    void paint (juce::Graphics& g) override;
    void resized() override {}

private:
    int markerY = 0;
    juce::Path marker;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CueContainer)
};
