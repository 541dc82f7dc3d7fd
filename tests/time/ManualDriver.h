#pragma once

#include "time/TimeDriver.h"
#include <atomic>
#include <thread>

namespace test
{
/** A time driver that delivers when told to, on whichever thread tells it. */
class ManualDriver : public TimeDriver
{
public:
    explicit ManualDriver (juce::String driverName = "Manual", juce::Array<int> rates = { 1000 }, int initialFps = 1000)
        : name (std::move (driverName)), supported (std::move (rates))
    {
        fps = initialFps;
    }

    juce::String getName() const override { return name; }
    juce::Array<int> getSupportedFps() const override { return supported; }
    void stop() override { stopped = true; }

    void deliver (double ms)
    {
        millis = ms;
        callTimeChanged();
    }

    /** A time with a rate of its own (drivers that follow the incoming rate). */
    void deliver (double ms, int newFps)
    {
        fps = newFps;
        deliver (ms);
    }

    void interrupt() { callSignalInterrupted(); }

    std::atomic<bool> stopped { false };

private:
    const juce::String name;
    const juce::Array<int> supported;
};

/** Records what a time driver tells its listeners, and on which thread. */
struct RecordingDriverListener : TimeDriver::Listener
{
    void timeChanged (TimeDriver* source) override
    {
        lastSource = source;
        lastMillis = source->getMillis();
        lastThread = std::this_thread::get_id();
        ++times;
    }
    void signalInterrupted() override { ++interruptions; }
    void driverChanged() override { ++driverChanges; }

    std::atomic<int> times { 0 }, interruptions { 0 }, driverChanges { 0 };
    std::atomic<TimeDriver*> lastSource { nullptr };
    std::atomic<double> lastMillis { 0.0 };
    std::atomic<std::thread::id> lastThread {};
};
}
