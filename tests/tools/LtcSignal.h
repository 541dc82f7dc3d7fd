#pragma once

#include <ltc.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

/** Linear timecode made with libltc's encoder: an endless stream of frames from a start time,
    as float samples in -1..1. The tests, the benchmarks and the JACK player all use it, so no
    recorded signal is needed. Not thread-safe: one thread renders. */
class LtcSignal
{
public:
    struct Time
    {
        int hours = 0, minutes = 0, seconds = 0, frames = 0;
    };

    LtcSignal (double sampleRate, int fps, Time start, double volumeDbfs = -3.0)
        : framesPerSecond (fps), samplesPerFrame ((int) (sampleRate / fps)), startTime (start)
    {
        const auto standard = fps == 25 ? LTC_TV_625_50 : (fps == 24 ? LTC_TV_FILM_24 : LTC_TV_525_60);
        encoder = ltc_encoder_create (sampleRate, fps, standard, 0);
        ltc_encoder_set_volume (encoder, volumeDbfs);
        jumpTo (start);
    }

    ~LtcSignal() { ltc_encoder_free (encoder); }

    LtcSignal (const LtcSignal&) = delete;
    LtcSignal& operator= (const LtcSignal&) = delete;

    /** The next frame to be encoded is this one; what is already encoded still plays out. */
    void jumpTo (Time t)
    {
        SMPTETimecode st {};
        std::strcpy (st.timezone, "+0000");
        st.years = 0;
        st.months = 1;
        st.days = 1;
        st.hours = (unsigned char) t.hours;
        st.mins = (unsigned char) t.minutes;
        st.secs = (unsigned char) t.seconds;
        st.frame = (unsigned char) t.frames;
        ltc_encoder_set_timecode (encoder, &st);
    }

    /** Continues from the given sample of the stream (counted from the start time), as if
        everything before it had been played: a source locked to a clock skips what it missed. */
    void seek (int64_t sample)
    {
        const int64_t framesPerDay = 24LL * 3600 * framesPerSecond;
        const int64_t startFrame = ((startTime.hours * 60LL + startTime.minutes) * 60 + startTime.seconds) * framesPerSecond
                                   + startTime.frames;
        const int64_t frame = (startFrame + sample / samplesPerFrame) % framesPerDay;
        const int perSecond = framesPerSecond;
        jumpTo ({ (int) (frame / perSecond / 3600), (int) (frame / perSecond / 60 % 60), (int) (frame / perSecond % 60),
                  (int) (frame % perSecond) });
        encodeNextFrame();
        readPos = std::min ((size_t) (sample % samplesPerFrame), frameSamples.size());
        samplesRendered = sample;
    }

    /** Plays the following frames backwards (each frame reversed, counting down). */
    void setReverse (bool shouldReverse) { reverse = shouldReverse; }

    /** Writes zeros instead of frames while set; the timecode keeps counting. */
    void setSilent (bool shouldBeSilent) { silent = shouldBeSilent; }

    /** Continues the stream into dest. */
    void render (float* dest, int numSamples)
    {
        while (numSamples > 0)
        {
            if (readPos >= frameSamples.size())
                encodeNextFrame();

            const auto n = std::min<size_t> ((size_t) numSamples, frameSamples.size() - readPos);
            if (silent)
                std::fill (dest, dest + n, 0.0f);
            else
                std::copy (frameSamples.begin() + (long) readPos, frameSamples.begin() + (long) (readPos + n), dest);

            readPos += n;
            dest += n;
            numSamples -= (int) n;
            samplesRendered += (int64_t) n;
        }
    }

    /** The time of the frame whose samples are being written now. */
    Time currentFrame() const { return playing; }
    int64_t getSamplesRendered() const { return samplesRendered; }
    int getFps() const { return framesPerSecond; }

    /** Milliseconds of a time at this signal's rate. */
    double toMillis (Time t) const
    {
        return ((t.hours * 60 + t.minutes) * 60 + t.seconds) * 1000.0 + t.frames * 1000.0 / framesPerSecond;
    }

private:
    void encodeNextFrame()
    {
        SMPTETimecode st {};
        ltc_encoder_get_timecode (encoder, &st);
        playing = { st.hours, st.mins, st.secs, st.frame };

        if (reverse)
            ltc_encoder_encode_reversed_frame (encoder);
        else
            ltc_encoder_encode_frame (encoder);

        ltcsnd_sample_t* buffer = nullptr;
        const int size = ltc_encoder_get_bufferptr (encoder, &buffer, 1);
        frameSamples.resize ((size_t) size);
        for (int i = 0; i < size; ++i)
            frameSamples[(size_t) i] = (buffer[i] - 128) / 127.0f;
        readPos = 0;

        if (reverse)
            ltc_encoder_dec_timecode (encoder);
        else
            ltc_encoder_inc_timecode (encoder);
    }

    LTCEncoder* encoder = nullptr;
    const int framesPerSecond;
    const int samplesPerFrame;
    const Time startTime;
    std::vector<float> frameSamples;
    size_t readPos = 0;
    bool reverse = false;
    bool silent = false;
    Time playing;
    int64_t samplesRendered = 0;
};
