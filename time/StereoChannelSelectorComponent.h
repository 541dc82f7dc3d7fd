#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_gui_basics/juce_gui_basics.h>

/** A label and a chooser of the open device's input channel, one channel at a time, or
    "No input". A choice is applied to the device manager at once; its errors are not shown. */
class StereoChannelSelectorComponent : public juce::Component
{
public:
    explicit StereoChannelSelectorComponent (const juce::String& labelText);
    ~StereoChannelSelectorComponent() override;

    /** Lists the open device's input channels and selects the one in use. A device still on its
        default channels displays the first one and, a moment later, makes it the explicit choice. */
    void refresh (juce::AudioDeviceManager& deviceManager);

    /** Enables only the chosen channel (none with "No input"). */
    void applySelection (juce::AudioDeviceManager& deviceManager);

    void resized() override;

    juce::Label& getLabel() { return label; }
    juce::ComboBox& getComboBox() { return combo; }

    static constexpr int noInputId = -1;

private:
    juce::Label label;
    juce::ComboBox combo;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StereoChannelSelectorComponent)
};
