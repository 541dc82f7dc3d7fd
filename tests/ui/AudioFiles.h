#pragma once

#include <juce_audio_formats/juce_audio_formats.h>
#include <functional>

namespace test
{
/** Writes a mono file with the format's own writer; the sample function gives each value. */
inline bool writeAudio (juce::AudioFormat& format, const juce::File& file, double rate, int numSamples,
                        const std::function<float (int)>& sample, int bits = 16)
{
    file.deleteFile();
    std::unique_ptr<juce::OutputStream> out = file.createOutputStream();
    if (out == nullptr)
        return false;
    std::unique_ptr<juce::AudioFormatWriter> writer (format.createWriterFor (out.get(), rate, 1, bits, {}, 0));
    if (writer == nullptr)
        return false;
    out.release(); // the writer owns the stream now

    juce::AudioBuffer<float> block (1, 4096);
    for (int done = 0; done < numSamples;)
    {
        const auto n = juce::jmin (4096, numSamples - done);
        for (int i = 0; i < n; ++i)
            block.setSample (0, i, sample (done + i));
        if (! writer->writeFromAudioSampleBuffer (block, 0, n))
            return false;
        done += n;
    }
    return true;
}

/** A sine at half scale, one per second of 1 kHz, for files that only need to be readable. */
inline float quietSine (int i) { return 0.5f * std::sin ((float) i * 0.1f); }

/** An MPEG-1 layer III file of silent mono frames (128 kbit/s, 44.1 kHz), made by hand: no
    encoder is needed to check that the decoder reads it. Each frame holds 1152 samples. */
inline bool writeSilentMp3 (const juce::File& file, int numFrames)
{
    constexpr int frameBytes = 417; // 144 * 128000 / 44100, no padding
    juce::MemoryBlock data;
    for (int f = 0; f < numFrames; ++f)
    {
        char frame[frameBytes] = {};
        frame[0] = (char) 0xff; // sync, MPEG-1, layer III, no CRC
        frame[1] = (char) 0xfb;
        frame[2] = (char) 0x90; // 128 kbit/s, 44.1 kHz
        frame[3] = (char) 0xc0; // mono
        // Side information and main data all zero: every granule decodes to silence.
        data.append (frame, (size_t) frameBytes);
    }
    return file.replaceWithData (data.getData(), data.getSize());
}
}
