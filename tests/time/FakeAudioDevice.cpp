#include "FakeAudioDevice.h"

namespace test
{
FakeAudioDevice::FakeAudioDevice (const juce::String& in, const juce::String& out, std::shared_ptr<FakeAudioInput> i,
                                  const juce::String& deviceTypeName)
    : juce::AudioIODevice (out.isEmpty() ? in : out, deviceTypeName),
      juce::Thread ("Fake audio"),
      inputName (in),
      outputName (out),
      input (std::move (i))
{
}

FakeAudioDevice::~FakeAudioDevice()
{
    close();
}

juce::StringArray FakeAudioDevice::getOutputChannelNames()
{
    return outputName.isEmpty() ? juce::StringArray() : juce::StringArray ("Left", "Right");
}

juce::StringArray FakeAudioDevice::getInputChannelNames()
{
    if (inputName.isEmpty())
        return {};
    return input->numInputChannels == 1 ? juce::StringArray ("In 1") : juce::StringArray ("In 1", "In 2");
}

juce::String FakeAudioDevice::open (const juce::BigInteger& ins, const juce::BigInteger& outs, double rate, int size)
{
    close();
    if (input->openError.isNotEmpty())
        return input->openError;
    if (rate > 0.0 && juce::approximatelyEqual (rate, input->refusedSampleRate))
        return "Rate refused";
    if (size > 0 && size == input->refusedBufferSize)
        return "Size refused";

    if (getAvailableSampleRates().contains (rate))
        sampleRate = rate;
    activeInputs = inputName.isEmpty() ? juce::BigInteger() : ins;
    activeInputs.setRange (getInputChannelNames().size(), activeInputs.getHighestBit() + 1, false);
    activeOutputs = outputName.isEmpty() ? juce::BigInteger() : outs;
    activeOutputs.setRange (2, activeOutputs.getHighestBit() + 1, false);
    bufferSize = size > 0 ? juce::jmin (size, 4096) : 512;
    opened = true;
    return {};
}

void FakeAudioDevice::close()
{
    stop();
    opened = false;
}

void FakeAudioDevice::start (juce::AudioIODeviceCallback* newCallback)
{
    if (! opened || newCallback == nullptr)
        return;

    stop();
    newCallback->audioDeviceAboutToStart (this);
    {
        const juce::ScopedLock sl (callbackLock);
        callback = newCallback;
    }

    for (int i = 0; i < input->blocksOnStart; ++i)
        deliver (bufferSize);

    if (input->stream)
        startThread();
}

void FakeAudioDevice::stop()
{
    signalThreadShouldExit();

    juce::AudioIODeviceCallback* old = nullptr;
    {
        // Waits for a block in progress, as real devices do.
        const juce::ScopedLock sl (callbackLock);
        std::swap (old, callback);
    }
    stopThread (-1);

    if (old != nullptr)
        old->audioDeviceStopped();
}

bool FakeAudioDevice::isPlaying()
{
    const juce::ScopedLock sl (callbackLock);
    return callback != nullptr;
}

bool FakeAudioDevice::deliver (int numSamples)
{
    const juce::ScopedLock sl (callbackLock);
    if (callback == nullptr)
        return false;

    numSamples = juce::jmin (numSamples, inputBuffer.getNumSamples());
    inputBuffer.clear();
    if (input->render)
        input->render (inputBuffer.getWritePointer (0), numSamples);

    const float* ins[2] = {};
    int numIns = 0;
    for (int ch = 0; ch < 2; ++ch)
        if (activeInputs[ch])
            ins[numIns++] = inputBuffer.getReadPointer (ch);

    float* outs[2] = {};
    int numOuts = 0;
    for (int ch = 0; ch < 2; ++ch)
        if (activeOutputs[ch])
            outs[numOuts++] = outputBuffer.getWritePointer (ch);

    callback->audioDeviceIOCallbackWithContext (ins, numIns, outs, numOuts, numSamples, {});
    return true;
}

void FakeAudioDevice::run()
{
    const double periodMs = 1000.0 * bufferSize / 48000.0;
    auto next = juce::Time::getMillisecondCounterHiRes();

    while (! threadShouldExit())
    {
        if (! deliver (bufferSize))
            return;

        if (input->paced)
        {
            next += periodMs;
            const auto wait = next - juce::Time::getMillisecondCounterHiRes();
            if (wait > 0)
                Thread::wait ((int) wait);
        }
        else
        {
            Thread::yield();
        }
    }
}

FakeAudioDeviceType::FakeAudioDeviceType (std::shared_ptr<FakeAudioInput> i, const juce::String& deviceTypeName)
    : juce::AudioIODeviceType (deviceTypeName), input (std::move (i))
{
}

juce::StringArray FakeAudioDeviceType::getDeviceNames (bool wantInputNames) const
{
    return wantInputNames ? juce::StringArray ("Fake In A", "Fake In B") : juce::StringArray ("Fake Out");
}

int FakeAudioDeviceType::getIndexOfDevice (juce::AudioIODevice* device, bool asInput) const
{
    auto* fake = dynamic_cast<FakeAudioDevice*> (device);
    if (fake == nullptr || fake->getTypeName() != getTypeName())
        return -1;
    return getDeviceNames (asInput).indexOf (asInput ? fake->inputName : fake->outputName);
}

juce::AudioIODevice* FakeAudioDeviceType::createDevice (const juce::String& outputName, const juce::String& inputName)
{
    if (inputName.isNotEmpty() && ! getDeviceNames (true).contains (inputName))
        return nullptr;
    if (outputName.isNotEmpty() && ! getDeviceNames (false).contains (outputName))
        return nullptr;
    return new FakeAudioDevice (inputName, outputName, input, getTypeName());
}
}
