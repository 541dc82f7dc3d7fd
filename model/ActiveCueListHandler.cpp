#include "model/ActiveCueListHandler.h"

ActiveCueListHandler::ActiveCueListHandler (std::shared_ptr<CueListManager> m) : manager (std::move (m))
{
    manager->addListener (this);
    observeLists();
    validate();
}

ActiveCueListHandler::~ActiveCueListHandler()
{
    cancelPendingUpdate();
    manager->removeListener (this);
    for (auto& list : observedLists)
        list->removeListener (this);
}

std::shared_ptr<CueList> ActiveCueListHandler::getActiveCueList() const
{
    const juce::SpinLock::ScopedLockType sl (activeLock);
    return activeList;
}

void ActiveCueListHandler::setActive (std::shared_ptr<CueList> list)
{
    activeIdentity = list.get();
    {
        const juce::SpinLock::ScopedLockType sl (activeLock);
        std::swap (activeList, list);
    }
    // The previous list is let go here, outside the lock, on the message thread.
}

void ActiveCueListHandler::notify()
{
    listeners.call ([] (Listener& l) { l.activeCueListChanged(); });
}

void ActiveCueListHandler::setActiveCueList (std::shared_ptr<CueList> list)
{
    // A choice by hand overrides a switch the time asked for earlier.
    pendingIdentity = nullptr;
    setActive (std::move (list));
    notify();
}

void ActiveCueListHandler::validate()
{
    auto active = getActiveCueList();
    if (active != nullptr && manager->getCueList (active->getUuid()) == active)
        return;

    const auto lists = manager->getCueLists();
    setActive (lists.empty() ? nullptr : lists.front());
    notify();
}

void ActiveCueListHandler::selectFromTime (int timeMs, bool clockMode)
{
    std::shared_ptr<const Snapshot> current;
    {
        const juce::SpinLock::ScopedLockType sl (snapshotLock);
        current = snapshot;
    }
    if (current == nullptr)
        return;

    for (const auto& c : *current)
    {
        const bool chosen = clockMode ? c.timetable
                                      : (! c.timetable && c.range.getStart() <= timeMs && timeMs < c.range.getEnd());
        if (chosen)
        {
            requestSwitch (c.list);
            return;
        }
    }
}

void ActiveCueListHandler::setActiveCueListLocked (std::shared_ptr<CueList> list)
{
    if (list == nullptr)
        return;

    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        pendingIdentity = nullptr;
        if (list.get() != activeIdentity.load())
        {
            setActive (std::move (list));
            notify();
        }
        return;
    }
    requestSwitch (list.get());
}

void ActiveCueListHandler::requestSwitch (const CueList* identity)
{
    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        pendingIdentity = nullptr;
        if (identity != activeIdentity.load())
            switchTo (identity);
        return;
    }

    // The latest choice wins, also when it is the list already live: a switch posted for an
    // earlier time (before a locate back) is then dropped instead of made.
    pendingIdentity = identity;
    if (identity != activeIdentity.load())
        triggerAsyncUpdate(); // coalesced: one post however often the time asks
}

void ActiveCueListHandler::handleAsyncUpdate()
{
    auto* wanted = pendingIdentity.load();
    if (wanted != nullptr && wanted != activeIdentity.load())
        switchTo (wanted);

    // A choice made while the switch ran may have seen the old list as live and posted
    // nothing: follow it now.
    auto* latest = pendingIdentity.load();
    if (latest != nullptr && latest != wanted && latest != activeIdentity.load())
        triggerAsyncUpdate();
}

void ActiveCueListHandler::switchTo (const CueList* identity)
{
    // Resolved against the lists the snapshot was made from: a list deleted meanwhile is
    // simply not found. After another document was loaded these may still be the old one's
    // until the manager reports its new lists; only a list the manager holds can go live.
    for (const auto& list : observedLists)
        if (list.get() == identity)
        {
            if (list != getActiveCueList() && manager->getCueList (list->getUuid()) == list)
            {
                setActive (list);
                notify();
            }
            return;
        }
}

void ActiveCueListHandler::observeLists()
{
    for (auto& list : observedLists)
        list->removeListener (this);
    observedLists = manager->getCueLists();
    for (auto& list : observedLists)
        list->addListener (this);
    publishSnapshot();
}

void ActiveCueListHandler::publishSnapshot()
{
    auto next = std::make_shared<Snapshot>();
    next->reserve (observedLists.size());
    for (const auto& list : observedLists)
        next->push_back ({ list.get(), list->getRange(), list->isTimetable() });

    std::shared_ptr<const Snapshot> previous = std::move (next);
    {
        const juce::SpinLock::ScopedLockType sl (snapshotLock);
        std::swap (snapshot, previous);
    }
}

void ActiveCueListHandler::cueListsChanged()
{
    observeLists();
    validate();
}
