#pragma once

#include "model/ActiveCueListHandler.h"
#include "model/CueList.h"
#include "server/LiveWaveform.h"
#include "server/VantrelServer.h"
#include "time/TimeManager.h"
#include <juce_data_structures/juce_data_structures.h>

class VantrelController;

/** Owns the document's web-client servers, one per "Server" child matched by port, binds
    them all to the document's network address, and forwards to them the time, the live
    cue list and its changes, and the live list's waveform. Message thread only. */
class ServerManager : private ActiveCueListHandler::Listener,
                      private CueList::Listener,
                      private juce::ValueTree::Listener,
                      private TimeManager::Listener
{
public:
    struct Listener
    {
        virtual ~Listener() = default;
        /** The set of servers or the network address changed. */
        virtual void serversChanged() {}
    };

    ServerManager (juce::ValueTree serversNode, VantrelController* controller);
    ~ServerManager() override;

    void setState (juce::ValueTree serversNode);
    juce::ValueTree getState() const { return state; }

    /** Adds a server on the first port from 3030 up that can listen on the network address. */
    void addServer();
    void deleteServer (const juce::String& uuid);
    juce::String getNetworkAddress() const { return state[IDs::IP].toString(); }
    void setNetworkAddress (const juce::String& address);

    int getNumServers() const { return (int) servers.size(); }
    std::shared_ptr<VantrelServer> getServer (int index) const;

    /** Stores the live list's new waveform and sends it to every server. */
    void setWaveform (const juce::Array<int>& peaks, float lengthMs);
    const juce::Array<int>& getPeaks() const { return waveform->getPeaks(); }
    float getWaveformLength() const { return waveform->getLength(); }

    void addListener (Listener* l) { listeners.add (l); }
    void removeListener (Listener* l) { listeners.remove (l); }

    static constexpr int firstPort = 3030;

private:
    VantrelController* controller;
    // Own references: the controller releases its fields before this manager goes, and the
    // manager still has to leave them.
    std::shared_ptr<ActiveCueListHandler> liveHandler;
    std::shared_ptr<TimeManager> timeManager;
    // Shared with the servers, which read it for their messages.
    std::shared_ptr<LiveWaveform> waveform;
    juce::ValueTree state;
    juce::ListenerList<Listener> listeners;
    std::vector<std::shared_ptr<VantrelServer>> servers;
    std::shared_ptr<CueList> subscribedList;

    void syncServers();
    std::shared_ptr<VantrelServer> makeServer (const juce::ValueTree& child);
    void restartServersOn (const juce::String& address);
    void forEachServer (const std::function<void (VantrelServer&)>& f);

    void activeCueListChanged() override;
    void cueListNameChanged() override;
    void cueListOffsetChanged() override;
    void cuesChanged() override;
    void valueTreePropertyChanged (juce::ValueTree& tree, const juce::Identifier& property) override;
    void valueTreeChildAdded (juce::ValueTree& parent, juce::ValueTree&) override;
    void valueTreeChildRemoved (juce::ValueTree& parent, juce::ValueTree&, int) override;
    void timeChanged (const TimeInfo&) override;

    JUCE_DECLARE_NON_COPYABLE (ServerManager)
};
