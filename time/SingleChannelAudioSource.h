#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <functional>
#include <memory>

/** The application's one audio input: a device manager opened with one input channel and no
    outputs, a player that pulls the device's blocks through this source, and a callback that
    receives every block on the audio thread. The device state lives in "audio.xml" in the
    preferences folder: read when the device is first opened, rewritten at every change. */
class SingleChannelAudioSource : public juce::AudioSource, private juce::ChangeListener
{
public:
    using BlockCallback = std::function<void (const juce::AudioSourceChannelInfo&)>;

    /** Opens nothing yet: the owner installs its callback first and then calls
        openSavedDevice. A device manager can be handed in (tests bring their own device types). */
    explicit SingleChannelAudioSource (std::unique_ptr<juce::AudioDeviceManager> manager = nullptr);
    ~SingleChannelAudioSource() override;

    /** Replaces the block callback; safe while blocks arrive (a block in progress finishes first). */
    void setCallback (BlockCallback newCallback);

    juce::AudioDeviceManager* getAudioDeviceManager() const { return deviceManager.get(); }

    /** Reads "audio.xml" (missing, empty or broken counts as none) and opens the input from it. */
    void openSavedDevice();

    /** Opens the input from a saved state, or, without one, only records that the device wants
        numInputChannels inputs and no outputs, so that nothing opens until an input is chosen.
        Errors are not shown: the user picks a device on the audio page. */
    void openDevice (int numInputChannels, const juce::XmlElement* savedState);

    /** Detaches the source from the device; when this returns no block reaches the callback. */
    void stop();

    /** "preferences/audio.xml" in the settings folder. */
    static juce::File getSettingsFile();

    void prepareToPlay (int, double) override {}
    void releaseResources() override {}
    void getNextAudioBlock (const juce::AudioSourceChannelInfo& info) override;

private:
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    std::unique_ptr<juce::AudioDeviceManager> deviceManager;
    BlockCallback callback;
    juce::AudioSourcePlayer player;
    const juce::File settingsFile;
    bool attached = false;

    JUCE_DECLARE_NON_COPYABLE (SingleChannelAudioSource)
};
