#include "time/AudioSettingsComponent.h"

AudioSettingsComponent::AudioSettingsComponent (juce::AudioDeviceManager& dm) : deviceManager (dm)
{
    createDeviceTypeSelector();
    updateAllControls();
    deviceManager.addChangeListener (this);
}

AudioSettingsComponent::~AudioSettingsComponent()
{
    deviceManager.removeChangeListener (this);
    panel.reset();
    typeCombo.reset();
    typeLabel.reset();
}

void AudioSettingsComponent::createDeviceTypeSelector()
{
    const auto& types = deviceManager.getAvailableDeviceTypes();
    if (types.size() <= 1)
        return;

    typeLabel = std::make_unique<juce::Label>();
    typeLabel->setText ("Audio Device", juce::dontSendNotification);
    addAndMakeVisible (*typeLabel);

    typeCombo = std::make_unique<juce::ComboBox>();
    for (int i = 0; i < types.size(); ++i)
        if (const auto name = types.getUnchecked (i)->getTypeName(); name.isNotEmpty())
            typeCombo->addItem (name, i + 1);
    typeCombo->onChange = [this] { updateDeviceType(); };
    addAndMakeVisible (*typeCombo);
}

void AudioSettingsComponent::updateDeviceType()
{
    const auto& types = deviceManager.getAvailableDeviceTypes();
    if (auto* type = types[typeCombo->getSelectedId() - 1])
    {
        panel.reset();
        deviceManager.setCurrentAudioDeviceType (type->getTypeName(), true);
        updateAllControls();
    }
}

void AudioSettingsComponent::updateAllControls()
{
    const auto typeName = deviceManager.getCurrentAudioDeviceType();
    if (typeCombo != nullptr)
        typeCombo->setText (typeName, juce::dontSendNotification);

    if (panel == nullptr || typeName != currentTypeName)
    {
        currentTypeName = typeName;
        const auto& types = deviceManager.getAvailableDeviceTypes();
        const int index = typeCombo != nullptr ? typeCombo->getSelectedId() - 1 : 0;
        if (auto* type = types[index])
        {
            panel = std::make_unique<AudioDeviceSettingsComponent> (*type, deviceManager);
            addAndMakeVisible (*panel);
        }
    }

    resized();
}

void AudioSettingsComponent::resized()
{
    const int width = getWidth();
    const int height = getHeight();
    int top = 0;

    if (typeCombo != nullptr)
    {
        const int left = juce::jmin (width, labelWidth);
        top = juce::jmin (height, rowHeight);
        typeLabel->setBounds (0, 0, left, top);
        typeCombo->setBounds (left, 0, width - left, top);
    }

    if (panel == nullptr)
        return;

    const int rest = height - top;
    const int gap = juce::jmin (rest, 10);

    // The panel sizes itself to its rows at this width first.
    panel->setBounds (0, top + gap, width, panel->getHeight());
    panel->resized();
    panel->setBounds (0, top + gap, width, juce::jmin (rest - gap, panel->getHeight()));
}
