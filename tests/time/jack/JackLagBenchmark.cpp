// A benchmark, not a test: how long after a frame of LTC starts playing its time reaches the
// browsers, end to end over a real audio device. The whole application's model and show
// screen (200 rows, 1600 x 1000, with the audio timeline) run on JUCE's JACK device reading our
// LTC player (25 fps, 48 kHz, 512-sample blocks); ten browsers on 127.0.0.1 read the "time"
// messages on threads of their own. Reported: the lag of each received message behind the
// player (its time is the frame's start; the moment of arrival read from the JACK server's frame
// clock), as p50, p90, p99 and max, beside the lag of the publications on the message thread. Target: p99 at most 67 ms (a frame, a block and a tick).
//
// Run by tests/e2e/jack_ltc.sh APP --bench, which starts the JACK server and the player;
// VANTREL_JACK_BENCH_SECONDS sets the measured time (default 20).

#include "JackPlayer.h"
#include "app/VantrelController.h"
#include "document/Identifiers.h"
#include "document/PreferencesHandler.h"
#include "model/ActiveCueListHandler.h"
#include "server/ServerManager.h"
#include "support/MessageLoop.h"
#include "support/ServerTestSupport.h"
#include "support/TempHome.h"
#include "ui/AudioFiles.h"
#include "ui/DesktopWindow.h"
#include "ui/MainComponent.h"
#include "ui/MainCueView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iostream>
#include <thread>
#include <vector>

namespace
{
using test::JackClock;
using test::PlayerInfo;

constexpr int numBrowsers = 10;
constexpr int numCues = 200;

/** A show document: one LTC list of 200 cues, 4 s apart from the player's start, with its
    audio, and one web-client server. */
juce::String showDocument (const PlayerInfo& info, const juce::File& audio, int port)
{
    juce::XmlElement root ("Vantrel");
    root.setAttribute ("version", "1.1.0.643");
    auto* lists = root.createNewChildElement ("CueLists");
    auto* list = lists->createNewChildElement ("CueList");
    list->setAttribute ("uuid", "22222222222222222222222222222222");
    list->setAttribute ("name", "Show");
    list->setAttribute ("offset", "00:00:00:00");
    list->setAttribute ("fps", info.fps);
    list->setAttribute ("audiofile", audio.getFullPathName());
    auto* cues = list->createNewChildElement ("Cues");
    for (int i = 0; i < numCues; ++i)
    {
        auto* cue = cues->createNewChildElement ("cue");
        cue->setAttribute ("id", "c" + juce::String (i));
        cue->setAttribute ("number", i + 1);
        cue->setAttribute ("text", i % 17 == 3 ? "Rainbow " + juce::String (i) : "Cue " + juce::String (i + 1));
        cue->setAttribute ("start", juce::String (info.startMillis - 2000.0 + 4000.0 * i, 1));
        cue->setAttribute ("duration", "1000");
        cue->setAttribute ("color", i % 2 == 0 ? "ff3fb6dc" : "ffcfb228");
    }
    root.createNewChildElement ("ColorMask");
    auto* servers = root.createNewChildElement ("Servers");
    servers->setAttribute ("IP", "127.0.0.1");
    auto* server = servers->createNewChildElement ("Server");
    server->setAttribute ("uuid", "5e5e5e5e5e5e5e5e5e5e5e5e5e5e5e5e");
    server->setAttribute ("port", port);
    server->setAttribute ("name", "Crew");
    server->createNewChildElement ("ColorMask");
    return root.toString();
}

struct Lag
{
    double ms;
    int fps;
};

/** One browser: reads "time" messages on its own thread and notes how far behind the player
    each arrived. */
struct Browser
{
    test::RawClient client;
    std::vector<Lag> lags;
    std::thread reader;

    /** Reads from now on (the greeting included), noting lags only while measuring. */
    void start (const JackClock& clock, const PlayerInfo& info, const std::atomic<bool>& measuring,
                const std::atomic<bool>& stop)
    {
        lags.reserve (8192);
        reader = std::thread ([this, &clock, &info, &measuring, &stop] {
            while (! stop && ! client.isClosed())
            {
                auto frame = client.readFrame (100);
                if (! frame || ! measuring || frame->payload.find ("\"type\":\"time\"") == std::string::npos)
                    continue;
                const auto playing = clock.millisNow (info);
                const auto& p = frame->payload;
                const auto millisAt = p.find ("\"millis\":");
                const auto fpsAt = p.find ("\"fps\":");
                if (millisAt == std::string::npos || fpsAt == std::string::npos)
                    continue;
                const auto millis = std::atof (p.c_str() + millisAt + 9);
                lags.push_back ({ playing - millis, std::atoi (p.c_str() + fpsAt + 6) });
            }
        });
    }
};

/** Each publication on the message thread and how far behind the player it was. */
struct Publications : TimeManager::Listener
{
    Publications (const JackClock& c, const PlayerInfo& i) : clock (c), info (i) {}
    void timeChanged (const TimeInfo& t) override
    {
        at.push_back (juce::Time::getMillisecondCounterHiRes());
        if (t.running)
            lags.push_back ({ clock.millisNow (info) - t.time, t.fps });
    }

    /** The intervals between publications, and when the longest ones ended. */
    juce::String describeIntervals() const
    {
        std::vector<double> v;
        for (size_t i = 1; i < at.size(); ++i)
            v.push_back (at[i] - at[i - 1]);
        if (v.empty())
            return "none";
        std::vector<size_t> longest (v.size());
        for (size_t i = 0; i < v.size(); ++i)
            longest[i] = i;
        std::sort (longest.begin(), longest.end(), [&v] (size_t a, size_t b) { return v[a] > v[b]; });
        juce::String whenLongest;
        for (size_t i = 0; i < juce::jmin ((size_t) 3, longest.size()); ++i)
            whenLongest << " " << juce::String (v[longest[i]], 1) << " ms at " << juce::String ((at[longest[i] + 1] - at[0]) / 1000.0, 2) << " s;";
        std::sort (v.begin(), v.end());
        char line[160];
        std::snprintf (line, sizeof (line), "p50 %.1f ms, p99 %.1f ms, max %.1f ms; longest:", v[v.size() / 2],
                       v[(size_t) (0.99 * (double) (v.size() - 1))], v.back());
        return juce::String (line) + whenLongest;
    }

    const JackClock& clock;
    const PlayerInfo& info;
    std::vector<Lag> lags;
    std::vector<double> at;
};

/** The distribution of the lags at the player's rate. */
juce::String describe (const std::vector<Lag>& lags, int fps)
{
    std::vector<double> v;
    for (const auto& l : lags)
        if (l.fps == fps)
            v.push_back (l.ms);
    if (v.empty())
        return "none";
    std::sort (v.begin(), v.end());
    const auto at = [&v] (double p) { return v[(size_t) (p * (double) (v.size() - 1))]; };
    char line[200];
    std::snprintf (line, sizeof (line), "%zu, p50 %.1f ms, p90 %.1f ms, p99 %.1f ms, max %.1f ms", v.size(), at (0.5),
                   at (0.9), at (0.99), v.back());
    return line;
}

bool choosePlayerInput (juce::AudioDeviceManager& dm, const juce::String& playerName)
{
    dm.setCurrentAudioDeviceType ("JACK", true);
    auto setup = dm.getAudioDeviceSetup();
    setup.inputDeviceName = playerName;
    setup.useDefaultInputChannels = true;
    return dm.setAudioDeviceSetup (setup, true).isEmpty() && dm.getCurrentAudioDevice() != nullptr;
}
}

TEST (JackLagBenchmark, LtcToTheWire)
{
    const auto playerName = juce::SystemStats::getEnvironmentVariable ("VANTREL_JACK_PLAYER", {});
    if (playerName.isEmpty())
        GTEST_FAIL() << "run through tests/e2e/jack_ltc.sh APP --bench, which starts the JACK server and the player";
    const auto seconds = juce::jmax (5, juce::SystemStats::getEnvironmentVariable ("VANTREL_JACK_BENCH_SECONDS", "20").getIntValue());

    test::TempHome home;
    PlayerInfo info;
    ASSERT_TRUE (test::pumpUntil ([&] {
        return test::readPlayerInfo (juce::SystemStats::getEnvironmentVariable ("VANTREL_JACK_INFO", {}), info);
    }, 10000)) << "the player never reported";
    JackClock clock;
    ASSERT_NE (clock.client, nullptr);

    const auto audio = home.getHome().getChildFile ("show.wav");
    juce::WavAudioFormat wav;
    ASSERT_TRUE (test::writeAudio (wav, audio, 8000, (numCues * 4 + 10) * 8000, test::quietSine));

    const int port = test::nextCandidatePort();
    const auto documentFile = home.getSettingsFolder().getChildFile ("Show.xml");
    home.getSettingsFolder().getChildFile ("preferences").createDirectory();
    ASSERT_TRUE (documentFile.replaceWithText (showDocument (info, audio, port)));
    PreferencesHandler().setLastUsedFile (documentFile);

    VantrelController controller;
    auto* view = new MainCueView (controller);
    view->setSize (1600, 1000);
    auto window = std::make_unique<DesktopWindow> (new MainComponent (controller, view));
    ASSERT_TRUE (choosePlayerInput (*controller.timeManager->master.getAudioDeviceManager(), playerName));

    auto server = controller.serverManager->getServer (0);
    ASSERT_NE (server, nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return server->isServing(); }));

    // Each browser reads from the start, so nothing queues up unread before measuring.
    std::atomic<bool> measuring { false }, stop { false };
    std::vector<std::unique_ptr<Browser>> browsers;
    const auto stopBrowsers = [&] {
        stop = true;
        for (auto& b : browsers)
            if (b->reader.joinable())
                b->reader.join();
    };
    for (int i = 0; i < numBrowsers; ++i)
    {
        auto browser = std::make_unique<Browser>();
        const bool connected = browser->client.connect (port) && browser->client.upgrade ("/");
        if (connected)
            browser->start (clock, info, measuring, stop);
        browsers.push_back (std::move (browser));
        if (! connected)
        {
            stopBrowsers();
            FAIL() << "browser " << i << " could not connect";
        }
    }

    // The rate detected and the live list following the time: from here on it is the show.
    const bool following = test::pumpUntil ([&] {
        const auto t = controller.timeManager->getTimeInfo();
        return t.running && t.fps == info.fps && view->getCurrentCueList() != nullptr;
    }, 30000);
    if (! following)
    {
        stopBrowsers();
        FAIL() << "the time never followed the player";
    }
    test::pumpFor (1000);

    Publications publications (clock, info);
    controller.timeManager->addListener (&publications);
    measuring = true;
    test::pumpFor (seconds * 1000);
    measuring = false;
    controller.timeManager->removeListener (&publications);

    stopBrowsers();
    std::vector<Lag> all;
    for (auto& b : browsers)
        all.insert (all.end(), b->lags.begin(), b->lags.end());
    window.reset();
    controller.timeManager->master.stop();

    std::cout << "LTC at " << info.fps << " fps, " << numBrowsers << " browsers, show screen 1600 x 1000 with "
              << numCues << " rows, " << seconds << " s\n"
              << "  published (message thread): " << describe (publications.lags, info.fps) << "\n"
              << "  on the wire (browsers):     " << describe (all, info.fps) << "\n"
              << "  publication intervals:      " << publications.describeIntervals() << "\n"
              << "  limit p99: 67 ms (a frame, a block and a tick)" << std::endl;

    EXPECT_FALSE (all.empty());
}
