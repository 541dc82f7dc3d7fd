#include "time/TimeDriver.h"

void TimeDriver::addListener (Listener* listener)
{
    const juce::SpinLock::ScopedLockType lock (listenerLock);

    for (int i = 0; i < numListeners; ++i)
        if (listeners[(size_t) i] == listener)
            return;

    jassert (numListeners < maxListeners);
    if (listener != nullptr && numListeners < maxListeners)
        listeners[(size_t) numListeners++] = listener;
}

void TimeDriver::removeListener (Listener* listener)
{
    const juce::SpinLock::ScopedLockType lock (listenerLock);

    for (int i = 0; i < numListeners; ++i)
    {
        if (listeners[(size_t) i] == listener)
        {
            for (int j = i + 1; j < numListeners; ++j)
                listeners[(size_t) j - 1] = listeners[(size_t) j];
            listeners[(size_t) --numListeners] = nullptr;
            return;
        }
    }
}

int TimeDriver::copyListeners (Snapshot& out) const
{
    const juce::SpinLock::ScopedLockType lock (listenerLock);
    out = listeners;
    return numListeners;
}

void TimeDriver::callTimeChanged()
{
    Snapshot snapshot;
    const int n = copyListeners (snapshot);
    for (int i = 0; i < n; ++i)
        snapshot[(size_t) i]->timeChanged (this);
}

void TimeDriver::callSignalInterrupted()
{
    Snapshot snapshot;
    const int n = copyListeners (snapshot);
    for (int i = 0; i < n; ++i)
        snapshot[(size_t) i]->signalInterrupted();
}

void TimeDriver::callDriverChanged()
{
    Snapshot snapshot;
    const int n = copyListeners (snapshot);
    for (int i = 0; i < n; ++i)
        snapshot[(size_t) i]->driverChanged();
}
