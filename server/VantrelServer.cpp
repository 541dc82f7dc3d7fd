#include "server/VantrelServer.h"

#include "app/VantrelController.h"
#include "document/AppData.h"
#include "model/CueList.h"
#include "model/DefaultsManager.h"
#include "server/JsonWriter.h"
#include "server/ServerManager.h"
#include "time/TimeManager.h"
#include "time/Timecode.h"
#include "time/WholeMillis.h"
#include "ui/kit/DialogPresenter.h"

namespace
{
constexpr double dayMs = 86400000.0;

juce::var makeObject (std::initializer_list<std::pair<const char*, juce::var>> members)
{
    auto* object = new juce::DynamicObject();
    for (const auto& [name, value] : members)
        object->setProperty (name, value);
    return juce::var (object);
}
}

VantrelServer::VantrelServer (int port)
{
    state = juce::ValueTree (IDs::Server);
    state.appendChild (juce::ValueTree (IDs::ColorMask), nullptr);
    state.setProperty (IDs::uuid, juce::Uuid().toString(), nullptr);
    state.setProperty (IDs::port, port, nullptr);
    state.setProperty (IDs::name, "New Server", nullptr);
}

VantrelServer::VantrelServer (juce::ValueTree node, const juce::String& bindAddress, VantrelController* c)
    : state (node), controller (c)
{
    socketServer = std::make_unique<SimpleWebSocketServer>();
    // Listening from the start, so no browser that connects in the first second is missed:
    // it is greeted at the start check.
    socketServer->addListener (this);
    socketServer->start ((int) state[IDs::port], {}, bindAddress);
    colorMask = std::make_shared<ColorMask> (state.getChildWithName (IDs::ColorMask));

    auto token = aliveToken;
    juce::Timer::callAfterDelay (1000, [this, token]
    {
        if (! token.expired())
            startCheck();
    });
}

VantrelServer::~VantrelServer()
{
    alive.reset();
    stopTimer();
    categoryListeners.clear();
    unbindFromState();
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
    state.addListener (this);
}

void VantrelServer::unbindFromState()
{
    if (colorMask != nullptr)
        colorMask->removeListener (this);
    state.removeListener (this);
}

void VantrelServer::startCheck()
{
    if (socketServer->isRunning())
    {
        serving = true;
        socketServer->setRootFolder (getDistFolder());
        bindToState();
        updateTrackedCues();
        sendTime();
        sendWaveform();
        // Browsers that connected before this check have had nothing yet.
        for (const auto& id : getUngreeted())
            greet (id);
        return;
    }

    DialogPresenter::showAsync ("Uh-oh!",
                                "I couldn't create a server on port " + juce::String (getPort())
                                    + ". Don't worry, you can just add another server, I will use the next available port instead!",
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
    state = node;
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
    auto token = aliveToken;
    juce::Timer::callAfterDelay (1000, [this, token, address]
    {
        if (token.expired() || socketServer->isRunning() || socketServer->getBindAddress() != address)
            return;
        // The node stays: the operator may pick another address, and undo must find it.
        DialogPresenter::showAsync ("Uh-oh!",
                                    "I couldn't start the server on port " + juce::String (getPort())
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
    auto token = aliveToken;
    juce::MessageManager::callAsync ([this, token, clientId]
    {
        if (! token.expired() && serving)
            greet (clientId);
    });
}

void VantrelServer::clientClosed (const juce::String& clientId, int, const juce::String&)
{
    const juce::ScopedLock sl (ungreetedLock);
    ungreeted.erase (clientId);
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
    socketServer->sendTextTo (createTimeMessage(), clientId);
    socketServer->sendTextTo (createMiscMessage(), clientId);

    const juce::ScopedLock sl (ungreetedLock);
    ungreeted.erase (clientId);
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

    if (auto list = controller->activeCueListHandler->getActiveCueList())
    {
        const auto masked = colorMask->getColors();
        for (const auto& cue : list->getCues())
        {
            if (cue == nullptr || masked.contains (cue->getDisplayColor()))
                continue;
            trackedCues.push_back (cue);
            cue->addListener (this);
        }
    }

    rebuildCategoryListeners();
    broadcast (createCueListMessage());
    lastCueIndex = 0;
}

void VantrelServer::rebuildCategoryListeners()
{
    categoryListeners.clear();
    for (const auto& weak : trackedCues)
    {
        auto cue = weak.lock();
        auto category = cue != nullptr ? cue->getCategory() : nullptr;
        if (category == nullptr)
            continue;

        const auto uuid = category->getUuid();
        if (categoryListeners.count (uuid) > 0)
            continue;

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
        if (controller->categoryManager->getCategory (category->getUuid()) == category) // not deleted meanwhile
            broadcast (createCategoryMessage (*category));

    if (cueListDirty)
        broadcast (createCueListMessage());
    cueListDirty = false;
}

void VantrelServer::sendTime()
{
    const auto message = createTimeMessage();
    if (message.isNotEmpty())
        broadcast (message);
}

void VantrelServer::sendWaveform()
{
    const auto& peaks = controller->serverManager->getPeaks();
    if (peaks.isEmpty())
        return;

    juce::Array<juce::var> data;
    data.ensureStorageAllocated (peaks.size());
    for (auto value : peaks)
        data.add (value);
    waveformData = data;
    broadcast (createWaveformMessage());
}

//==============================================================================
juce::String VantrelServer::toWebColour (juce::uint32 argb)
{
    auto hex = [] (juce::uint32 v) { return juce::String::toHexString ((int) (v & 0xff)).paddedLeft ('0', 2); };
    return "#" + hex (argb >> 16) + hex (argb >> 8) + hex (argb) + hex (argb >> 24);
}

juce::String VantrelServer::createMiscMessage() const
{
    return JsonWriter::toString (makeObject ({ { "type", "misc" },
                                               { "version", "1.1.0.643" },
                                               { "name", state.hasProperty (IDs::name) ? state[IDs::name] : juce::var() } }));
}

juce::String VantrelServer::createCategoryMessage (const Category& category)
{
    return JsonWriter::toString (makeObject ({ { "type", "category" },
                                               { "uuid", category.getUuid() },
                                               { "displayColor", toWebColour (category.getColor().getARGB()) } }));
}

juce::String VantrelServer::createWaveformMessage() const
{
    const auto& manager = *controller->serverManager;
    return JsonWriter::toString (makeObject ({ { "type", "waveform" },
                                               { "duration", (double) manager.getWaveformLength() },
                                               { "length", manager.getPeaks().size() / 2 },
                                               { "data", waveformData } }));
}

juce::String VantrelServer::createTimeMessage()
{
    return createTimeMessage (controller->timeManager->getTimeInfo());
}

juce::String VantrelServer::createTimeMessage (const TimeInfo& info)
{
    const auto t = (double) info.time;

    std::shared_ptr<Cue> first, last;
    for (const auto& weak : trackedCues)
        if (auto cue = weak.lock())
        {
            if (first == nullptr)
                first = cue;
            last = cue;
        }

    auto millis = (juce::int64) info.time;
    int cueIndex = -1;
    if (first != nullptr)
    {
        const auto firstStart = first->getRange().getStart();
        const auto lastEnd = last->getRange().getEnd();
        if (firstStart > lastEnd && lastEnd > t)
            millis += (juce::int64) dayMs;
        cueIndex = CueList::getNextCueIndex (info.time, trackedCues, lastCueIndex);
        lastCueIndex = cueIndex;
    }

    return JsonWriter::toString (makeObject ({ { "type", "time" },
                                               { "millis", millis },
                                               { "fps", info.fps },
                                               { "isRunning", info.running },
                                               { "cueIndex", cueIndex } }));
}

juce::String VantrelServer::createCueListMessage()
{
    auto list = controller->activeCueListHandler->getActiveCueList();
    if (list == nullptr)
        return {};

    // A list without a usable rate counts as 30 fps wherever the rate enters arithmetic.
    const int fps = DefaultsManager::usableFps (list->getFps());
    const auto start = Timecode::fromString (list->getStartTimecode());
    const auto offset = toWholeMillis (start.toMillis (fps));
    const auto range = list->getRange();

    juce::Array<juce::var> cues;
    std::shared_ptr<Cue> first;
    for (const auto& weak : trackedCues)
        if ((first = weak.lock()) != nullptr)
            break;

    const double firstStart = first != nullptr ? first->getRange().getStart() : 0.0;
    for (const auto& weak : trackedCues)
    {
        auto cue = weak.lock();
        if (cue == nullptr)
            continue; // removed before the list reported it
        auto r = cue->getRange();
        if (list->isTimetable() && firstStart > r.getStart())
            r += dayMs;
        auto category = cue->getCategory();
        cues.add (makeObject ({ { "number", cue->getNumber() },
                                { "name", cue->getTree()[IDs::text].toString() },
                                { "start", r.getStart() },
                                { "duration", r.getLength() },
                                { "category", category != nullptr ? category->getUuid() : juce::String() } }));
    }

    juce::Array<juce::var> categories;
    for (const auto& [uuid, listener] : categoryListeners)
        categories.add (makeObject ({ { "uuid", uuid },
                                      { "displayColor", toWebColour (listener->getCategory()->getColor().getARGB()) } }));

    return JsonWriter::toString (makeObject ({ { "type", "cuelist" },
                                               { "name", list->getName() },
                                               { "timetable", list->isTimetable() },
                                               { "offset", offset },
                                               { "fps", list->getFps() },
                                               { "duration", range.getLength() },
                                               { "cues", cues.isEmpty() ? juce::var() : juce::var (cues) },
                                               { "categories", categories.isEmpty() ? juce::var() : juce::var (categories) } }));
}
