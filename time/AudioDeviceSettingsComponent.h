#pragma once

#include "time/SimpleLevelMeter.h"
#include "time/StereoChannelSelectorComponent.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** The input rows of the audio page for one device type: the input device, its channel, a
    level meter and, behind "Advanced Settings", the sample rate and the buffer size. Every
    choice goes to the device manager at once; the rows follow each of its change messages. */
class AudioDeviceSettingsComponent : public juce::Component, private juce::ChangeListener
{
public:
    AudioDeviceSettingsComponent (juce::AudioIODeviceType& type, juce::AudioDeviceManager& deviceManager);
    ~AudioDeviceSettingsComponent() override;

    /** Brings every row in line with the device manager's open device. */
    void updateAllControls();

    /** Lays the rows out on the 27 px grid and sets the own height to the rows' total. */
    void resized() override;

    static constexpr int rowHeight = 27;
    static constexpr int labelWidth = 200;
    static constexpr int noInputId = -1;

    // The rows that exist at the moment (null otherwise): for the owner's tests and layout.
    juce::ComboBox* getInputComboBox() const { return inputCombo.get(); }
    juce::ComboBox* getSampleRateComboBox() const { return sampleRateCombo.get(); }
    juce::ComboBox* getBufferSizeComboBox() const { return bufferSizeCombo.get(); }
    juce::Label* getInputLabel() const { return inputLabel.get(); }
    juce::Label* getAdvancedLabel() const { return advancedLabel.get(); }
    juce::Label* getSampleRateLabel() const { return sampleRateLabel.get(); }
    juce::Label* getBufferSizeLabel() const { return bufferSizeLabel.get(); }
    StereoChannelSelectorComponent* getChannelSelector() const { return channelSelector.get(); }
    SimpleLevelMeter* getLevelMeter() const { return levelMeter.get(); }
    juce::TextButton* getAdvancedToggle() const { return advancedToggle.get(); }

private:
    void changeListenerCallback (juce::ChangeBroadcaster*) override { updateAllControls(); }

    void updateInputsComboBox (juce::ComboBox& combo);
    void selectCurrentInput (juce::ComboBox& combo);
    void updateSampleRateComboBox (juce::AudioIODevice& device);
    void updateBufferSizeComboBox (juce::AudioIODevice& device);
    void applyInputDevice();
    void applySampleRate();
    void applyBufferSize();
    void toggleAdvancedSettings();
    void deleteAdvancedRows();

    static void showError (const juce::String& title, const juce::String& error);

    juce::AudioIODeviceType& type;
    juce::AudioDeviceManager& deviceManager;

    std::unique_ptr<juce::ComboBox> inputCombo, sampleRateCombo, bufferSizeCombo;
    std::unique_ptr<juce::Label> inputLabel, advancedLabel, sampleRateLabel, bufferSizeLabel;
    std::unique_ptr<StereoChannelSelectorComponent> channelSelector;
    std::unique_ptr<SimpleLevelMeter> levelMeter;
    std::unique_ptr<juce::TextButton> advancedToggle;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioDeviceSettingsComponent)
};
