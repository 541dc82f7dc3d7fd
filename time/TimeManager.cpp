#include "time/TimeManager.h"

#include "model/ActiveCueListHandler.h"
#include "time/WholeMillis.h"

namespace
{
double monotonicMillis()
{
    return juce::Time::getMillisecondCounterHiRes();
}
}

TimeManager::TimeManager (std::shared_ptr<ActiveCueListHandler> handler, int defaultFps)
    : TimeManager (std::move (handler), defaultFps, nullptr, nullptr)
{
}

TimeManager::TimeManager (std::shared_ptr<ActiveCueListHandler> handler, int defaultFps,
                          std::unique_ptr<MasterTimeDriver> drivers, Clock monotonicNow)
    : ownedMaster (drivers != nullptr ? std::move (drivers) : std::make_unique<MasterTimeDriver>()),
      master (*ownedMaster),
      liveHandler (std::move (handler)),
      now (monotonicNow ? std::move (monotonicNow) : Clock (monotonicMillis))
{
    startTimer (16);
    master.addListener (this);
    master.setFps (defaultFps);
}

TimeManager::~TimeManager()
{
    // The drivers stop first: their threads never wait for this one, so stopping them cannot
    // deadlock, and afterwards nothing calls into what goes next.
    stopping = true;
    stopTimer();
    master.stop();
    master.removeListener (this);
    cancelPendingUpdate();
    liveHandler.reset();
    listeners.clear();
    ownedMaster.reset();
}

TimeInfo TimeManager::getTimeInfo() const
{
    const juce::SpinLock::ScopedLockType lock (sharedLock);
    return shared.info;
}

void TimeManager::timeChanged (TimeDriver*)
{
    if (stopping)
        return;

    const auto at = now();
    const auto time = toWholeMillis (master.getMillis());
    const auto fps = master.getFps();

    {
        const juce::SpinLock::ScopedLockType lock (sharedLock);
        shared.info.time = time;
        shared.info.fps = fps;
        shared.info.internalClock = fps == 1000;
        shared.lastUpdate = at;
        shared.hadUpdate = true;
    }

    // The live list follows the time; the handler never waits for the message thread here,
    // a switch is made there.
    if (liveHandler != nullptr)
        liveHandler->selectFromTime (time, fps == 1000);
}

void TimeManager::timerCallback()
{
    Shared state;
    {
        const juce::SpinLock::ScopedLockType lock (sharedLock);
        state = shared;
    }

    const bool wasRunning = state.info.running;
    const bool running = state.hadUpdate && now() - state.lastUpdate < 1000.0;
    state.info.running = running;
    {
        const juce::SpinLock::ScopedLockType lock (sharedLock);
        shared.info.running = running;
    }

    if ((running && state.info.time != lastPublishedTime) || running != wasRunning)
        listeners.call ([&state] (Listener& l) { l.timeChanged (state.info); });

    lastPublishedTime = state.info.time;
}

void TimeManager::signalInterrupted()
{
    // Any driver thread, the audio callback included: hand over without waiting.
    if (stopping)
        return;
    interrupted = true;
    triggerAsyncUpdate();
}

void TimeManager::handleAsyncUpdate()
{
    if (interrupted.exchange (false))
        listeners.call ([] (Listener& l) { l.signalInterrupted(); });
}

void TimeManager::driverChanged()
{
    if (juce::MessageManager::getInstance()->isThisTheMessageThread())
    {
        announceDriverChange();
        return;
    }

    juce::MessageManager::callAsync ([weak = self] {
        if (auto* manager = weak.get())
            manager->announceDriverChange();
    });
}

void TimeManager::announceDriverChange()
{
    const int index = master.getDriverNames().indexOf (master.getName());
    {
        const juce::SpinLock::ScopedLockType lock (sharedLock);
        shared.info.internalClock = index == 0;
        shared.info.fps = master.getFps();
        shared.info.time = toWholeMillis (master.getMillis());
    }
    listeners.call ([index] (Listener& l) { l.driverChanged (index); });
}
