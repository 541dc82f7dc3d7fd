#include "ui/kit/ProgressDialogComponent.h"

namespace
{
std::unique_ptr<ProgressDialogComponent> openDialog;

/** Closes a dialog still open when the framework shuts down, while the desktop and the
    modal manager still exist (such objects go in reverse order of creation). */
struct Reaper : juce::DeletedAtShutdown
{
    ~Reaper() override;
};
Reaper* reaper = nullptr;

Reaper::~Reaper()
{
    reaper = nullptr;
    ProgressDialogComponent::close();
}
}

ProgressDialogComponent::ProgressDialogComponent()
    : DialogComponent ("Hang on...", "Progressing", { " Cancel" }), statusText ("Progressing")
{
    addAndMakeVisible (progressBar);
    progressBar.setInterceptsMouseClicks (false, false);
    progressBar.setSliderStyle (juce::Slider::LinearBar);
    const auto& dialogLook = getLookAndFeel();
    progressBar.setColour (juce::Slider::trackColourId, dialogLook.findColour (juce::ResizableWindow::backgroundColourId));
    progressBar.setColour (juce::Slider::textBoxTextColourId, juce::Colours::transparentBlack);
    progressBar.setColour (juce::Slider::textBoxOutlineColourId, juce::Colours::transparentBlack);
    progressBar.hideTextBox (true);
    progressBar.setRange (0.0, 1.0, 0.0);
    resized();
}

ProgressDialogComponent::~ProgressDialogComponent() = default;

ProgressDialogComponent* ProgressDialogComponent::getOpenDialog()
{
    return openDialog.get();
}

void ProgressDialogComponent::open (juce::ModalComponentManager::Callback* callback)
{
    JUCE_ASSERT_MESSAGE_THREAD
    if (openDialog == nullptr)
    {
        juce::Desktop::getInstance();
        juce::ModalComponentManager::getInstance();
        if (reaper == nullptr)
            reaper = new Reaper();
        openDialog.reset (new ProgressDialogComponent());
    }
    // The caller hears how the dialog really ended: the framework also ends a modal state
    // when the window is hidden, with 0, which would read as " Cancel".
    auto* wrapped = juce::ModalCallbackFunction::create (
        [outcome = openDialog->outcome, owned = std::shared_ptr<juce::ModalComponentManager::Callback> (callback)] (int)
        {
            if (owned != nullptr)
                owned->modalStateFinished (*outcome);
        });
    if (openDialog->isCurrentlyModal (false))
        juce::ModalComponentManager::getInstance()->attachCallback (openDialog.get(), wrapped);
    else
        openDialog->enterModalState (true, wrapped, false);
}

void ProgressDialogComponent::setProgress (const juce::String& text, double value)
{
    JUCE_ASSERT_MESSAGE_THREAD
    if (openDialog == nullptr
        || juce::ModalComponentManager::getInstance()->getModalComponent (0) != openDialog.get())
        return;

    auto& dialog = *openDialog;
    dialog.statusText = text;
    auto& message = dialog.getMessageComponent();
    message.setText (text);
    message.setWidth (message.getWidth());
    message.repaint();
    dialog.progressBar.setValue (value, juce::dontSendNotification);
}

void ProgressDialogComponent::close()
{
    finish (1);
}

void ProgressDialogComponent::finish (int result)
{
    if (openDialog == nullptr)
        return;
    // Out of the pointer first, so nothing reached from the modal manager finds it half gone.
    auto dialog = std::move (openDialog);
    *dialog->outcome = result;
    if (juce::ModalComponentManager::getInstanceWithoutCreating() != nullptr)
        dialog->exitModalState (result);
}

void ProgressDialogComponent::buttonPressed (int index)
{
    // Deleting the dialog here is safe: the button checks for its own deletion after a click.
    finish (index);
}

void ProgressDialogComponent::resized()
{
    DialogComponent::resized();
    const auto w = getWidth();
    const auto h = getHeight();
    const auto x = juce::jmin (w, 25);
    const auto y = juce::jmin (h, 150);
    progressBar.setBounds (x, y, w - x - juce::jmin (w - x, 25), juce::jmin (h - y, 40));
}
