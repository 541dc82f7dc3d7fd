#include "FakeAudioDevice.h"
#include "document/AppData.h"
#include "model/ActiveCueListHandler.h"
#include "model/CategoryManager.h"
#include "model/ListNodes.h"
#include "ManualDriver.h"
#include "Watchdog.h"
#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include "time/InternalClockReader.h"
#include "time/TimeManager.h"
#include "tools/LtcSignal.h"

#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

using test::ManualDriver;

namespace
{
/** Records what a time manager tells its listeners, and on which thread. */
struct Recorder : TimeManager::Listener
{
    void timeChanged (const TimeInfo& info) override
    {
        const std::scoped_lock lock (mutex);
        published.push_back (info);
        checkThread();
    }
    void signalInterrupted() override
    {
        ++interruptions;
        checkThread();
    }
    void driverChanged (int index) override
    {
        driverIndexes.push_back (index);
        checkThread();
    }

    void checkThread()
    {
        if (! juce::MessageManager::getInstance()->isThisTheMessageThread())
            onMessageThread = false;
    }

    std::vector<TimeInfo> get() const
    {
        const std::scoped_lock lock (mutex);
        return published;
    }

    mutable std::mutex mutex;
    std::vector<TimeInfo> published;
    std::vector<int> driverIndexes;
    std::atomic<int> interruptions { 0 };
    std::atomic<bool> onMessageThread { true };
};

/** A time manager over a hand-driven clock driver, an LTC reader on the fake device type and
    a monotonic clock the test moves itself. */
struct TimeManagerFixture : ::testing::Test
{
    // Driver threads are joined on the message thread here: should one ever wait for the
    // message thread, the test fails instead of hanging.
    test::Watchdog watchdog { 120, "a time manager test" };
    test::TempHome home;
    std::unique_ptr<AppData> appData = std::make_unique<AppData>(); // the undo manager the lists use
    std::shared_ptr<test::FakeAudioInput> input = std::make_shared<test::FakeAudioInput>();
    std::atomic<double> nowMs { 5000.0 };
    ManualDriver* clock = nullptr;
    std::unique_ptr<TimeManager> manager;
    Recorder recorder;

    void SetUp() override { start (25); }

    /** A live handler over a timetable and two timecode lists, at 10:00 and at 11:00. */
    std::shared_ptr<ActiveCueListHandler> makeLiveHandler()
    {
        auto lists = appData->getOrCreateChild (IDs::CueLists);
        lists.appendChild (test::listNode ("Timetable", 0, 86'000'000, true), nullptr);
        lists.appendChild (test::listNode ("Ten", 36'000'000, 36'030'000), nullptr);
        lists.appendChild (test::listNode ("Eleven", 39'600'000, 39'630'000), nullptr);
        auto cueLists = std::make_shared<CueListManager> (lists, std::make_shared<CategoryManager>());
        test::pumpUntil ([&] { return cueLists->getCueLists().size() == 3; }, 2000);
        return std::make_shared<ActiveCueListHandler> (cueLists);
    }

    static juce::String activeName (const ActiveCueListHandler& handler)
    {
        auto list = handler.getActiveCueList();
        return list != nullptr ? list->getName() : juce::String ("<none>");
    }

    void start (int defaultFps, std::shared_ptr<ActiveCueListHandler> liveHandler = nullptr)
    {
        auto clockDriver = std::make_unique<ManualDriver> ("Internal Clock", juce::Array<int> { 1000 }, 1000);
        clock = clockDriver.get();
        auto reader = std::make_unique<LTCReader> (std::make_unique<test::FakeDeviceManager> (input));
        auto master = std::make_unique<MasterTimeDriver> (std::move (clockDriver), std::move (reader));
        manager = std::make_unique<TimeManager> (std::move (liveHandler), defaultFps, std::move (master),
                                                 [this] { return nowMs.load(); });
        manager->addListener (&recorder);
    }

    void TearDown() override
    {
        if (manager != nullptr)
            manager->removeListener (&recorder);
        manager.reset();
    }

    /** The clock delivers a time from a thread of its own, as its timer would. */
    void deliverFromDriverThread (double ms)
    {
        std::thread ([this, ms] { clock->deliver (ms); }).join();
    }

    size_t publications() const { return recorder.get().size(); }
};
}

TEST_F (TimeManagerFixture, NothingIsPublishedBeforeTheFirstTime)
{
    for (int i = 0; i < 100; ++i)
    {
        nowMs = nowMs + 16.0;
        manager->timerCallback();
    }
    EXPECT_EQ (publications(), 0u);
    EXPECT_EQ (manager->getTimeInfo(), (TimeInfo { 0, 30, false, false }));
}

TEST_F (TimeManagerFixture, PublishesWhileRunningOnceWhenStoppedAndOnceWhenResumed)
{
    manager->master.setDriver (0);

    deliverFromDriverThread (1000.0);
    manager->timerCallback();
    ASSERT_EQ (publications(), 1u);
    EXPECT_EQ (recorder.get().back(), (TimeInfo { 1000, 1000, true, true }));

    // No new time, or the same time again: nothing new to publish.
    manager->timerCallback();
    deliverFromDriverThread (1000.0);
    manager->timerCallback();
    EXPECT_EQ (publications(), 1u);

    // Every new time, at most once per tick: the latest one.
    deliverFromDriverThread (1010.0);
    deliverFromDriverThread (1020.0);
    manager->timerCallback();
    ASSERT_EQ (publications(), 2u);
    EXPECT_EQ (recorder.get().back().time, 1020);

    // The updates stop: still running 999 ms later, stopped at one second, told exactly once
    // and with the last time.
    nowMs = nowMs + 999.0;
    manager->timerCallback();
    EXPECT_EQ (publications(), 2u);
    nowMs = nowMs + 1.0;
    manager->timerCallback();
    ASSERT_EQ (publications(), 3u);
    EXPECT_EQ (recorder.get().back(), (TimeInfo { 1020, 1000, false, true }));
    for (int i = 0; i < 50; ++i)
    {
        nowMs = nowMs + 16.0;
        manager->timerCallback();
    }
    EXPECT_EQ (publications(), 3u);
    EXPECT_FALSE (manager->getTimeInfo().running);

    // The same time arrives again: one publication for the running state.
    deliverFromDriverThread (1020.0);
    manager->timerCallback();
    manager->timerCallback();
    ASSERT_EQ (publications(), 4u);
    EXPECT_EQ (recorder.get().back(), (TimeInfo { 1020, 1000, true, true }));
}

TEST_F (TimeManagerFixture, AStepOfTheTimeItselfNeitherStopsNorStartsTime)
{
    // The computer's clock jumps an hour back and forth (a time-zone or NTP step): the running
    // state follows only the monotonic clock of arrival.
    manager->master.setDriver (0);
    const double times[] = { 50'000'000.0, 46'400'000.0, 53'600'000.0, 46'400'010.0 };
    for (const auto t : times)
    {
        deliverFromDriverThread (t);
        nowMs = nowMs + 10.0;
        manager->timerCallback();
    }

    const auto all = recorder.get();
    ASSERT_EQ (all.size(), 4u);
    for (const auto& info : all)
        EXPECT_TRUE (info.running);
}

TEST_F (TimeManagerFixture, TimesOfTheOtherDriverAreNotPublished)
{
    // The LTC reader is current; the clock's times do not count as updates.
    deliverFromDriverThread (1000.0);
    manager->timerCallback();
    EXPECT_EQ (publications(), 0u);
}

TEST_F (TimeManagerFixture, InterruptionsReachListenersOnTheMessageThreadWithoutWaitingForIt)
{
    // The driver thread hands over and carries on: it finishes while the message thread is
    // not even running its loop.
    std::thread ([this] {
        for (int i = 0; i < 10; ++i)
            clock->interrupt();
    }).join();
    EXPECT_EQ (recorder.interruptions, 0);

    ASSERT_TRUE (test::pumpUntil ([&] { return recorder.interruptions > 0; }));
    EXPECT_TRUE (recorder.onMessageThread);
}

TEST_F (TimeManagerFixture, ADriverSwitchIsAnnouncedOnTheMessageThreadWithTheNewValues)
{
    clock->deliver (45'000'123.0);
    manager->master.setDriver (0);

    ASSERT_EQ (recorder.driverIndexes, std::vector<int> ({ 0 }));
    EXPECT_EQ (manager->getTimeInfo(), (TimeInfo { 45'000'123, 1000, false, true }));
    EXPECT_EQ (publications(), 0u);

    // A switch asked for from another thread is still announced on the message thread.
    std::thread ([this] { manager->master.setDriver (1); }).join();
    ASSERT_TRUE (test::pumpUntil ([&] { return recorder.driverIndexes.size() == 2; }));
    EXPECT_EQ (recorder.driverIndexes.back(), 1);
    EXPECT_EQ (manager->getTimeInfo().fps, 25);
    EXPECT_FALSE (manager->getTimeInfo().internalClock);
    EXPECT_TRUE (recorder.onMessageThread);
}

TEST_F (TimeManagerFixture, TheDefaultFrameRateReachesTheLtcReaderWhenItSupportsIt)
{
    const std::pair<int, int> cases[] = { { 25, 25 }, { 24, 24 }, { 30, 30 }, { 1000, 30 }, { 29, 30 } };
    for (const auto& [requested, expected] : cases)
    {
        manager->removeListener (&recorder);
        manager.reset();
        start (requested);
        EXPECT_EQ (manager->master.getName(), "LTC");
        EXPECT_EQ (manager->master.getFps(), expected) << "default " << requested;
    }
}

TEST_F (TimeManagerFixture, ReadersOnOtherThreadsGetWholeCopies)
{
    // A server thread reads the state while the driver writes it. The driver's rate changes
    // with every time (odd seconds at 999, even ones at 1000): a copy that pairs a time with
    // the rate of another delivery would show.
    manager->master.setDriver (0);
    std::atomic<bool> done { false };
    std::atomic<int> torn { 0 }, reads { 0 };

    std::thread reader ([&] {
        while (! done)
        {
            const auto info = manager->getTimeInfo();
            if (info.fps != 999 && info.fps != 1000)
                continue;
            ++reads;
            const bool oddSecond = (info.time / 1000) % 2 == 1;
            if (oddSecond != (info.fps == 999) || info.internalClock != (info.fps == 1000))
                ++torn;
        }
    });
    std::thread driver ([&] {
        for (int i = 1; i <= 50000; ++i)
        {
            clock->deliver (i * 1000.0, i % 2 == 1 ? 999 : 1000);
            // On a loaded machine the reader may not have run at all yet: halfway, give it
            // the chance (bounded), so that the second half overlaps its reads.
            for (int wait = 0; i == 25000 && reads == 0 && wait < 10000; ++wait)
                std::this_thread::sleep_for (std::chrono::milliseconds (1));
        }
    });
    for (int i = 0; i < 200; ++i)
        manager->timerCallback();
    driver.join();
    done = true;
    reader.join();

    EXPECT_EQ (torn, 0);
    EXPECT_GT (reads, 0);
    EXPECT_EQ (manager->getTimeInfo().time, 50'000'000);
    EXPECT_EQ (manager->getTimeInfo().fps, 1000);
}

TEST_F (TimeManagerFixture, LtcThroughTheDeviceIsPublishedAndStopsOneSecondAfterTheSignal)
{
    // Real device path: fake device, device manager, audio source, reader, master, manager.
    manager->removeListener (&recorder);
    manager.reset();

    LtcSignal signal (48000.0, 25, { 10, 0, 0, 0 });
    input->render = [&] (float* dest, int n) { signal.render (dest, n); };
    home.getPreferencesFolder().createDirectory();
    home.getPreferencesFolder().getChildFile ("audio.xml").replaceWithText (
        R"(<DEVICESETUP deviceType="Fake" audioOutputDeviceName="" audioInputDeviceName="Fake In A"/>)");
    start (25);

    auto* dm = dynamic_cast<test::FakeDeviceManager*> (manager->master.getAudioDeviceManager());
    ASSERT_NE (dm, nullptr);
    ASSERT_NE (dm->getFakeDevice(), nullptr);

    std::thread audio ([&] {
        for (int i = 0; i < 48000 * 3 / 512; ++i)
            dm->getFakeDevice()->deliver (512);
    });
    audio.join();
    manager->timerCallback();

    auto all = recorder.get();
    ASSERT_EQ (all.size(), 1u);
    EXPECT_TRUE (all.back().running);
    EXPECT_EQ (all.back().fps, 25);
    EXPECT_FALSE (all.back().internalClock);
    EXPECT_GE (all.back().time, 36'002'000);

    nowMs = nowMs + 1000.0;
    manager->timerCallback();
    all = recorder.get();
    ASSERT_EQ (all.size(), 2u);
    EXPECT_FALSE (all.back().running);
    EXPECT_EQ (all.back().time, all.front().time);
}

TEST_F (TimeManagerFixture, TheLiveListFollowsTheIncomingTime)
{
    manager->removeListener (&recorder);
    manager.reset();
    auto live = makeLiveHandler();
    start (25, live);
    ASSERT_EQ (activeName (*live), "Timetable");

    // Timecode arrives on the audio thread; the list whose span holds it becomes live.
    LtcSignal signal (48000.0, 25, { 10, 0, 5, 0 });
    auto play = [&] (double seconds) {
        std::thread ([&] {
            std::vector<float> block (512);
            for (int i = 0; i < (int) (seconds * 48000 / 512); ++i)
            {
                signal.render (block.data(), 512);
                manager->master.getLTCReader().processBlock (block.data(), 512, 0);
            }
        }).join();
    };
    play (1.0);
    EXPECT_TRUE (test::pumpUntil ([&] { return activeName (*live) == "Ten"; }));

    signal.jumpTo ({ 11, 0, 5, 0 });
    play (1.0);
    EXPECT_TRUE (test::pumpUntil ([&] { return activeName (*live) == "Eleven"; }));

    // The computer's clock brings the timetable back.
    manager->master.setDriver (0);
    deliverFromDriverThread (45'000'000.0);
    EXPECT_TRUE (test::pumpUntil ([&] { return activeName (*live) == "Timetable"; }));
}

TEST_F (TimeManagerFixture, ALocateBackBeforeTheMessageLoopRunsLeavesTheLiveListAsItWas)
{
    manager->removeListener (&recorder);
    manager.reset();
    auto live = makeLiveHandler();
    start (25, live);

    LtcSignal signal (48000.0, 25, { 10, 0, 5, 0 });
    auto play = [&] (double seconds) {
        std::thread ([&] {
            std::vector<float> block (512);
            for (int i = 0; i < (int) (seconds * 48000 / 512); ++i)
            {
                signal.render (block.data(), 512);
                manager->master.getLTCReader().processBlock (block.data(), 512, 0);
            }
        }).join();
    };
    play (1.0);
    ASSERT_TRUE (test::pumpUntil ([&] { return activeName (*live) == "Ten"; }));

    // The timecode jumps to 11:00 (a switch is posted) and back to 10:00 before the message
    // loop gets to it; then it stops.
    signal.jumpTo ({ 11, 0, 5, 0 });
    play (0.5);
    signal.jumpTo ({ 10, 0, 6, 0 });
    play (0.5);
    test::pumpFor (100);
    EXPECT_EQ (activeName (*live), "Ten");
}

TEST_F (TimeManagerFixture, ReopeningAndClosingTheDeviceWhileTheCallbackReportsDoesNotDeadlock)
{
    // The audio thread reports as much as it can: frames, a jump every fifth of a second and
    // with it an interruption and a switch of the live list. Meanwhile the message thread reopens the device again and
    // again and finally shuts everything down, each of which waits for the callback to finish.
    // Were the callback to wait for the message thread, this would hang: the watchdog ends
    // the program instead.
    manager->removeListener (&recorder);
    manager.reset();

    LtcSignal signal (48000.0, 25, { 10, 0, 0, 0 });
    long rendered = 0;
    bool second = false;
    input->render = [&] (float* dest, int n) {
        signal.render (dest, n);
        rendered += n;
        if (rendered >= 48000 / 5)
        {
            rendered = 0;
            second = ! second;
            signal.jumpTo (second ? LtcSignal::Time { 11, 0, 0, 0 } : LtcSignal::Time { 10, 0, 0, 0 });
        }
    };
    input->stream = true;
    home.getPreferencesFolder().createDirectory();
    home.getPreferencesFolder().getChildFile ("audio.xml").replaceWithText (
        R"(<DEVICESETUP deviceType="Fake" audioOutputDeviceName="" audioInputDeviceName="Fake In A"/>)");

    test::Watchdog deviceWatchdog (60, "reopening and closing the audio device");
    {
        // The real clock as driver 0: its timer thread is stopped on shutdown as well.
        auto reader = std::make_unique<LTCReader> (std::make_unique<test::FakeDeviceManager> (input));
        auto master = std::make_unique<MasterTimeDriver> (std::make_unique<InternalClockReader>(), std::move (reader));
        auto live = makeLiveHandler();
        struct Switches : ActiveCueListHandler::Listener
        {
            int count = 0;
            void activeCueListChanged() override { ++count; }
        } switches;
        live->addListener (&switches);
        manager = std::make_unique<TimeManager> (live, 25, std::move (master), nullptr);
        manager->addListener (&recorder);

        ASSERT_TRUE (test::pumpUntil ([&] {
            return recorder.interruptions > 0 && ! recorder.get().empty() && switches.count >= 2;
        }, 20000));

        auto* dm = manager->master.getAudioDeviceManager();
        for (int i = 0; i < 20; ++i)
        {
            auto setup = dm->getAudioDeviceSetup();
            setup.inputDeviceName = (i % 2 == 0) ? "Fake In B" : "Fake In A";
            EXPECT_EQ (dm->setAudioDeviceSetup (setup, true), juce::String());
            if (i % 5 == 0)
                manager->master.setDriver ((i / 5) % 2);
            test::pumpFor (5);
        }
        dm->closeAudioDevice();
        dm->restartLastAudioDevice();
        test::pumpFor (20);

        manager->removeListener (&recorder);
        manager.reset();
        live->removeListener (&switches);
    }
    EXPECT_TRUE (recorder.onMessageThread);
}
