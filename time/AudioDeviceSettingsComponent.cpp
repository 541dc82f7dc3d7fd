#include "time/AudioDeviceSettingsComponent.h"

#include "ui/kit/DialogPresenter.h"

namespace
{
std::unique_ptr<juce::Label> makeLabel (const juce::String& text)
{
    auto label = std::make_unique<juce::Label>();
    label->setText (text, juce::dontSendNotification);
    return label;
}
}

AudioDeviceSettingsComponent::AudioDeviceSettingsComponent (juce::AudioIODeviceType& t, juce::AudioDeviceManager& dm)
    : type (t), deviceManager (dm)
{
    type.scanForDevices();
    deviceManager.addChangeListener (this);
    updateAllControls();
}

AudioDeviceSettingsComponent::~AudioDeviceSettingsComponent()
{
    deviceManager.removeChangeListener (this);
    advancedToggle.reset();
    levelMeter.reset();
    channelSelector.reset();
    deleteAdvancedRows();
    inputLabel.reset();
    inputCombo.reset();
}

void AudioDeviceSettingsComponent::updateAllControls()
{
    if (inputCombo == nullptr)
    {
        inputCombo = std::make_unique<juce::ComboBox>();
        inputCombo->onChange = [this] { applyInputDevice(); };
        addAndMakeVisible (*inputCombo);
        inputLabel = makeLabel ("Input");
        addAndMakeVisible (*inputLabel);
    }

    updateInputsComboBox (*inputCombo);
    selectCurrentInput (*inputCombo);

    auto* device = deviceManager.getCurrentAudioDevice();
    if (device == nullptr)
    {
        // The advanced rows stay as they were until a device is chosen again.
        channelSelector.reset();
        levelMeter.reset();
        resized();
        return;
    }

    const auto channelNames = device->getInputChannelNames();
    if (channelNames.size() < 2)
    {
        channelSelector.reset();
    }
    else
    {
        channelSelector = std::make_unique<StereoChannelSelectorComponent> ("Channel:");
        addAndMakeVisible (*channelSelector);
        channelSelector->refresh (deviceManager);
    }

    if (channelNames.isEmpty())
    {
        levelMeter.reset();
    }
    else
    {
        levelMeter = std::make_unique<SimpleLevelMeter> (deviceManager);
        addAndMakeVisible (*levelMeter);
    }

    if (inputCombo->getSelectedId() >= 0)
    {
        if (advancedToggle == nullptr)
        {
            advancedToggle = std::make_unique<juce::TextButton> ("Show");
            advancedToggle->setClickingTogglesState (true);
            advancedToggle->onClick = [this] { toggleAdvancedSettings(); };
            addAndMakeVisible (*advancedToggle);
            advancedLabel = makeLabel ("Advanced Settings");
            addAndMakeVisible (*advancedLabel);
        }
        updateSampleRateComboBox (*device);
        updateBufferSizeComboBox (*device);
    }
    else
    {
        deleteAdvancedRows();
        advancedToggle.reset();
        advancedLabel.reset();
    }

    resized();
}

void AudioDeviceSettingsComponent::deleteAdvancedRows()
{
    sampleRateCombo.reset();
    sampleRateLabel.reset();
    bufferSizeCombo.reset();
    bufferSizeLabel.reset();
}

void AudioDeviceSettingsComponent::updateInputsComboBox (juce::ComboBox& combo)
{
    combo.clear (juce::dontSendNotification);
    // Ids follow the type's own list, so the type's device index finds the entry.
    const auto names = type.getDeviceNames (true);
    for (int i = 0; i < names.size(); ++i)
        if (names[i].isNotEmpty())
            combo.addItem (names[i], i + 1);
    combo.addSeparator();
    combo.addItem ("No Input", noInputId);
    combo.setSelectedId (noInputId, juce::dontSendNotification);
}

void AudioDeviceSettingsComponent::selectCurrentInput (juce::ComboBox& combo)
{
    int id = noInputId;
    if (auto* device = deviceManager.getCurrentAudioDevice())
        if (const int index = type.getIndexOfDevice (device, true); index >= 0)
            id = index + 1;
    combo.setSelectedId (id, juce::dontSendNotification);
}

void AudioDeviceSettingsComponent::updateSampleRateComboBox (juce::AudioIODevice& device)
{
    if (sampleRateCombo != nullptr)
    {
        // The announcement re-applies whatever is selected after the refill: a no-op unless
        // the device changed its rate behind the list's back.
        sampleRateCombo->clear (juce::sendNotificationAsync);
        sampleRateCombo->onChange = nullptr;
    }
    else
    {
        sampleRateCombo = std::make_unique<juce::ComboBox>();
        addAndMakeVisible (*sampleRateCombo);
        sampleRateLabel = makeLabel ("Sample rate");
        addAndMakeVisible (*sampleRateLabel);
    }

    for (const auto rate : device.getAvailableSampleRates())
        if (const int r = juce::roundToInt (rate); r > 0)
            sampleRateCombo->addItem (juce::String (r) + " Hz", r);

    sampleRateCombo->setText (juce::String (juce::roundToInt (device.getCurrentSampleRate())) + " Hz",
                              juce::dontSendNotification);
    sampleRateCombo->onChange = [this] { applySampleRate(); };
}

void AudioDeviceSettingsComponent::updateBufferSizeComboBox (juce::AudioIODevice& device)
{
    if (bufferSizeCombo != nullptr)
    {
        bufferSizeCombo->clear (juce::sendNotificationAsync);
        bufferSizeCombo->onChange = nullptr;
    }
    else
    {
        bufferSizeCombo = std::make_unique<juce::ComboBox>();
        addAndMakeVisible (*bufferSizeCombo);
        bufferSizeLabel = makeLabel ("Buffer Size");
        addAndMakeVisible (*bufferSizeLabel);
    }

    const auto currentRate = device.getCurrentSampleRate();
    const auto rate = currentRate > 0.0 ? currentRate : 48000.0;
    for (const auto size : device.getAvailableBufferSizes())
        if (size > 0)
            bufferSizeCombo->addItem (juce::String (size) + " samples ("
                                          + juce::String (size * 1000.0 / rate, 1) + " ms)",
                                      size);

    bufferSizeCombo->setSelectedId (device.getCurrentBufferSizeSamples(), juce::dontSendNotification);
    bufferSizeCombo->onChange = [this] { applyBufferSize(); };
}

void AudioDeviceSettingsComponent::applyInputDevice()
{
    auto setup = deviceManager.getAudioDeviceSetup();
    setup.inputDeviceName = inputCombo->getSelectedId() < 0 ? juce::String() : inputCombo->getText();
    if (! type.hasSeparateInputsAndOutputs())
        setup.outputDeviceName = setup.inputDeviceName;
    setup.useDefaultInputChannels = true;

    auto error = deviceManager.setAudioDeviceSetup (setup, true);

    // After "No input" on the channel row the device manager's default is no channel at all,
    // so a newly chosen input would stay silent, with no channel row to fix it on a one-channel
    // device. Such an input gets its first channel.
    if (error.isEmpty())
    {
        auto* device = deviceManager.getCurrentAudioDevice();
        auto opened = deviceManager.getAudioDeviceSetup();
        if (device != nullptr && ! device->getInputChannelNames().isEmpty() && opened.inputChannels.isZero())
        {
            opened.useDefaultInputChannels = false;
            opened.inputChannels.setBit (0);
            error = deviceManager.setAudioDeviceSetup (opened, true);
        }
    }

    selectCurrentInput (*inputCombo);
    resized();

    if (error.isNotEmpty())
        showError ("Error opening input!", error);
}

void AudioDeviceSettingsComponent::applySampleRate()
{
    const int id = sampleRateCombo->getSelectedId();
    if (id <= 0)
        return;

    auto setup = deviceManager.getAudioDeviceSetup();
    setup.sampleRate = (double) id;
    const auto error = deviceManager.setAudioDeviceSetup (setup, true);
    if (error.isNotEmpty())
        showError ("Error setting sample rate!", error);
}

void AudioDeviceSettingsComponent::applyBufferSize()
{
    const int id = bufferSizeCombo->getSelectedId();
    if (id <= 0)
        return;

    auto setup = deviceManager.getAudioDeviceSetup();
    setup.bufferSize = id;
    const auto error = deviceManager.setAudioDeviceSetup (setup, true);
    if (error.isNotEmpty())
        showError ("Error setting buffer size!", error);
}

void AudioDeviceSettingsComponent::showError (const juce::String& title, const juce::String& error)
{
    DialogPresenter::getInstance()->show (title, error, { "OK" });
}

void AudioDeviceSettingsComponent::toggleAdvancedSettings()
{
    // The trailing blanks set the toggled texts apart from the first "Show".
    advancedToggle->setButtonText (advancedToggle->getToggleState() ? "Hide " : "Show ");
    resized();
}

void AudioDeviceSettingsComponent::resized()
{
    const int width = getWidth();
    const int left = juce::jmin (width, labelWidth);
    const int right = width - left;
    const int fieldWidth = juce::jmax (width - labelWidth, 0);

    if (inputCombo != nullptr)
    {
        inputLabel->setBounds (0, 0, left, rowHeight);
        inputCombo->setBounds (left, 0, right, rowHeight);
    }
    int y = rowHeight;

    if (channelSelector != nullptr)
    {
        channelSelector->setBounds (labelWidth, 32, fieldWidth, rowHeight);
        y = 59;
    }

    if (levelMeter != nullptr)
    {
        levelMeter->setBounds (labelWidth, y + 5, fieldWidth, rowHeight);
        y += 32;
    }

    const bool showAdvanced = advancedToggle != nullptr && advancedToggle->getToggleState();
    if (advancedToggle != nullptr)
    {
        constexpr int gap = 10;
        advancedLabel->setBounds (0, y + gap, left, rowHeight);
        advancedToggle->setBounds (left, y + gap, juce::jmax (right / 2, 0), rowHeight);
        y += 37;
    }

    auto placeRow = [&] (juce::Label* label, juce::ComboBox* combo)
    {
        if (label == nullptr || combo == nullptr)
            return;
        label->setVisible (showAdvanced);
        combo->setVisible (showAdvanced);
        if (! showAdvanced)
            return;
        label->setBounds (0, y + 5, left, rowHeight);
        combo->setBounds (left, y + 5, right, rowHeight);
        y += 32;
    };
    placeRow (sampleRateLabel.get(), sampleRateCombo.get());
    placeRow (bufferSizeLabel.get(), bufferSizeCombo.get());

    // The owner places this panel by its content height.
    setBounds (getX(), getY(), width, y);
}
