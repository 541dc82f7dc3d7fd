#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <functional>
#include <memory>

namespace test
{
/** What the fake input devices deliver; shared by the test and the devices it opens. */
struct FakeAudioInput
{
    /** Fills one block of the first input channel (the second stays silent). */
    std::function<void (float* dest, int numSamples)> render;

    /** When set, an opened device delivers blocks on a thread of its own, like a sound card;
        otherwise blocks arrive only through FakeAudioDevice::deliver. */
    bool stream = false;
    /** With stream: wait one block period between blocks (otherwise as fast as possible). */
    bool paced = false;
    /** Blocks delivered at once inside start(), on the thread that starts the device (some
        drivers call back before start returns). */
    int blocksOnStart = 0;

    /** What opening a device answers: an error for any open, for one sample rate or for one
        buffer size (none when empty or 0). */
    juce::String openError;
    double refusedSampleRate = 0.0;
    int refusedBufferSize = 0;

    /** Input channels of the devices opened from now on: 2 ("In 1", "In 2") or 1 ("In 1"). */
    int numInputChannels = 2;
};

/** An input device without hardware: channels "In 1" and "In 2", outputs "Left" and "Right",
    44.1 or 48 kHz (48 kHz unless asked otherwise). Stopping waits for a block in progress, as a
    real device does. */
class FakeAudioDevice : public juce::AudioIODevice, private juce::Thread
{
public:
    FakeAudioDevice (const juce::String& inputName, const juce::String& outputName,
                     std::shared_ptr<FakeAudioInput> input, const juce::String& deviceTypeName = "Fake");
    ~FakeAudioDevice() override;

    juce::StringArray getOutputChannelNames() override;
    juce::StringArray getInputChannelNames() override;
    juce::Array<double> getAvailableSampleRates() override { return { 44100.0, 48000.0 }; }
    juce::Array<int> getAvailableBufferSizes() override { return { 64, 256, 480, 512, 1024 }; }
    int getDefaultBufferSize() override { return 512; }

    juce::String open (const juce::BigInteger& inputChannels, const juce::BigInteger& outputChannels,
                       double sampleRate, int bufferSizeSamples) override;
    void close() override;
    bool isOpen() override { return opened; }
    void start (juce::AudioIODeviceCallback* callback) override;
    void stop() override;
    bool isPlaying() override;
    juce::String getLastError() override { return {}; }

    int getCurrentBufferSizeSamples() override { return bufferSize; }
    double getCurrentSampleRate() override { return sampleRate; }
    int getCurrentBitDepth() override { return 32; }
    juce::BigInteger getActiveOutputChannels() const override { return activeOutputs; }
    juce::BigInteger getActiveInputChannels() const override { return activeInputs; }
    int getOutputLatencyInSamples() override { return 0; }
    int getInputLatencyInSamples() override { return 0; }

    /** Delivers one block on the calling thread; false when the device is not playing. */
    bool deliver (int numSamples);

    const juce::String inputName, outputName;

private:
    void run() override;

    std::shared_ptr<FakeAudioInput> input;
    juce::CriticalSection callbackLock;
    juce::AudioIODeviceCallback* callback = nullptr;
    juce::AudioBuffer<float> inputBuffer { 2, 4096 }, outputBuffer { 2, 4096 };
    juce::BigInteger activeInputs, activeOutputs;
    int bufferSize = 512;
    double sampleRate = 48000.0;
    bool opened = false;
};

/** A device type ("Fake" unless named otherwise) with inputs "Fake In A" (the default) and
    "Fake In B" and the output "Fake Out". */
class FakeAudioDeviceType : public juce::AudioIODeviceType
{
public:
    explicit FakeAudioDeviceType (std::shared_ptr<FakeAudioInput> input, const juce::String& deviceTypeName = "Fake");

    void scanForDevices() override {}
    juce::StringArray getDeviceNames (bool wantInputNames) const override;
    int getDefaultDeviceIndex (bool) const override { return 0; }
    int getIndexOfDevice (juce::AudioIODevice* device, bool asInput) const override;
    bool hasSeparateInputsAndOutputs() const override { return true; }
    juce::AudioIODevice* createDevice (const juce::String& outputName, const juce::String& inputName) override;

private:
    std::shared_ptr<FakeAudioInput> input;
};

/** A device manager that knows only fake device types ("Fake", or the given names), so tests do
    not depend on the machine's sound cards or sound servers. */
class FakeDeviceManager : public juce::AudioDeviceManager
{
public:
    explicit FakeDeviceManager (std::shared_ptr<FakeAudioInput> in, juce::StringArray names = { "Fake" })
        : input (std::move (in)), typeNames (std::move (names))
    {
    }

    FakeAudioDevice* getFakeDevice() { return dynamic_cast<FakeAudioDevice*> (getCurrentAudioDevice()); }

protected:
    void createAudioDeviceTypes (juce::OwnedArray<juce::AudioIODeviceType>& types) override
    {
        for (const auto& name : typeNames)
            types.add (new FakeAudioDeviceType (input, name));
    }

private:
    std::shared_ptr<FakeAudioInput> input;
    juce::StringArray typeNames;
};
}
