#pragma once

#include "app/VantrelController.h"
#include <juce_gui_basics/juce_gui_basics.h>

class DesktopWindow;

/** The application object: owns the controller (and with it the show model), the two
    top-level windows and the look-and-feel. Only one instance runs. */
class VantrelApplication : public juce::JUCEApplication
{
public:
    VantrelApplication();
    ~VantrelApplication() override;

    const juce::String getApplicationName() override { return "Vantrel"; }
    const juce::String getApplicationVersion() override { return JUCE_APPLICATION_VERSION_STRING; }
    bool moreThanOneInstanceAllowed() override { return false; }

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String&) override {}
    /** Every quit request of the operator (title bar, window close, system) comes here. */
    void systemRequestedQuit() override;

    /** Opens the preferences window, or brings it to the front when it is open. */
    void openPreferencesWindow();

private:
    std::unique_ptr<DesktopWindow> mainWindow;
    std::unique_ptr<DesktopWindow> preferencesWindow;

    /** Process settings that must be in place before the controller opens servers and audio. */
    struct ProcessSetUp
    {
        ProcessSetUp();
    } processSetUp;

    VantrelController controller;
    std::unique_ptr<juce::LookAndFeel> lookAndFeel;

    void closePreferencesWindow();
    void setUpWindow (DesktopWindow& window, int minWidth, int minHeight);
};
