#pragma once

#include <juce_core/juce_core.h>
#include <jack/jack.h>
#include <fstream>

namespace test
{
/** The LTC player's report: the JACK frame of its first sample, its rate and start time. */
struct PlayerInfo
{
    jack_nframes_t firstFrame = 0;
    int fps = 0;
    double startMillis = 0.0;
};

inline bool readPlayerInfo (const juce::String& path, PlayerInfo& info)
{
    std::ifstream in (path.toStdString());
    unsigned frame = 0;
    if (! (in >> frame >> info.fps >> info.startMillis))
        return false;
    info.firstFrame = frame;
    return true;
}

/** A port-less JACK client, only to read the server's frame clock, which the player's
    report refers to. */
struct JackClock
{
    JackClock() { client = jack_client_open ("vantrel-e2e-clock", JackNoStartServer, nullptr); }
    ~JackClock()
    {
        if (client != nullptr)
            jack_client_close (client);
    }

    /** Milliseconds of the time up to which the player has played: the end of the current
        cycle's block. Counted in the server's cycles, so a late cycle (the dummy backend is not
        real-time) does not count against the reader. */
    double playerMillis (const PlayerInfo& info) const
    {
        const auto played = jack_last_frame_time (client) + jack_get_buffer_size (client);
        const auto elapsed = (jack_nframes_t) (played - info.firstFrame);
        return info.startMillis + elapsed * 1000.0 / jack_get_sample_rate (client);
    }

    /** Milliseconds of the timecode that plays at this very moment, by the server's estimate
        of its frame clock between cycles: finer than playerMillis, for measuring lags below
        a block. Callable from any thread. */
    double millisNow (const PlayerInfo& info) const
    {
        const auto elapsed = (jack_nframes_t) (jack_frame_time (client) - info.firstFrame);
        return info.startMillis + elapsed * 1000.0 / jack_get_sample_rate (client);
    }

    jack_client_t* client = nullptr;

    JUCE_DECLARE_NON_COPYABLE (JackClock)
};
}
