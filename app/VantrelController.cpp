#include "app/VantrelController.h"

#include "document/AppData.h"
#include "document/Identifiers.h"
#include "model/ActiveCueListHandler.h"
#include "model/CategoryManager.h"
#include "model/ColorMask.h"
#include "model/CueListManager.h"
#include "model/DefaultsManager.h"
#include "server/ServerManager.h"
#include "time/TimeManager.h"
#include "update/UpdateChecker.h"
#include "server/LiveWaveform.h"

VantrelController::VantrelController() : VantrelController (nullptr)
{
}

VantrelController::VantrelController (std::unique_ptr<MasterTimeDriver> drivers)
    : updateChecker (std::make_unique<UpdateChecker>())
{
    appData = std::make_unique<AppData>();
    categoryManager = std::make_shared<CategoryManager>();
    cueListManager = std::make_shared<CueListManager> (appData->getOrCreateChild (IDs::CueLists), categoryManager);
    defaultsManager = std::make_shared<DefaultsManager>();
    colorMask = std::make_shared<ColorMask> (appData->getOrCreateChild (IDs::ColorMask));
    activeCueListHandler = std::make_shared<ActiveCueListHandler> (cueListManager);
    selectedCueListHandler = std::make_shared<ActiveCueListHandler> (cueListManager);
    // A stored default without a usable rate (missing, 0) counts as 30 here.
    timeManager = std::make_shared<TimeManager> (activeCueListHandler, DefaultsManager::usableFps (defaultsManager->getDefaultFps()),
                                                 std::move (drivers), nullptr);
    liveWaveform = std::make_shared<LiveWaveform>();
    serverManager = std::make_shared<ServerManager> (appData->getOrCreateChild (IDs::Servers), this);

    appData->documentLoaded = [this]
    {
        cueListManager->setState (appData->getOrCreateChild (IDs::CueLists));
        colorMask->setState (appData->getOrCreateChild (IDs::ColorMask));
        serverManager->setState (appData->getOrCreateChild (IDs::Servers));
    };
    appData->savedStateChanged = [this] (bool saved)
    {
        if (saved)
            quitRefused = false; // a later failure warns again before a quit
        listeners.call ([saved] (Listener& l) { l.documentSaveStateChanged (saved); });
    };

    // Building the model may write derived values (a category link, a category made for a
    // colour); none of that is the user's to undo.
    AppData::getUndoManager()->clearUndoHistory();

    juce::Timer::callAfterDelay (100, [self = juce::WeakReference<VantrelController> (this)]
                                 {
                                     if (self != nullptr)
                                         self->updateChecker->checkForUpdates (true);
                                 });
}

VantrelController::~VantrelController()
{
    // The time drivers stop before anything they reach goes.
    timeManager->master.stop();
}

void VantrelController::newDocument()
{
    if (appData->newDocument())
        listeners.call ([] (Listener& l) { l.documentChanged(); });
}

bool VantrelController::mayQuit()
{
    if (appData->flushBeforeLeaving() || quitRefused)
        return true;
    quitRefused = true;
    return false;
}

void VantrelController::openDocument()
{
    appData->openDocument ([this] { listeners.call ([] (Listener& l) { l.documentChanged(); }); });
}

void VantrelController::saveDocumentAs (const juce::String& name)
{
    appData->saveDocumentAs (name);
    listeners.call ([] (Listener& l) { l.documentChanged(); });
}

void VantrelController::undo()
{
    if (auto* um = AppData::getUndoManager(); um != nullptr && um->canUndo())
        um->undo();
}

void VantrelController::redo()
{
    if (auto* um = AppData::getUndoManager(); um != nullptr && um->canRedo())
        um->redo();
}

std::function<void (const juce::Array<int>&, float)> VantrelController::getWaveformPublisher() const
{
    return [servers = std::weak_ptr<ServerManager> (serverManager)] (const juce::Array<int>& peaks, float lengthMs)
    {
        if (auto manager = servers.lock())
            manager->setWaveform (peaks, lengthMs);
    };
}

juce::String VantrelController::getDocumentName() const
{
    return appData->getDocumentFile().getFileNameWithoutExtension();
}
