#include "time/LTCReader.h"

#include <cstring>

LTCReader::LTCReader (std::unique_ptr<juce::AudioDeviceManager> deviceManager)
    : source (std::move (deviceManager))
{
    std::strcpy (stime.timezone, "+0000");
    decoder = ltc_decoder_create (1920, 32);
    millis = timecode.toMillis (fps);

    // The block handler and the level meter are in place before the device can start.
    source.setCallback ([this] (const juce::AudioSourceChannelInfo& info)
    {
        processBlock (info.buffer->getReadPointer (0, info.startSample), info.numSamples, info.startSample);
    });
    levelMeter = source.getAudioDeviceManager()->getInputLevelGetter();
    fps = 30;

    source.openSavedDevice();
}

LTCReader::~LTCReader()
{
    stop();
    ltc_decoder_free (decoder);
    levelMeter = nullptr;
}

void LTCReader::stop()
{
    source.stop();
}

void LTCReader::processBlock (const float* samples, int numSamples, int /*startSample*/)
{
    if (samples == nullptr || numSamples <= 0)
        return;

    if (levelMeter != nullptr)
    {
        if (levelMeter->getCurrentLevel() > signalThreshold)
            hadSignal = true;
        else if (hadSignal)
        {
            hadSignal = false;
            callSignalInterrupted();
        }
    }

    // The decoder only reads the samples; its interface is not const-correct.
    ltc_decoder_write_float (decoder, const_cast<float*> (samples), (size_t) numSamples, streamPosition);
    streamPosition += numSamples;

    while (ltc_decoder_read (decoder, &frame) != 0)
    {
        int detected = 0;
        if (analyser.detectFps (detected, frame))
            fps = detected;

        if (analyser.detectDiscontinuity (frame))
        {
            callSignalInterrupted();
            continue;
        }

        ltc_frame_to_time (&stime, &frame.ltc, 1);
        timecode = Timecode::fromSmpte (stime);
        millis = timecode.toMillis (fps);
        lastFrameEnd = frame.off_end;
        callTimeChanged();
    }
}
