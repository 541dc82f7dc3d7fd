#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Frame-rate choice: "24 FPS", "25 FPS", "30 FPS"; any other rate can be shown as text. */
class FpsComboBox : public juce::ComboBox
{
public:
    FpsComboBox();

    /** Shows "<fps> FPS" without notification; selects the matching item when there is one. */
    void setFps (int fps);
    /** The leading number of the shown text (0 when there is none). */
    int getFps() const;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FpsComboBox)
};
