#include "app/VantrelApplication.h"

#include "document/Identifiers.h"
#include "model/CueListManager.h"
#include "pages/PreferencesView.h"
#include "platform/Platform.h"
#include "ui/DesktopWindow.h"
#include "ui/MainComponent.h"
#include "ui/MainCueView.h"
#include "ui/kit/DialogPresenter.h"
#include "ui/kit/VantrelLookAndFeel.h"

VantrelApplication::ProcessSetUp::ProcessSetUp()
{
    Platform::raiseDescriptorLimit();
    Platform::quietAudioServerMessages();
}

VantrelApplication::VantrelApplication() = default;

VantrelApplication::~VantrelApplication()
{
    // The look-and-feel goes first, then the controller (a member), then any window left.
    juce::Desktop::getInstance().setDefaultLookAndFeel (nullptr);
    lookAndFeel.reset();
}

void VantrelApplication::setUpWindow (DesktopWindow& window, int minWidth, int minHeight)
{
    if (auto* constrainer = window.getConstrainer())
        constrainer->setMinimumSize (minWidth, minHeight);
    window.setNativeTitle (MainComponent::nativeTitleFor (controller));
    Platform::setWindowFrameAttributes (window.getPeer());
}

void VantrelApplication::initialise (const juce::String&)
{
    Platform::quitCleanlyOnTerminate();

    lookAndFeel = std::make_unique<VantrelLookAndFeel>();
    juce::Desktop::getInstance().setDefaultLookAndFeel (lookAndFeel.get());
    // Creates the presenter unless loading the document already needed one.
    DialogPresenter::getInstance();

    auto* main = new MainComponent (controller, new MainCueView (controller));
    main->titleBar.onClose = [this] { systemRequestedQuit(); };
    main->titleBar.onSettings = [this] { openPreferencesWindow(); };
    mainWindow = std::make_unique<DesktopWindow> (main);
    setUpWindow (*mainWindow, 300, 550);

    // A new or empty project starts on the preferences window, where lists are made.
    if (! controller.cueListManager->getState().getChildWithName (IDs::CueList).isValid())
        openPreferencesWindow();
}

void VantrelApplication::openPreferencesWindow()
{
    if (preferencesWindow == nullptr)
    {
        auto* main = new MainComponent (controller, new PreferencesView (controller));
        main->titleBar.onClose = [this] { closePreferencesWindow(); };
        preferencesWindow = std::make_unique<DesktopWindow> (main);
        setUpWindow (*preferencesWindow, 1100, 450);
    }
    preferencesWindow->toFront (true);
}

void VantrelApplication::closePreferencesWindow()
{
    // Called from inside the window's own close button: delete the window once that handler
    // has returned, unless it is gone (or was replaced) by then.
    juce::Component::SafePointer<DesktopWindow> window (preferencesWindow.get());
    juce::MessageManager::callAsync ([window]
    {
        auto* app = dynamic_cast<VantrelApplication*> (juce::JUCEApplicationBase::getInstance());
        if (app != nullptr && window != nullptr && app->preferencesWindow.get() == window.getComponent())
            app->preferencesWindow.reset();
    });
}

void VantrelApplication::systemRequestedQuit()
{
    // An edit whose write fails keeps the application open once; the dialog says why.
    if (controller.mayQuit())
        quit();
}

void VantrelApplication::shutdown()
{
    mainWindow.reset();
    preferencesWindow.reset();
    DialogPresenter::setInstance (nullptr);
}
