#include "time/SingleChannelAudioSource.h"

#include "document/PreferencesHandler.h"
#include "document/XmlFile.h"

SingleChannelAudioSource::SingleChannelAudioSource (std::unique_ptr<juce::AudioDeviceManager> manager)
    : deviceManager (manager != nullptr ? std::move (manager) : std::make_unique<juce::AudioDeviceManager>()),
      settingsFile (getSettingsFile())
{
    deviceManager->addChangeListener (this);
}

SingleChannelAudioSource::~SingleChannelAudioSource()
{
    stop();
    deviceManager->removeChangeListener (this);
    callback = nullptr;
}

juce::File SingleChannelAudioSource::getSettingsFile()
{
    return PreferencesHandler::getSettingsFolder().getChildFile ("preferences").getChildFile ("audio.xml");
}

void SingleChannelAudioSource::setCallback (BlockCallback newCallback)
{
    // The player holds its lock around every block, so detaching waits for one in progress.
    if (attached)
        player.setSource (nullptr);

    std::swap (callback, newCallback);

    if (attached)
        player.setSource (this);
}

void SingleChannelAudioSource::openSavedDevice()
{
    const auto savedState = XmlFile::read (settingsFile);
    openDevice (1, savedState.get());
}

void SingleChannelAudioSource::openDevice (int numInputChannels, const juce::XmlElement* savedState)
{
    // Everything that handles blocks is in place before a device can start.
    player.setSource (this);
    if (! attached)
        deviceManager->addAudioCallback (&player);
    attached = true;

    if (savedState != nullptr && savedState->hasTagName ("DEVICESETUP"))
    {
        deviceManager->initialise (numInputChannels, 0, savedState, true);
        return;
    }

    // Without a saved state the manager must still learn that it wants this many inputs and no
    // outputs; otherwise the device picked later would open with the framework's default of no
    // inputs and two outputs. A setup without device names records that and opens nothing.
    const juce::XmlElement noDevice ("DEVICESETUP");
    deviceManager->initialise (numInputChannels, 0, &noDevice, false);
}

void SingleChannelAudioSource::stop()
{
    player.setSource (nullptr);
    if (attached)
        deviceManager->removeAudioCallback (&player);
    attached = false;
}

void SingleChannelAudioSource::getNextAudioBlock (const juce::AudioSourceChannelInfo& info)
{
    if (info.buffer != nullptr && info.buffer->getNumChannels() > 0 && callback)
        callback (info);
}

void SingleChannelAudioSource::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source != deviceManager.get())
        return;

    if (! settingsFile.existsAsFile())
        settingsFile.create();

    // The framework's own state file keeps its standard form: header, wrap 60, CR LF.
    if (const auto state = deviceManager->createStateXml())
        state->writeTo (settingsFile);
}
