#include "server/ServerManager.h"

#include "app/VantrelController.h"
#include "document/AppData.h"
#include "server/NetworkAdapterComboBox.h"
#include "ui/kit/DialogPresenter.h"

#include <set>

ServerManager::ServerManager (juce::ValueTree serversNode, VantrelController* c)
    : controller (c), liveHandler (c->activeCueListHandler), timeManager (c->timeManager), waveform (c->liveWaveform)
{
    setState (serversNode);
    liveHandler->addListener (this);
    subscribedList = liveHandler->getActiveCueList();
    timeManager->addListener (this);
    if (subscribedList != nullptr)
        subscribedList->addListener (this);
}

ServerManager::~ServerManager()
{
    servers.clear();
    liveHandler->removeListener (this);
    timeManager->removeListener (this);
    if (subscribedList != nullptr)
        subscribedList->removeListener (this);
    state.removeListener (this);
}

void ServerManager::setState (juce::ValueTree serversNode)
{
    state.removeListener (this);
    state = serversNode;

    const auto bindable = NetworkAdapterComboBox::getBindableAddresses (true, false);
    if (! bindable.contains (state[IDs::IP].toString()))
        state.setProperty (IDs::IP, "0.0.0.0", nullptr);

    state.addListener (this);
    syncServers();
}

void ServerManager::syncServers()
{
    const auto portOf = [] (const juce::ValueTree& child) { return (int) child[IDs::port]; };

    for (int i = (int) servers.size(); --i >= 0;)
    {
        const auto port = servers[(size_t) i]->getPort();
        auto child = std::find_if (state.begin(), state.end(), [&] (const juce::ValueTree& c) { return portOf (c) == port; });
        if (child == state.end())
            servers.erase (servers.begin() + i);
        else
            servers[(size_t) i]->setState (*child); // a kept server follows the current document's node
    }

    for (const auto& child : state)
    {
        if (! child.hasType (IDs::Server))
            continue;
        const auto port = portOf (child);
        const bool served = std::any_of (servers.begin(), servers.end(),
                                         [port] (const auto& s) { return s->getPort() == port; });
        if (served)
            continue;

        servers.push_back (makeServer (child));
    }
}

std::shared_ptr<VantrelServer> ServerManager::makeServer (const juce::ValueTree& child)
{
    // A server whose port cannot be opened reports it and stays in the document as it is:
    // a port busy for a moment must not cost the server's name and mask. It is tried again
    // at the next start or change of network address.
    return std::make_shared<VantrelServer> (child, getNetworkAddress(), controller);
}

std::shared_ptr<VantrelServer> ServerManager::getServer (int index) const
{
    return juce::isPositiveAndBelow (index, (int) servers.size()) ? servers[(size_t) index] : nullptr;
}

void ServerManager::addServer()
{
    const auto address = getNetworkAddress();
    // Every server of the document keeps its port, also one that is not running now.
    std::set<int> documentPorts;
    for (const auto& child : state)
        documentPorts.insert ((int) child[IDs::port]);

    int port = -1;
    for (int p = firstPort; p <= 65535; ++p)
    {
        if (documentPorts.count (p) > 0)
            continue;
        juce::StreamingSocket probe;
        if (probe.createListener (p, address == "0.0.0.0" ? juce::String() : address))
        {
            probe.close();
            port = p;
            break;
        }
    }

    if (port < 0)
    {
        DialogPresenter::getInstance()->show ("Uh-oh!",
                                              "I couldn't find a free port for a new server at the address " + address + ".",
                                              { "OK" });
        return;
    }

    VantrelServer nodeOnly (port);
    auto* um = AppData::getUndoManager();
    um->beginNewTransaction ("Add Server");
    state.appendChild (nodeOnly.getState(), um);
}

void ServerManager::deleteServer (const juce::String& uuid)
{
    auto* um = AppData::getUndoManager();
    um->beginNewTransaction ("Delete Server");
    for (const auto& child : state)
        if (child[IDs::uuid].toString() == uuid)
        {
            state.removeChild (child, um);
            return;
        }
}

void ServerManager::setNetworkAddress (const juce::String& address)
{
    if (address == getNetworkAddress())
        return;
    auto* um = AppData::getUndoManager();
    um->beginNewTransaction ("Set Network");
    state.setProperty (IDs::IP, address, um); // the property listener restarts the servers
}

void ServerManager::restartServersOn (const juce::String& address)
{
    for (auto& server : servers)
    {
        if (server->isServing())
            server->setBindAddress (address);
        else
            server = makeServer (server->getState()); // one that could not start tries again
    }
    listeners.call ([] (Listener& l) { l.serversChanged(); });
}

void ServerManager::setWaveform (const juce::Array<int>& newPeaks, float lengthMs)
{
    waveform->set (newPeaks, lengthMs);
    forEachServer ([] (VantrelServer& s) { s.sendWaveform(); });
}

void ServerManager::forEachServer (const std::function<void (VantrelServer&)>& f)
{
    // A copy: what a server does in here must not be able to invalidate this loop.
    auto current = servers;
    for (auto& server : current)
        f (*server);
}

void ServerManager::activeCueListChanged()
{
    auto live = liveHandler->getActiveCueList();
    if (live != subscribedList)
    {
        if (subscribedList != nullptr)
            subscribedList->removeListener (this);
        subscribedList = live;
        if (subscribedList != nullptr)
            subscribedList->addListener (this);
    }
    forEachServer ([] (VantrelServer& s) { s.updateTrackedCues(); });
}

void ServerManager::cueListNameChanged() { forEachServer ([] (VantrelServer& s) { s.updateTrackedCues(); }); }
void ServerManager::cueListOffsetChanged() { forEachServer ([] (VantrelServer& s) { s.updateTrackedCues(); }); }
void ServerManager::cuesChanged() { forEachServer ([] (VantrelServer& s) { s.updateTrackedCues(); }); }

void ServerManager::timeChanged (const TimeInfo&)
{
    forEachServer ([] (VantrelServer& s)
    {
        if (s.isServing())
            s.sendTime();
    });
}

void ServerManager::valueTreePropertyChanged (juce::ValueTree& tree, const juce::Identifier& property)
{
    // Set Network, and its undo and redo: every server follows the stored address.
    if (tree == state && property == IDs::IP)
        restartServersOn (getNetworkAddress());
}

void ServerManager::valueTreeChildAdded (juce::ValueTree& parent, juce::ValueTree&)
{
    if (parent != state)
        return;
    syncServers();
    listeners.call ([] (Listener& l) { l.serversChanged(); });
}

void ServerManager::valueTreeChildRemoved (juce::ValueTree& parent, juce::ValueTree&, int)
{
    if (parent != state)
        return;
    syncServers();
    listeners.call ([] (Listener& l) { l.serversChanged(); });
}
