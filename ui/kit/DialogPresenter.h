#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class DialogComponent;

/** Puts up at most one modal message dialog at a time. A request whose message is on screen
    is ignored; a different message replaces the dialog, whose callback then gets -1.
    One presenter per process: the application creates it at start-up and deletes it at
    shutdown; one still installed then goes with the framework's shutdown objects. */
class DialogPresenter
{
public:
    DialogPresenter() = default;
    ~DialogPresenter();

    /** The process-wide presenter, created on first use. Message thread only. */
    static DialogPresenter* getInstance();
    /** Makes the given presenter (or none) the process-wide one and deletes the previous one. */
    static void setInstance (DialogPresenter* presenter);

    /** Shows a dialog on the message thread. The callback (owned from here on) receives the index
        of the pressed button, or -1 when the dialog was dismissed or replaced; it is deleted
        without a call when the same message is already on screen. */
    void show (const juce::String& title, const juce::String& message, const juce::StringArray& buttons,
               juce::ModalComponentManager::Callback* callback = nullptr);

    /** Like show, from any thread: the request is delivered to the process-wide presenter of the
        moment it arrives on the message thread. Returns at once. */
    static void showAsync (const juce::String& title, const juce::String& message, const juce::StringArray& buttons,
                           juce::ModalComponentManager::Callback* callback = nullptr);

    /** Closes the dialog on screen, if any; its callback gets -1. */
    void dismiss();

    juce::String getShownMessage() const { return shownMessage; }
    juce::String getShownTitle() const { return shownTitle; }
    DialogComponent* getShownDialog() const { return shownDialog.get(); }

private:
    class Finisher;

    std::unique_ptr<DialogComponent> shownDialog;
    juce::String shownMessage, shownTitle;
    // Identifies the dialog on screen: a replaced dialog's late callback must not mistake a
    // new dialog for its own, even when the new one reuses the old address.
    juce::uint64 shownSerial = 0;
    std::shared_ptr<int> shownOutcome;

    void finished (juce::uint64 serial);

    JUCE_DECLARE_WEAK_REFERENCEABLE (DialogPresenter)
    JUCE_DECLARE_NON_COPYABLE (DialogPresenter)
};
