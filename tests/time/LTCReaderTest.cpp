#include "FakeAudioDevice.h"
#include "ManualDriver.h"
#include "support/TempHome.h"
#include "time/LTCReader.h"
#include "tools/LtcSignal.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <mutex>
#include <vector>

namespace
{
/** Keeps every time the reader delivers, with the rate it had then. */
struct Deliveries : TimeDriver::Listener
{
    struct Entry
    {
        double millis;
        int fps;
    };

    void timeChanged (TimeDriver* source) override
    {
        const std::scoped_lock lock (mutex);
        entries.push_back ({ source->getMillis(), source->getFps() });
    }
    void signalInterrupted() override { ++interruptions; }

    std::vector<Entry> get() const
    {
        const std::scoped_lock lock (mutex);
        return entries;
    }

    bool contains (double millis, int fps) const
    {
        for (const auto& e : get())
            if (std::equal_to<double>() (e.millis, millis) && e.fps == fps)
                return true;
        return false;
    }

    mutable std::mutex mutex;
    std::vector<Entry> entries;
    std::atomic<int> interruptions { 0 };
};

struct LTCReaderFixture : ::testing::Test
{
    test::TempHome home;
    LTCReader reader { std::make_unique<test::FakeDeviceManager> (std::make_shared<test::FakeAudioInput>()) };
    Deliveries deliveries;

    LTCReaderFixture() { reader.addListener (&deliveries); }
    ~LTCReaderFixture() override { reader.removeListener (&deliveries); }

    /** Feeds the signal straight to the reader in blocks, as the audio callback would. */
    void feed (LtcSignal& signal, double seconds, int blockSize = 512)
    {
        std::vector<float> block ((size_t) blockSize);
        const auto total = (int) (seconds * 48000.0);
        for (int done = 0; done < total; done += blockSize)
        {
            signal.render (block.data(), blockSize);
            reader.processBlock (block.data(), blockSize, 0);
        }
    }
};

double millisOf (int h, int m, int s, int f, int fps)
{
    return ((h * 60 + m) * 60 + s) * 1000.0 + f * 1000.0 / fps;
}
}

TEST_F (LTCReaderFixture, DetectsTheFrameRateAndConvertsFrames)
{
    for (const int rate : { 25, 24, 30 })
    {
        // A fresh reader per rate: the first second after the start decides the rate.
        LTCReader fresh { std::make_unique<test::FakeDeviceManager> (std::make_shared<test::FakeAudioInput>()) };
        Deliveries seen;
        fresh.addListener (&seen);

        LtcSignal signal (48000.0, rate, { 9, 59, 58, 0 });
        std::vector<float> block (512);
        for (int i = 0; i < 48000 * 3 / 512; ++i)
        {
            signal.render (block.data(), 512);
            fresh.processBlock (block.data(), 512, 0);
        }

        EXPECT_EQ (fresh.getFps(), rate);
        EXPECT_TRUE (seen.contains (millisOf (10, 0, 0, 12, rate), rate)) << rate << " fps";
        // Only the very first frame (after nothing) counts as a jump.
        EXPECT_EQ (seen.interruptions, 1) << rate << " fps";
        fresh.removeListener (&seen);
    }

    // The example from the show floor: 10:00:00:12 at 25 fps.
    EXPECT_EQ (millisOf (10, 0, 0, 12, 25), 36'000'480.0);
}

TEST_F (LTCReaderFixture, AJumpIsOneInterruptionAndTimeResumesWithTheNextContinuingFrame)
{
    LtcSignal signal (48000.0, 25, { 10, 0, 0, 0 });
    feed (signal, 2.0);
    ASSERT_EQ (reader.getFps(), 25);
    const int before = deliveries.interruptions;

    signal.jumpTo ({ 11, 0, 0, 0 });
    feed (signal, 1.0);

    EXPECT_EQ (deliveries.interruptions, before + 1);

    // The jumped-to frame itself is dropped; from the one after it, time runs on frame by frame.
    const auto all = deliveries.get();
    const auto firstAfter = std::find_if (all.begin(), all.end(),
                                          [] (const auto& e) { return e.millis >= millisOf (11, 0, 0, 0, 25); });
    ASSERT_NE (firstAfter, all.end());
    EXPECT_EQ (firstAfter->millis, millisOf (11, 0, 0, 1, 25));
    for (auto it = firstAfter + 1; it != all.end(); ++it)
        EXPECT_DOUBLE_EQ (it->millis - (it - 1)->millis, 40.0);
}

TEST_F (LTCReaderFixture, ReversePlayIsADiscontinuity)
{
    LtcSignal signal (48000.0, 25, { 10, 0, 0, 0 });
    feed (signal, 1.0);
    const int before = deliveries.interruptions;

    signal.setReverse (true);
    feed (signal, 0.5);

    // About a dozen frames went backwards; each is reported and none is used.
    EXPECT_GE (deliveries.interruptions, before + 8);
    const auto all = deliveries.get();
    for (size_t i = 1; i < all.size(); ++i)
        EXPECT_GT (all[i].millis, all[i - 1].millis);
}

TEST_F (LTCReaderFixture, ADetectedRateReplacesTheUsersChoice)
{
    LtcSignal signal (48000.0, 25, { 10, 0, 0, 0 });
    feed (signal, 2.2);
    ASSERT_EQ (reader.getFps(), 25);

    reader.setFps (24);
    EXPECT_EQ (reader.getFps(), 24);

    feed (signal, 1.2);
    EXPECT_EQ (reader.getFps(), 25);
}

TEST_F (LTCReaderFixture, FramePositionsCountFromTheStartOfTheStream)
{
    // Every block starts at index 0 of its buffer; the decoder must still see where in the
    // stream each frame lies.
    LtcSignal signal (48000.0, 25, { 10, 0, 0, 0 });
    feed (signal, 3.0, 480);

    const auto all = deliveries.get();
    ASSERT_FALSE (all.empty());
    const auto framesIn = (int) std::lround ((all.back().millis - millisOf (10, 0, 0, 0, 25)) / 40.0);
    const juce::int64 expectedEnd = (juce::int64) (framesIn + 1) * 1920 - 1;
    EXPECT_NEAR ((double) reader.getLastFrameEnd(), (double) expectedEnd, 8.0);
}

TEST_F (LTCReaderFixture, SilenceAloneDeliversNothing)
{
    std::vector<float> silence (512, 0.0f);
    for (int i = 0; i < 200; ++i)
        reader.processBlock (silence.data(), 512, 0);
    reader.processBlock (nullptr, 512, 0);

    EXPECT_TRUE (deliveries.get().empty());
    EXPECT_EQ (deliveries.interruptions, 0);
    EXPECT_EQ (reader.getLastFrameEnd(), -1);
}
