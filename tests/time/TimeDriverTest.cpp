#include "ManualDriver.h"
#include "FakeAudioDevice.h"
#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include "time/InternalClockReader.h"
#include "time/MasterTimeDriver.h"

#include <gtest/gtest.h>

using test::ManualDriver;
using test::RecordingDriverListener;

TEST (TimeDriver, ListenersAreAddedOnceAndRemovedByPointer)
{
    ManualDriver driver;
    RecordingDriverListener a, b;
    driver.addListener (&a);
    driver.addListener (&a);
    driver.addListener (&b);

    driver.deliver (5.0);
    EXPECT_EQ (a.times, 1);
    EXPECT_EQ (b.times, 1);
    EXPECT_EQ (a.lastSource.load(), &driver);
    EXPECT_DOUBLE_EQ (a.lastMillis, 5.0);

    driver.removeListener (&a);
    driver.deliver (6.0);
    EXPECT_EQ (a.times, 1);
    EXPECT_EQ (b.times, 2);
}

TEST (TimeDriver, AnyNumberOfListenersHearARealDriverThreadWhileOthersComeAndGo)
{
    const juce::Time fixed (2024, 5, 10, 13, 45, 7, 250, true);
    InternalClockReader clock ([fixed] { return fixed; });
    std::vector<std::unique_ptr<RecordingDriverListener>> listeners;
    for (int i = 0; i < 12; ++i)
    {
        listeners.push_back (std::make_unique<RecordingDriverListener>());
        clock.addListener (listeners.back().get());
    }
    const auto allAtLeast = [&] (const std::vector<int>& counts)
    {
        for (size_t i = 0; i < listeners.size(); ++i)
            if (listeners[i]->times <= counts[i])
                return false;
        return true;
    };
    ASSERT_TRUE (test::pumpUntil ([&] { return allAtLeast (std::vector<int> (listeners.size(), 1)); }, 5000));

    // The driver thread keeps delivering while listeners leave and come back from here.
    for (int round = 0; round < 300; ++round)
    {
        auto* l = listeners[(size_t) round % listeners.size()].get();
        clock.removeListener (l);
        clock.addListener (l);
    }
    std::vector<int> counts;
    for (const auto& l : listeners)
        counts.push_back (l->times);
    EXPECT_TRUE (test::pumpUntil ([&] { return allAtLeast (counts); }, 5000)) << "every listener, the ninth and on included";

    clock.stop();
    for (const auto& l : listeners)
    {
        EXPECT_NE (l->lastThread.load(), std::this_thread::get_id());
        clock.removeListener (l.get());
    }
}

TEST (InternalClockReader, MillisecondsOfTheLocalDay)
{
    struct Case
    {
        int h, m, s, ms;
        double expected;
    };
    const Case cases[] = {
        { 13, 45, 7, 250, 49'507'250.0 },
        { 0, 0, 0, 0, 0.0 },
        { 23, 59, 59, 999, 86'399'999.0 },
        { 9, 5, 30, 1, 32'730'001.0 },
    };

    for (const auto& c : cases)
    {
        const juce::Time local (2024, 5, 10, c.h, c.m, c.s, c.ms, true);
        EXPECT_DOUBLE_EQ (InternalClockReader::millisOfDay (local), c.expected)
            << c.h << ":" << c.m << ":" << c.s << "." << c.ms;
    }
}

TEST (InternalClockReader, TicksOnItsOwnThreadWithTheInjectedClock)
{
    const juce::Time fixed (2024, 5, 10, 13, 45, 7, 250, true);
    InternalClockReader clock ([fixed] { return fixed; });
    RecordingDriverListener listener;
    clock.addListener (&listener);

    ASSERT_TRUE (test::pumpUntil ([&] { return listener.times >= 3; }, 5000));
    clock.stop();
    const int ticks = listener.times;

    EXPECT_EQ (clock.getName(), "Internal Clock");
    EXPECT_EQ (clock.getFps(), 1000);
    EXPECT_EQ (clock.getSupportedFps(), juce::Array<int> ({ 1000 }));
    EXPECT_DOUBLE_EQ (clock.getMillis(), 49'507'250.0);
    EXPECT_NE (listener.lastThread.load(), std::this_thread::get_id());

    // Stopped means stopped: no tick follows.
    test::pumpFor (50);
    EXPECT_EQ (listener.times, ticks);
    clock.removeListener (&listener);
}

namespace
{
/** A master over a hand-driven clock and an LTC reader on the fake device type. */
struct MasterFixture : ::testing::Test
{
    test::TempHome home;
    std::shared_ptr<test::FakeAudioInput> input = std::make_shared<test::FakeAudioInput>();
    ManualDriver* clock = nullptr;
    LTCReader* ltc = nullptr;
    std::unique_ptr<MasterTimeDriver> master;
    RecordingDriverListener listener;

    void SetUp() override
    {
        auto clockDriver = std::make_unique<ManualDriver> ("Internal Clock", juce::Array<int> { 1000 }, 1000);
        auto reader = std::make_unique<LTCReader> (std::make_unique<test::FakeDeviceManager> (input));
        clock = clockDriver.get();
        ltc = reader.get();
        master = std::make_unique<MasterTimeDriver> (std::move (clockDriver), std::move (reader));
        master->addListener (&listener);
    }

    void TearDown() override
    {
        master->removeListener (&listener);
        master.reset();
    }
};
}

TEST_F (MasterFixture, StartsOnTheLtcReader)
{
    EXPECT_EQ (master->getName(), "LTC");
    EXPECT_EQ (master->getFps(), 30);
    EXPECT_DOUBLE_EQ (master->getMillis(), 0.0);
    EXPECT_EQ (master->getDriverIndex(), 1);
    EXPECT_EQ (master->getDriverNames(), juce::StringArray ("Internal Clock", "LTC"));
    EXPECT_EQ (master->getSupportedFps(), juce::Array<int> ({ 24, 25, 30 }));
    EXPECT_EQ (master->getAudioDeviceManager(), ltc->getAudioDeviceManager());
}

TEST_F (MasterFixture, SetDriverSwitchesAndAnnouncesEveryValidIndex)
{
    master->setDriver (0);
    EXPECT_EQ (master->getName(), "Internal Clock");
    EXPECT_EQ (master->getFps(), 1000);
    EXPECT_EQ (listener.driverChanges, 1);

    // The same index again still announces; invalid indexes change nothing and tell no one.
    master->setDriver (0);
    EXPECT_EQ (listener.driverChanges, 2);
    master->setDriver (2);
    master->setDriver (-1);
    EXPECT_EQ (listener.driverChanges, 2);
    EXPECT_EQ (master->getName(), "Internal Clock");

    // The audio input stays reachable whichever driver is current.
    EXPECT_EQ (master->getAudioDeviceManager(), ltc->getAudioDeviceManager());
}

TEST_F (MasterFixture, SetFpsReachesOnlyARateTheCurrentDriverSupports)
{
    struct Case
    {
        int driver, requested, expectedFps;
    };
    const Case cases[] = {
        { 1, 25, 25 }, { 1, 1000, 25 }, { 1, 29, 25 }, { 1, 24, 24 },
        { 0, 25, 1000 }, { 0, 1000, 1000 },
        { 1, 30, 30 },
    };

    for (const auto& c : cases)
    {
        master->setDriver (c.driver);
        master->setFps (c.requested);
        EXPECT_EQ (master->getFps(), c.expectedFps) << "driver " << c.driver << " asked for " << c.requested;
    }

    // The reader kept its own rate while the clock was current.
    master->setDriver (1);
    master->setFps (25);
    master->setDriver (0);
    master->setFps (24);
    master->setDriver (1);
    EXPECT_EQ (master->getFps(), 25);
}

TEST_F (MasterFixture, ForwardsTimesOnlyFromTheCurrentDriverButInterruptionsFromBoth)
{
    clock->deliver (1234.0);
    EXPECT_EQ (listener.times, 0);

    master->setDriver (0);
    clock->deliver (1235.0);
    EXPECT_EQ (listener.times, 1);
    EXPECT_EQ (listener.lastSource.load(), master.get());
    EXPECT_DOUBLE_EQ (listener.lastMillis, 1235.0);

    // A driver that is not current still reports a broken signal.
    clock->interrupt();
    master->setDriver (1);
    clock->interrupt();
    clock->deliver (1236.0);
    EXPECT_EQ (listener.interruptions, 2);
    EXPECT_EQ (listener.times, 1);
}

TEST_F (MasterFixture, SwitchingWhileADriverThreadDeliversIsSafe)
{
    // The clock delivers from a thread of its own while the message thread switches back and
    // forth: nothing breaks, every switch is announced, and the clock's times get through
    // while it is current.
    std::atomic<bool> done { false };
    std::thread clockThread ([&] {
        for (int i = 0; ! done; ++i)
        {
            clock->deliver (i);
            if (i % 16 == 0)
                clock->interrupt();
        }
    });

    for (int i = 0; i < 2000; ++i)
        master->setDriver (i % 2);
    master->setDriver (0);
    ASSERT_TRUE (test::pumpUntil ([&] { return listener.times > 0; }, 5000));

    done = true;
    clockThread.join();

    EXPECT_EQ (listener.driverChanges, 2001);
    EXPECT_GT (listener.interruptions, 0);
}

TEST_F (MasterFixture, StopStopsBothDrivers)
{
    master->stop();
    EXPECT_TRUE (clock->stopped);
}

TEST (MasterTimeDriver, TheDefaultDriversAreTheClockAndTheLtcReader)
{
    test::TempHome home;
    MasterTimeDriver master;
    RecordingDriverListener listener;
    master.addListener (&listener);

    EXPECT_EQ (master.getDriverNames(), juce::StringArray ("Internal Clock", "LTC"));
    EXPECT_EQ (master.getName(), "LTC");

    // The clock runs all along and its times arrive as soon as it is current.
    master.setDriver (0);
    ASSERT_TRUE (test::pumpUntil ([&] { return listener.times >= 2; }, 5000));
    EXPECT_EQ (master.getFps(), 1000);
    master.stop();
    master.removeListener (&listener);
}
