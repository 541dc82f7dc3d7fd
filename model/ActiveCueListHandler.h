#pragma once

#include "model/CueListManager.h"
#include <atomic>

/** Holds one active cue list of the manager's lists and tells its listeners when it changes.
    Keeps its list while the manager still holds that very object, else falls back to the
    first list (the timetable when there is one).

    The live handler is also driven from a time driver's thread through selectFromTime. That
    thread reads only a snapshot of the lists' spans and kinds (refreshed on the message
    thread at every change), never touches a list, never holds a reference to one, and never
    waits for the message thread: a switch is posted, and made and announced on the message
    thread. */
class ActiveCueListHandler : private CueListManager::Listener,
                             private CueList::Listener,
                             private juce::AsyncUpdater
{
public:
    struct Listener
    {
        virtual ~Listener() = default;
        /** On the message thread; read the list with getActiveCueList. */
        virtual void activeCueListChanged() = 0;
    };

    explicit ActiveCueListHandler (std::shared_ptr<CueListManager> manager);
    ~ActiveCueListHandler() override;

    /** A copy of the active list (may be empty). Meant for the message thread: a copy held
        on another thread could end up as a list's last reference there. */
    std::shared_ptr<CueList> getActiveCueList() const;

    /** By hand (tabs, project page), on the message thread; always notifies. */
    void setActiveCueList (std::shared_ptr<CueList> list);

    /** Any thread. With the computer's clock the timetable; with timecode the first other
        list whose span holds the time (start <= t < end); else the current list stays. */
    void selectFromTime (int timeMs, bool clockMode);

    /** Any thread: switches to the list unless it is already active. Off the message thread
        the switch is posted; the list is then taken only if the manager still offers it. */
    void setActiveCueListLocked (std::shared_ptr<CueList> list);

    /** Message thread: keeps the list if the manager still holds that very object. */
    void validate();

    void addListener (Listener* l) { listeners.add (l); }
    void removeListener (Listener* l) { listeners.remove (l); }

private:
    struct Candidate
    {
        const CueList* list; // identity only: never dereferenced off the message thread
        juce::Range<int> range;
        bool timetable;
    };
    using Snapshot = std::vector<Candidate>;

    std::shared_ptr<CueListManager> manager;
    std::shared_ptr<CueList> activeList;
    juce::ListenerList<Listener> listeners;

    mutable juce::SpinLock activeLock; // guards activeList for the copy in getActiveCueList
    std::atomic<const CueList*> activeIdentity { nullptr };
    std::atomic<const CueList*> pendingIdentity { nullptr }; // the time's latest choice; null after a choice by hand

    std::vector<std::shared_ptr<CueList>> observedLists; // message thread only
    juce::SpinLock snapshotLock;
    std::shared_ptr<const Snapshot> snapshot;

    void setActive (std::shared_ptr<CueList> list);
    void notify();
    void requestSwitch (const CueList* identity);
    void switchTo (const CueList* identity);
    void observeLists();
    void publishSnapshot();

    void cueListsChanged() override;
    void cuesChanged() override { publishSnapshot(); }
    void cueListOffsetChanged() override { publishSnapshot(); }
    void cueListFpsChanged() override { publishSnapshot(); }
    void handleAsyncUpdate() override;

    JUCE_DECLARE_NON_COPYABLE (ActiveCueListHandler)
};
