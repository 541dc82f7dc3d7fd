#include "time/StereoChannelSelectorComponent.h"

StereoChannelSelectorComponent::StereoChannelSelectorComponent (const juce::String& labelText)
{
    label.setText (labelText, juce::dontSendNotification);
    addAndMakeVisible (label);
    addAndMakeVisible (combo);
}

StereoChannelSelectorComponent::~StereoChannelSelectorComponent()
{
    combo.onChange = nullptr;
}

void StereoChannelSelectorComponent::refresh (juce::AudioDeviceManager& deviceManager)
{
    combo.clear (juce::dontSendNotification);
    auto* device = deviceManager.getCurrentAudioDevice();
    if (device == nullptr)
        return;

    const auto names = device->getInputChannelNames();
    for (int i = 0; i < names.size(); ++i)
        combo.addItem (names[i], i + 1);
    combo.addSeparator();
    combo.addItem ("No input", noInputId);
    combo.onChange = [this, &deviceManager] { applySelection (deviceManager); };
    combo.setSelectedId (noInputId, juce::dontSendNotification);

    const auto setup = deviceManager.getAudioDeviceSetup();
    if (setup.useDefaultInputChannels && ! names.isEmpty())
    {
        // The handler runs later and makes the displayed channel the stored choice.
        combo.setText (names[0], juce::sendNotificationAsync);
    }
    else if (const int highest = setup.inputChannels.getHighestBit(); highest >= 0)
    {
        combo.setSelectedId (highest + 1, juce::dontSendNotification);
    }
}

void StereoChannelSelectorComponent::applySelection (juce::AudioDeviceManager& deviceManager)
{
    auto setup = deviceManager.getAudioDeviceSetup();
    setup.useDefaultInputChannels = false;
    setup.inputChannels.setRange (0, 512, false);

    if (const int id = combo.getSelectedId(); id > 0)
        setup.inputChannels.setBit (id - 1);

    // A refused channel needs no dialog: the next refresh shows what the device has open.
    deviceManager.setAudioDeviceSetup (setup, true);
}

void StereoChannelSelectorComponent::resized()
{
    const int w = getWidth();
    const int h = getHeight();
    const int half = w / 2;
    const int labelWidth = juce::jmin (w, (int) (half * 0.25));
    label.setBounds (0, 0, labelWidth, h);
    combo.setBounds (labelWidth, 0, juce::jmin (w - labelWidth, (int) (half * 0.75)), h);
}
