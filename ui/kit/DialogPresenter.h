#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Puts up at most one modal message dialog at a time. A request whose message is on screen
    is ignored; a different message replaces the dialog (whose callback then gets -1).
    (Interim version: records the message; the dialog window lands with the look-and-feel.) */
class DialogPresenter
{
public:
    DialogPresenter() = default;
    ~DialogPresenter();

    static DialogPresenter* getInstance();
    static void setInstance (DialogPresenter* presenter);

    void show (const juce::String& title, const juce::String& message, const juce::StringArray& buttons,
               juce::ModalComponentManager::Callback* callback = nullptr);
    static void showAsync (const juce::String& title, const juce::String& message, const juce::StringArray& buttons,
                           juce::ModalComponentManager::Callback* callback = nullptr);
    void dismiss();

    juce::String getShownMessage() const { return shownMessage; }
    juce::String getShownTitle() const { return shownTitle; }

private:
    juce::String shownMessage, shownTitle;
    std::unique_ptr<juce::ModalComponentManager::Callback> pendingCallback;
};
