// End to end over a real audio device: JUCE's JACK device reading the LTC that our player
// client plays into a JACK server with the dummy backend. tests/e2e/jack_ltc.sh starts the
// server and the player and runs this program; ctest does not run it on its own.

#include "JackPlayer.h"
#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include "time/LTCReader.h"
#include "time/TimeManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <vector>

namespace
{
using test::JackClock;
using test::PlayerInfo;
using test::readPlayerInfo;

/** How far behind the player a series of times ran. */
struct Lags
{
    std::vector<double> values;

    double median() const
    {
        auto v = values;
        std::sort (v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    }
    double lowest() const { return values.empty() ? 0.0 : *std::min_element (values.begin(), values.end()); }
    double highest() const { return values.empty() ? 0.0 : *std::max_element (values.begin(), values.end()); }

    /** Typically within two frames; never ahead; never so far behind that it no longer
        follows. The JACK dummy backend and the message thread are not real-time, so a busy
        machine delays single frames: only the typical lag is held to two frames. */
    void check (const char* what, double frameMs) const
    {
        std::cout << what << " lag the player by " << lowest() << " to " << highest() << " ms, median "
                  << median() << " ms\n";
        EXPECT_GE (lowest(), 0.0) << what;
        EXPECT_LE (median(), 2 * frameMs) << what;
        EXPECT_LE (highest(), 6 * frameMs) << what;
    }
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
            GTEST_FAIL() << "run through tests/e2e/jack_ltc.sh, which starts the JACK server and the player";

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

    // Three seconds of frames at the detected rate (a missed server cycle makes the player
    // skip ahead, which delays the detection).
    ASSERT_TRUE (test::pumpUntil ([&] {
        int atRate = 0;
        for (int i = 0; i < follower.count; ++i)
            atRate += follower.samples[(size_t) i].fps == info.fps ? 1 : 0;
        return atRate >= 3 * info.fps;
    }, 30000));
    reader.stop();
    reader.removeListener (&follower);

    // Once the rate is known each frame arrives one frame after it started playing (it has to
    // arrive whole), plus at most a block or two.
    Lags lags;
    int checked = 0;
    for (int i = 0; i < follower.count; ++i)
    {
        const auto& s = follower.samples[(size_t) i];
        if (s.fps != info.fps)
            continue;
        lags.values.push_back (s.playing - s.decoded);
        ++checked;
        if (i > 0)
        {
            EXPECT_GT (s.decoded, follower.samples[(size_t) i - 1].decoded) << "frame " << i;
        }
    }
    lags.check ("decoded frames", 1000.0 / info.fps);
    EXPECT_GT (checked, info.fps);
    EXPECT_EQ (reader.getFps(), info.fps);
}

namespace
{
/** Each publication, and what the player was playing at that moment. */
struct PublicationFollower : TimeManager::Listener
{
    PublicationFollower (const JackClock& c, const PlayerInfo& i) : clock (c), info (i) {}

    void timeChanged (const TimeInfo& published) override
    {
        samples.push_back ({ published, clock.playerMillis (info) });
    }

    struct Sample
    {
        TimeInfo info;
        double playing;
    };

    const JackClock& clock;
    const PlayerInfo& info;
    std::vector<Sample> samples;
};
}

TEST_F (JackFixture, TheTimeManagerPublishesRunningTimesThatFollowThePlayer)
{
    JackClock clock;
    ASSERT_NE (clock.client, nullptr);

    TimeManager manager (nullptr, 30);
    PublicationFollower follower (clock, info);
    manager.addListener (&follower);
    choosePlayerInput (*manager.master.getAudioDeviceManager());

    // Three seconds of publications at the detected rate.
    ASSERT_TRUE (test::pumpUntil ([&] {
        int atRate = 0;
        for (const auto& s : follower.samples)
            atRate += s.info.fps == info.fps ? 1 : 0;
        return atRate >= 3 * info.fps;
    }, 30000));
    manager.removeListener (&follower);

    // On top of the decoding, a publication waits for the next 16 ms tick.
    Lags lags;
    int checked = 0;
    for (size_t i = 0; i < follower.samples.size(); ++i)
    {
        const auto& s = follower.samples[i];
        EXPECT_TRUE (s.info.running) << "publication " << i;
        EXPECT_FALSE (s.info.internalClock);
        if (i > 0)
        {
            EXPECT_GT (s.info.time, follower.samples[i - 1].info.time) << "publication " << i;
        }
        if (s.info.fps != info.fps)
            continue;
        lags.values.push_back (s.playing - s.info.time);
        ++checked;
    }
    lags.check ("published times", 1000.0 / info.fps);
    EXPECT_GT (checked, 2 * info.fps);
}
