#include "time/TimeDriver.h"

#include <algorithm>

TimeDriver::~TimeDriver()
{
    // The driver has stopped (stop() or its own destructor): no call reads an array now.
    jassert (callsInProgress.load() == 0);
}

void TimeDriver::addListener (Listener* listener)
{
    if (listener == nullptr)
        return;

    const juce::ScopedLock lock (writeLock);
    const auto* now = current.load();
    ListenerArray next;
    if (now != nullptr)
    {
        if (std::find (now->begin(), now->end(), listener) != now->end())
            return;
        next = *now;
    }
    next.push_back (listener);
    publish (std::move (next));
}

void TimeDriver::removeListener (Listener* listener)
{
    const juce::ScopedLock lock (writeLock);
    const auto* now = current.load();
    if (now == nullptr || std::find (now->begin(), now->end(), listener) == now->end())
        return;

    ListenerArray next;
    next.reserve (now->size() - 1);
    std::copy_if (now->begin(), now->end(), std::back_inserter (next), [listener] (Listener* l) { return l != listener; });
    publish (std::move (next));
}

void TimeDriver::publish (ListenerArray next)
{
    // Called under writeLock.
    arrays.push_back (std::make_unique<const ListenerArray> (std::move (next)));
    current.store (arrays.back().get());

    // A call that began before the store may still read an older array; one that begins
    // after it reads the new one. With no call in progress now, the older ones are unreachable.
    if (callsInProgress.load() == 0)
        arrays.erase (arrays.begin(), arrays.end() - 1);
}

template <typename Call>
void TimeDriver::callListeners (Call&& call)
{
    // Counted before the array is read: a writer that sees no call in progress after its
    // store knows that no call holds the array it replaced.
    callsInProgress.fetch_add (1);
    if (const auto* listeners = current.load())
        for (auto* listener : *listeners)
            call (*listener);
    callsInProgress.fetch_sub (1);
}

void TimeDriver::callTimeChanged()
{
    callListeners ([this] (Listener& l) { l.timeChanged (this); });
}

void TimeDriver::callSignalInterrupted()
{
    callListeners ([] (Listener& l) { l.signalInterrupted(); });
}

void TimeDriver::callDriverChanged()
{
    callListeners ([] (Listener& l) { l.driverChanged(); });
}
