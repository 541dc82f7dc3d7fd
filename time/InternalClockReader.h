#pragma once

#include "time/TimeDriver.h"
#include <functional>

/** The computer's clock as a time driver: the local time of day in milliseconds, read every
    10 ms on a high-resolution timer thread. */
class InternalClockReader : public TimeDriver, private juce::HighResolutionTimer
{
public:
    /** Where the current time comes from; tests hand in a fixed or stepped clock. */
    using Clock = std::function<juce::Time()>;

    explicit InternalClockReader (Clock clock = {});
    ~InternalClockReader() override;

    juce::String getName() const override { return "Internal Clock"; }
    juce::Array<int> getSupportedFps() const override { return { getFps() }; }

    /** Stops the timer, waiting for a tick in progress. */
    void stop() override;

    /** Milliseconds since local midnight: hour and minute from the local calendar time,
        second and millisecond from the same instant. */
    static double millisOfDay (juce::Time time);

private:
    void hiResTimerCallback() override;

    const Clock clock;
};
