// End to end over a real audio device: JUCE's JACK device reading the LTC that our player
// client plays into a JACK server with the dummy backend. tests/e2e/jack_ltc.sh starts the
// server and the player and runs these tests; without them (VANTREL_JACK_PLAYER unset) they
// are skipped.

#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include "time/LTCReader.h"

#include <gtest/gtest.h>
#include <jack/jack.h>

#include <fstream>
#include <iostream>
#include <vector>

namespace
{
/** The player's report: the JACK frame of its first sample, its rate and start time. */
struct PlayerInfo
{
    jack_nframes_t firstFrame = 0;
    int fps = 0;
    double startMillis = 0.0;
};

bool readPlayerInfo (const juce::String& path, PlayerInfo& info)
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

    /** Milliseconds of the time the player is playing now. */
    double playerMillis (const PlayerInfo& info) const
    {
        const auto elapsed = (jack_nframes_t) (jack_frame_time (client) - info.firstFrame);
        return info.startMillis + elapsed * 1000.0 / jack_get_sample_rate (client);
    }

    jack_client_t* client = nullptr;
};

struct JackFixture : ::testing::Test
{
    test::TempHome home;
    juce::String playerName;
    PlayerInfo info;

    void SetUp() override
    {
        playerName = juce::SystemStats::getEnvironmentVariable ("VANTREL_JACK_PLAYER", {});
        if (playerName.isEmpty())
            GTEST_SKIP() << "needs the JACK server and player of tests/e2e/jack_ltc.sh";

        const auto infoPath = juce::SystemStats::getEnvironmentVariable ("VANTREL_JACK_INFO", {});
        ASSERT_TRUE (test::pumpUntil ([&] { return readPlayerInfo (infoPath, info); }, 10000))
            << "the player never reported";
    }

    /** What the audio page does: the JACK device type, then the player as the input. */
    void choosePlayerInput (juce::AudioDeviceManager& dm)
    {
        dm.setCurrentAudioDeviceType ("JACK", true);
        auto setup = dm.getAudioDeviceSetup();
        setup.inputDeviceName = playerName;
        setup.useDefaultInputChannels = true;
        ASSERT_EQ (dm.setAudioDeviceSetup (setup, true), juce::String());

        auto* device = dm.getCurrentAudioDevice();
        ASSERT_NE (device, nullptr);
        EXPECT_EQ (device->getActiveInputChannels().countNumberOfSetBits(), 1);
        EXPECT_TRUE (device->getActiveOutputChannels().isZero());
    }
};

/** Each time the reader delivers, and what the player was playing at that moment. */
struct Follower : TimeDriver::Listener
{
    Follower (const JackClock& c, const PlayerInfo& i) : clock (c), info (i) { samples.resize (4096); }

    void timeChanged (TimeDriver* source) override
    {
        const int n = count.load();
        if (n < (int) samples.size())
        {
            samples[(size_t) n] = { source->getMillis(), clock.playerMillis (info), source->getFps() };
            count = n + 1;
        }
    }

    struct Sample
    {
        double decoded, playing;
        int fps;
    };

    const JackClock& clock;
    const PlayerInfo& info;
    std::vector<Sample> samples;
    std::atomic<int> count { 0 };
};
}

TEST_F (JackFixture, TheReaderFollowsThePlayerWithinTwoFrames)
{
    JackClock clock;
    ASSERT_NE (clock.client, nullptr);

    LTCReader reader;
    Follower follower (clock, info);
    reader.addListener (&follower);
    choosePlayerInput (*reader.getAudioDeviceManager());

    ASSERT_TRUE (test::pumpUntil ([&] { return follower.count >= 4 * info.fps; }, 15000));
    reader.stop();
    reader.removeListener (&follower);

    // Once the rate is known every frame lags the player by less than two frames: one frame
    // for the frame to arrive whole, and at most a block on top.
    const double frame = 1000.0 / info.fps;
    int checked = 0;
    double lowest = 1e9, highest = -1e9;
    for (int i = 0; i < follower.count; ++i)
    {
        const auto& s = follower.samples[(size_t) i];
        if (s.fps != info.fps)
            continue;
        EXPECT_GE (s.playing - s.decoded, 0.0) << "frame " << i;
        EXPECT_LE (s.playing - s.decoded, 2 * frame) << "frame " << i;
        lowest = std::min (lowest, s.playing - s.decoded);
        highest = std::max (highest, s.playing - s.decoded);
        ++checked;
    }
    std::cout << "decoded frames lag the player by " << lowest << " to " << highest << " ms\n";
    EXPECT_GT (checked, info.fps);
    EXPECT_EQ (reader.getFps(), info.fps);
}
