#pragma once

#include <juce_core/juce_core.h>
#include <array>
#include <atomic>

/** A source of the show time. Drivers deliver on a thread of their own (a timer thread, the
    audio callback); setFps and the queries come from the message thread. */
class TimeDriver
{
public:
    struct Listener
    {
        virtual ~Listener() = default;
        /** Called on the driver's own thread after each new time. */
        virtual void timeChanged (TimeDriver* source) = 0;
        /** Called on the driver's thread when the incoming signal dropped or jumped. */
        virtual void signalInterrupted() {}
        /** Called when a master driver switched its current driver. */
        virtual void driverChanged() {}
    };

    virtual ~TimeDriver() = default;

    virtual double getMillis() const { return millis.load(); }
    virtual int getFps() const { return fps.load(); }
    virtual void setFps (int newFps) { fps = newFps; }
    virtual juce::String getName() const = 0;
    virtual juce::Array<int> getSupportedFps() const = 0;

    /** Stops delivering. When this returns no listener call is in progress and none follows,
        so whatever the listeners reach may then be destroyed. Message thread. */
    virtual void stop() {}

    /** A listener already present is not added again. At most maxListeners are held. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    static constexpr int maxListeners = 8;

protected:
    TimeDriver() = default;

    void callTimeChanged();
    void callSignalInterrupted();
    void callDriverChanged();

    // Written on the driver's thread, read on the message thread.
    std::atomic<double> millis { 0.0 };
    std::atomic<int> fps { 30 };

private:
    using Snapshot = std::array<Listener*, maxListeners>;

    /** Copies the listeners under a short lock, so no lock is held while they run and the
        driver's thread never allocates. */
    int copyListeners (Snapshot& out) const;

    mutable juce::SpinLock listenerLock;
    Snapshot listeners {};
    int numListeners = 0;

    JUCE_DECLARE_NON_COPYABLE (TimeDriver)
};
