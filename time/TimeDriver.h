#pragma once

#include <juce_core/juce_core.h>
#include <atomic>
#include <memory>
#include <vector>

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

    virtual ~TimeDriver();

    virtual double getMillis() const { return millis.load(); }
    virtual int getFps() const { return fps.load(); }
    virtual void setFps (int newFps) { fps = newFps; }
    virtual juce::String getName() const = 0;
    virtual juce::Array<int> getSupportedFps() const = 0;

    /** Stops delivering. When this returns no listener call is in progress and none follows,
        so whatever the listeners reach may then be destroyed. Message thread. */
    virtual void stop() {}

    /** A listener already present is not added again; there is no limit to their number. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

protected:
    TimeDriver() = default;

    void callTimeChanged();
    void callSignalInterrupted();
    void callDriverChanged();

    // Written on the driver's thread, read on the message thread.
    std::atomic<double> millis { 0.0 };
    std::atomic<int> fps { 30 };

private:
    using ListenerArray = std::vector<Listener*>;

    // The listeners are an immutable array that add and remove replace whole. The driver's
    // thread reads the current one with two atomic counts around the calls: it never locks,
    // allocates or frees, so it cannot wait for the thread that adds or removes, and no lock
    // is held while listeners run. A replaced array is freed by a later add or remove (or the
    // destructor) once no call is in progress, so none is freed while a call still reads it.
    std::atomic<const ListenerArray*> current { nullptr };
    std::atomic<int> callsInProgress { 0 };

    juce::CriticalSection writeLock;                     // add and remove, any thread but the driver's
    std::vector<std::unique_ptr<const ListenerArray>> arrays; // the current one last; writeLock

    void publish (ListenerArray next);
    template <typename Call>
    void callListeners (Call&& call);

    JUCE_DECLARE_NON_COPYABLE (TimeDriver)
};
