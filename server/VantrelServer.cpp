#include "server/VantrelServer.h"

#include "app/VantrelController.h"
#include "document/AppData.h"
#include "model/ActiveCueListHandler.h"
#include "model/CategoryManager.h"
#include "model/CueList.h"
#include "server/LiveWaveform.h"
#include "time/TimeManager.h"
#include "ui/kit/DialogPresenter.h"

VantrelServer::VantrelServer (int port)
{
    state = juce::ValueTree (IDs::Server);
    state.appendChild (juce::ValueTree (IDs::ColorMask), nullptr);
    state.setProperty (IDs::uuid, juce::Uuid().toString(), nullptr);
    state.setProperty (IDs::port, port, nullptr);
    state.setProperty (IDs::name, "New Server", nullptr);
}

VantrelServer::VantrelServer (juce::ValueTree node, const juce::String& bindAddress, VantrelController* controller)
    : state (node),
      liveHandler (controller->activeCueListHandler),
      timeManager (controller->timeManager),
      waveform (controller->liveWaveform),
      categoryManager (controller->categoryManager)
{
    socketServer = std::make_unique<SimpleWebSocketServer>();
    // Listening from the start, so no browser that connects in the first second is missed:
    // it is greeted at the start check.
    socketServer->addListener (this);
    socketServer->start ((int) state[IDs::port], {}, bindAddress);
    colorMask = std::make_shared<ColorMask> (state.getChildWithName (IDs::ColorMask));
    // Its row follows renames and undo whether or not the port could be opened.
    state.addListener (this);

    juce::Timer::callAfterDelay (1000, [weak = self]
    {
        if (auto* server = weak.get())
            server->startCheck();
    });
}

VantrelServer::~VantrelServer()
{
    stopTimer();
    categoryListeners.clear();
    unbindFromState();
    state.removeListener (this);
    if (socketServer != nullptr)
    {
        // Joins the server thread: no connection callback can arrive after this.
        socketServer->stopServer();
        socketServer.reset();
    }
    stopListeningToCues();
}

int VantrelServer::getPort() const
{
    return socketServer != nullptr ? socketServer->getPort() : (int) state[IDs::port];
}

juce::String VantrelServer::getBindAddress() const
{
    return socketServer != nullptr ? socketServer->getBindAddress() : juce::String();
}

juce::File VantrelServer::getDistFolder()
{
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile).getParentDirectory().getChildFile ("dist");
}

void VantrelServer::bindToState()
{
    colorMask->addListener (this);
}

void VantrelServer::unbindFromState()
{
    if (colorMask != nullptr)
        colorMask->removeListener (this);
}

void VantrelServer::serverStarted()
{
    // Serving begins as soon as the port is ours, not at the check a second later: a browser
    // that is waiting gets its greeting at once.
    juce::MessageManager::callAsync ([weak = self]
    {
        if (auto* server = weak.get(); server != nullptr && ! server->serving && server->socketServer->isRunning())
            server->beginServing();
    });
}

void VantrelServer::beginServing()
{
    serving = true;
    socketServer->setRootFolder (getDistFolder());
    bindToState();
    updateTrackedCues();
    sendTime();
    sendWaveform();
    // Browsers that connected before serving began have had nothing yet.
    for (const auto& id : getUngreeted())
        greet (id);
}

void VantrelServer::startCheck()
{
    if (serving)
        return;
    if (socketServer->isRunning())
    {
        beginServing();
        return;
    }

    DialogPresenter::showAsync ("Uh-oh!",
                                "I couldn't create a server on port " + juce::String (getPort())
                                    + ". Don't worry, you can just add another server, I will use the next available port instead!"
                                    + " This server stays in the project, and I will try its port again at the next start"
                                      " or when the network address changes.",
                                { "OK" });
    if (onFailure)
        onFailure(); // may delete this server: nothing below may touch it
}

void VantrelServer::setState (juce::ValueTree node)
{
    if (node == state)
        return;
    const bool wasBound = serving;
    if (wasBound)
        unbindFromState();
    state.removeListener (this);
    state = node;
    state.addListener (this);
    colorMask = std::make_shared<ColorMask> (state.getChildWithName (IDs::ColorMask));
    if (wasBound)
    {
        bindToState();
        updateTrackedCues();
        broadcast (createMiscMessage());
    }
    listeners.call ([] (Listener& l) { l.serverChanged(); });
}

void VantrelServer::setName (const juce::String& name)
{
    auto* um = AppData::getUndoManager();
    if (um != nullptr)
        um->beginNewTransaction ("Set Server Name");
    state.setProperty (IDs::name, name, um);
    broadcast (createMiscMessage());
}

void VantrelServer::setBindAddress (const juce::String& address)
{
    if (socketServer == nullptr || socketServer->getBindAddress() == address)
        return;
    socketServer->stopServer();
    socketServer->start (getPort(), {}, address);
    scheduleRestartCheck (address);
}

void VantrelServer::scheduleRestartCheck (const juce::String& address)
{
    juce::Timer::callAfterDelay (1000, [weak = self, address]
    {
        auto* server = weak.get();
        if (server == nullptr || server->socketServer->isRunning() || server->socketServer->getBindAddress() != address)
            return;
        // The node stays: the operator may pick another address, and undo must find it.
        DialogPresenter::showAsync ("Uh-oh!",
                                    "I couldn't start the server on port " + juce::String (server->getPort())
                                        + " at the address " + address + ". Try another network address.",
                                    { "OK" });
    });
}

//==============================================================================
juce::StringArray VantrelServer::getUngreeted()
{
    juce::StringArray ids;
    const juce::ScopedLock sl (ungreetedLock);
    for (const auto& id : ungreeted)
        ids.add (id);
    return ids;
}

void VantrelServer::broadcast (const juce::String& message)
{
    if (socketServer != nullptr)
        socketServer->broadcastTextExcept (message, getUngreeted());
}

void VantrelServer::clientOpening (const juce::String& clientId)
{
    const juce::ScopedLock sl (ungreetedLock);
    ungreeted.insert (clientId);
}

void VantrelServer::clientConnected (const juce::String& clientId)
{
    // The greeting reads the show model, which lives on the message thread.
    juce::MessageManager::callAsync ([weak = self, clientId]
    {
        if (auto* server = weak.get(); server != nullptr && server->serving)
            server->greet (clientId);
    });
}

void VantrelServer::clientClosed (const juce::String& clientId, int, const juce::String&)
{
    const juce::ScopedLock sl (ungreetedLock);
    ungreeted.erase (clientId);
    greeted.erase (clientId);
}

void VantrelServer::clientError (const juce::String& clientId, const juce::String&)
{
    clientClosed (clientId, 0, {});
}

void VantrelServer::greet (const juce::String& clientId)
{
    {
        const juce::ScopedLock sl (ungreetedLock);
        if (ungreeted.count (clientId) == 0)
            return; // gone, or greeted already
    }
    socketServer->sendTextTo (createCueListMessage(), clientId);
    socketServer->sendTextTo (createWaveformMessage(), clientId);
    socketServer->sendReplaceableTextTo (createTimeMessage(), timeReplaceKey, clientId);
    socketServer->sendTextTo (createMiscMessage(), clientId);

    const juce::ScopedLock sl (ungreetedLock);
    ungreeted.erase (clientId);
    greeted.insert (clientId);
}

bool VantrelServer::hasGreetedBrowsers()
{
    const juce::ScopedLock sl (ungreetedLock);
    return ! greeted.empty();
}

//==============================================================================
void VantrelServer::stopListeningToCues()
{
    for (auto& weak : trackedCues)
        if (auto cue = weak.lock())
            cue->removeListener (this);
    trackedCues.clear();
}

void VantrelServer::updateTrackedCues()
{
    stopListeningToCues();

    trackedCues = WebClientMessages::visibleCues (liveHandler->getActiveCueList().get(), colorMask->getColors());
    for (const auto& weak : trackedCues)
        if (auto cue = weak.lock())
            cue->addListener (this);

    rebuildCategoryListeners();
    // A long show's list takes a while to build: not for nobody (a browser that comes later
    // builds its own in its greeting).
    if (hasGreetedBrowsers())
        broadcast (createCueListMessage());
    lastCueIndex = 0;
}

void VantrelServer::rebuildCategoryListeners()
{
    categoryListeners.clear();
    for (const auto& [uuid, category] : WebClientMessages::linkedCategories (trackedCues))
    {
        auto listener = std::make_shared<CategoryListener> (category);
        std::weak_ptr<Category> weakCategory (category);
        listener->callback = [this, weakCategory]
        {
            auto changed = weakCategory.lock();
            if (changed == nullptr)
                return;
            if (std::find (pendingCategories.begin(), pendingCategories.end(), changed) == pendingCategories.end())
                pendingCategories.push_back (changed);
            startTimer (1000);
        };
        categoryListeners[uuid] = listener;
    }
}

void VantrelServer::valueTreePropertyChanged (juce::ValueTree&, const juce::Identifier&)
{
    listeners.call ([] (Listener& l) { l.serverChanged(); });
}

void VantrelServer::cueTextChanged()
{
    cueListDirty = true;
    startTimer (1000);
}

void VantrelServer::cueCategoryChanged()
{
    rebuildCategoryListeners();
    cueListDirty = true;
    startTimer (1000);
}

void VantrelServer::timerCallback()
{
    stopTimer();
    auto pending = std::move (pendingCategories);
    pendingCategories = {};
    for (const auto& category : pending)
        if (categoryManager->getCategory (category->getUuid()) == category) // not deleted meanwhile
            broadcast (createCategoryMessage (*category));

    if (cueListDirty && hasGreetedBrowsers())
        broadcast (createCueListMessage());
    cueListDirty = false;
}

void VantrelServer::sendTime()
{
    const auto message = createTimeMessage();
    if (message.isNotEmpty() && socketServer != nullptr)
        socketServer->broadcastReplaceableText (message, timeReplaceKey, getUngreeted());
}

void VantrelServer::sendWaveform()
{
    const auto& peaks = waveform->getPeaks();
    if (peaks.isEmpty())
        return;
    waveformData = WebClientMessages::toPeakData (peaks);
    broadcast (createWaveformMessage());
}

//==============================================================================
juce::String VantrelServer::createMiscMessage() const
{
    return WebClientMessages::misc (state.hasProperty (IDs::name) ? state[IDs::name] : juce::var());
}

juce::String VantrelServer::createWaveformMessage() const
{
    return WebClientMessages::waveform (*waveform, waveformData);
}

juce::String VantrelServer::createTimeMessage()
{
    return createTimeMessage (timeManager->getTimeInfo());
}

juce::String VantrelServer::createTimeMessage (const TimeInfo& info)
{
    return WebClientMessages::time (info, trackedCues, lastCueIndex);
}

juce::String VantrelServer::createCueListMessage() const
{
    WebClientMessages::LinkedCategories categories;
    for (const auto& [uuid, listener] : categoryListeners)
        categories.emplace (uuid, listener->getCategory());
    return WebClientMessages::cueList (liveHandler->getActiveCueList().get(), trackedCues, categories);
}
