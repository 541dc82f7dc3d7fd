#pragma once

#include "time/SingleChannelAudioSource.h"
#include "time/TimeDriver.h"
#include "time/Timecode.h"

#include <memory>

/** The time driver that follows linear timecode on the audio input: feeds the first input
    channel of every block to the decoder, turns each decoded frame into milliseconds and
    tells its listeners on the audio thread. Reports an interrupted signal when the input
    level falls away and when a frame does not continue the one before it. */
class LTCReader : public TimeDriver
{
public:
    /** A device manager can be handed in (tests bring their own device types). */
    explicit LTCReader (std::unique_ptr<juce::AudioDeviceManager> deviceManager = nullptr);
    ~LTCReader() override;

    juce::String getName() const override { return "LTC"; }
    juce::Array<int> getSupportedFps() const override { return { 24, 25, 30 }; }

    /** Detaches the audio input; when this returns no block is being decoded. */
    void stop() override;

    /** Decodes one block of samples on the audio thread. startSample is the block's offset in
        its buffer; the decoder is told the position in the whole stream instead. */
    void processBlock (const float* samples, int numSamples, int startSample);

    juce::AudioDeviceManager* getAudioDeviceManager() const { return source.getAudioDeviceManager(); }

    /** Where in the input stream (samples since the input opened) the last accepted frame
        ended; -1 before the first. */
    juce::int64 getLastFrameEnd() const { return lastFrameEnd.load(); }

    /** A linear input level above this counts as a signal. */
    static constexpr double signalThreshold = 0.1;

private:
    SingleChannelAudioSource source;
    // The decoding library's state, kept out of this header; audio thread only.
    struct Decoder;
    std::unique_ptr<Decoder> decoder;
    Timecode timecode;
    juce::AudioDeviceManager::LevelMeter::Ptr levelMeter;
    bool hadSignal = false;

    // Samples handed to the decoder so far; its frame positions count from the stream's start.
    juce::int64 streamPosition = 0;
    std::atomic<juce::int64> lastFrameEnd { -1 };

    JUCE_DECLARE_NON_COPYABLE (LTCReader)
};
