#pragma once

#include "time/MasterTimeDriver.h"
#include "time/TimeInfo.h"

#include <juce_events/juce_events.h>
#include <functional>
#include <memory>

class ActiveCueListHandler;

/** The application's clock. Takes every new time from the current driver on that driver's
    thread and lets the live cue list follow it; every 16 ms on the message thread it publishes
    a TimeInfo to its listeners while time runs (a time arrived less than a second ago), once
    when it stops and once when it starts again. Interruptions of the signal and switches of
    driver reach the listeners on the message thread. No driver thread ever waits for the
    message thread. */
class TimeManager : public TimeDriver::Listener, public juce::Timer, private juce::AsyncUpdater
{
public:
    struct Listener
    {
        virtual ~Listener() = default;
        /** A new time, or a change of the running state. Message thread. */
        virtual void timeChanged (const TimeInfo& info) = 0;
        /** The incoming signal dropped or jumped. Message thread. */
        virtual void signalInterrupted() {}
        /** The current driver changed; its index in MasterTimeDriver::getDriverNames, or -1.
            Message thread; the new values are already in getTimeInfo. */
        virtual void driverChanged (int /*driverIndex*/) {}
    };

    /** Milliseconds on a clock that only moves forward; tests hand in their own. */
    using Clock = std::function<double()>;

    TimeManager (std::shared_ptr<ActiveCueListHandler> liveHandler, int defaultFps);

    /** With given drivers and clock (tests). */
    TimeManager (std::shared_ptr<ActiveCueListHandler> liveHandler, int defaultFps,
                 std::unique_ptr<MasterTimeDriver> drivers, Clock monotonicNow);

    ~TimeManager() override;

    /** A copy of the current state; callable from any thread. */
    TimeInfo getTimeInfo() const;

    void addListener (Listener* listener) { listeners.add (listener); }
    void removeListener (Listener* listener) { listeners.remove (listener); }

    /** The 16 ms check: decides the running state and publishes. Message thread. */
    void timerCallback() override;

    // TimeDriver::Listener, called by the master
    void timeChanged (TimeDriver* source) override;
    void signalInterrupted() override;
    void driverChanged() override;

private:
    std::unique_ptr<MasterTimeDriver> ownedMaster;

public:
    /** The drivers: the main view switches them and sets the frame rate here, the audio page
        reaches the audio input through it. */
    MasterTimeDriver& master;

private:
    void handleAsyncUpdate() override;
    void announceDriverChange();

    juce::ListenerList<Listener> listeners;
    std::shared_ptr<ActiveCueListHandler> liveHandler;
    const Clock now;

    /** What the driver threads hand over; copied whole under the lock by either side. */
    struct Shared
    {
        TimeInfo info;
        double lastUpdate = 0.0;
        bool hadUpdate = false;
    };
    mutable juce::SpinLock sharedLock;
    Shared shared;

    // Message thread only.
    int32_t lastPublishedTime = 0;

    std::atomic<bool> interrupted { false };
    std::atomic<bool> stopping { false };

    JUCE_DECLARE_WEAK_REFERENCEABLE (TimeManager)

    // What a call posted from a driver's thread holds, and checks on the message thread.
    // Made here, on the message thread, and never written again: the driver's thread only
    // copies it (a weak reference made there would create the shared part off this thread).
    const juce::WeakReference<TimeManager> self { this };

    JUCE_DECLARE_NON_COPYABLE (TimeManager)
};
