#include "ui/kit/DialogPresenter.h"

#include "ui/kit/DialogComponent.h"

namespace
{
DialogPresenter* instance = nullptr;

/** Deletes the installed presenter with the framework's shutdown objects, so that a dialog
    never outlives the desktop. It is registered after the desktop and the modal manager,
    and such objects go in reverse order, so the dialog is closed while both still exist. */
struct InstanceReaper : juce::DeletedAtShutdown
{
    ~InstanceReaper() override;
};
InstanceReaper* reaper = nullptr;

InstanceReaper::~InstanceReaper()
{
    reaper = nullptr;
    DialogPresenter::setInstance (nullptr);
}

void install (DialogPresenter* presenter)
{
    instance = presenter;
    if (presenter != nullptr && reaper == nullptr)
    {
        juce::Desktop::getInstance();
        juce::ModalComponentManager::getInstance();
        reaper = new InstanceReaper();
    }
}
}

/** The modal callback of one dialog: clears the presenter (if it still exists and still shows
    this dialog), then tells the caller the result. */
class DialogPresenter::Finisher : public juce::ModalComponentManager::Callback
{
public:
    Finisher (DialogPresenter& p, juce::uint64 s, DialogComponent& d, std::shared_ptr<int> o,
              juce::ModalComponentManager::Callback* c)
        : presenter (&p), serial (s), dialog (&d), outcome (std::move (o)), callerCallback (c)
    {
    }

    void modalStateFinished (int) override
    {
        // The framework's value is not trusted: a hidden (minimised) window ends the modal state
        // with 0, the first button's index, and a pending notice of a deleted dialog can take the
        // value of a new dialog built at the same address. Only a pressed button counts.
        const auto result = dialog != nullptr ? dialog->getPressedIndex() : *outcome;
        if (auto* p = presenter.get())
            p->finished (serial);
        if (callerCallback != nullptr)
            callerCallback->modalStateFinished (result);
    }

private:
    juce::WeakReference<DialogPresenter> presenter;
    const juce::uint64 serial;
    juce::Component::SafePointer<DialogComponent> dialog;
    std::shared_ptr<int> outcome; // the pressed index, kept when the presenter deletes the dialog
    std::unique_ptr<juce::ModalComponentManager::Callback> callerCallback;
};

DialogPresenter::~DialogPresenter()
{
    if (instance == this)
        instance = nullptr;
    dismiss();
}

DialogPresenter* DialogPresenter::getInstance()
{
    if (instance == nullptr)
        install (new DialogPresenter());
    return instance;
}

void DialogPresenter::setInstance (DialogPresenter* presenter)
{
    auto* previous = instance;
    install (presenter);
    if (previous != presenter)
        delete previous;
}

void DialogPresenter::show (const juce::String& title, const juce::String& message, const juce::StringArray& buttons,
                            juce::ModalComponentManager::Callback* callback)
{
    JUCE_ASSERT_MESSAGE_THREAD
    std::unique_ptr<juce::ModalComponentManager::Callback> owned (callback);
    if (shownDialog != nullptr && shownMessage == message)
        return;

    dismiss();
    shownDialog = std::make_unique<DialogComponent> (title, message, buttons);
    shownMessage = message;
    shownTitle = title;
    shownOutcome = std::make_shared<int> (-1);
    const auto serial = ++shownSerial;
    shownDialog->enterModalState (true, new Finisher (*this, serial, *shownDialog, shownOutcome, owned.release()),
                                  false);
}

void DialogPresenter::showAsync (const juce::String& title, const juce::String& message, const juce::StringArray& buttons,
                                 juce::ModalComponentManager::Callback* callback)
{
    // Held so that a request never delivered (the loop already stopped) still frees the callback.
    auto owned = std::make_shared<std::unique_ptr<juce::ModalComponentManager::Callback>> (callback);
    juce::MessageManager::callAsync ([title, message, buttons, owned]
                                     { getInstance()->show (title, message, buttons, owned->release()); });
}

void DialogPresenter::dismiss()
{
    if (shownDialog == nullptr)
        return;
    auto dialog = std::move (shownDialog);
    *shownOutcome = dialog->getPressedIndex(); // -1 unless a button was pressed just before
    shownMessage = {};
    shownTitle = {};
    // The callbacks run later from the message loop; with the modal manager already gone at
    // shutdown they were deleted with it.
    if (juce::ModalComponentManager::getInstanceWithoutCreating() != nullptr)
        dialog->exitModalState (-1);
}

void DialogPresenter::finished (juce::uint64 serial)
{
    if (serial == shownSerial && shownDialog != nullptr)
    {
        shownDialog.reset();
        shownMessage = {};
        shownTitle = {};
    }
}
