#pragma once

#include "time/AudioDeviceSettingsComponent.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** The audio page's panel: the device type ("Audio Device", only when there is more than one)
    over the input rows of the current type. Edits the given device manager, which it does not
    own and which must outlive it. */
class AudioSettingsComponent : public juce::Component, private juce::ChangeListener
{
public:
    explicit AudioSettingsComponent (juce::AudioDeviceManager& deviceManager);
    ~AudioSettingsComponent() override;

    /** Follows the device manager: the type row shows its current type, and the input rows are
        rebuilt when that type changed. */
    void updateAllControls();

    void resized() override;

    static constexpr int rowHeight = AudioDeviceSettingsComponent::rowHeight;
    static constexpr int labelWidth = AudioDeviceSettingsComponent::labelWidth;

    juce::Label* getTypeLabel() const { return typeLabel.get(); }
    juce::ComboBox* getTypeComboBox() const { return typeCombo.get(); }
    AudioDeviceSettingsComponent* getDevicePanel() const { return panel.get(); }

private:
    void changeListenerCallback (juce::ChangeBroadcaster*) override { updateAllControls(); }

    void createDeviceTypeSelector();
    void updateDeviceType();

    std::unique_ptr<juce::Label> typeLabel;
    std::unique_ptr<juce::ComboBox> typeCombo;
    std::unique_ptr<AudioDeviceSettingsComponent> panel;
    juce::AudioDeviceManager& deviceManager;
    juce::String currentTypeName;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioSettingsComponent)
};
