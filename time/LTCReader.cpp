#include "time/LTCReader.h"

#include "time/LTCFrameAnalyser.h"
#include <ltc.h>
#include <cstring>

struct LTCReader::Decoder
{
    Decoder()
    {
        std::strcpy (stime.timezone, "+0000");
        ltc = ltc_decoder_create (1920, 32);
    }

    ~Decoder() { ltc_decoder_free (ltc); }

    LTCDecoder* ltc = nullptr;
    LTCFrameExt frame {};
    LTCFrameAnalyser analyser;
    SMPTETimecode stime {};

    JUCE_DECLARE_NON_COPYABLE (Decoder)
};

LTCReader::LTCReader (std::unique_ptr<juce::AudioDeviceManager> deviceManager)
    : source (std::move (deviceManager)), decoder (std::make_unique<Decoder>())
{
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
    decoder.reset();
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

    auto& d = *decoder;
    // The decoder only reads the samples; its interface is not const-correct.
    ltc_decoder_write_float (d.ltc, const_cast<float*> (samples), (size_t) numSamples, streamPosition);
    streamPosition += numSamples;

    while (ltc_decoder_read (d.ltc, &d.frame) != 0)
    {
        int detected = 0;
        if (d.analyser.detectFps (detected, d.frame))
            fps = detected;

        if (d.analyser.detectDiscontinuity (d.frame))
        {
            callSignalInterrupted();
            continue;
        }

        ltc_frame_to_time (&d.stime, &d.frame.ltc, 1);
        timecode = Timecode::fromSmpte (d.stime);
        millis = timecode.toMillis (fps);
        lastFrameEnd = d.frame.off_end;
        callTimeChanged();
    }
}
