#pragma once

#include "ui/kit/DialogComponent.h"

/** The one modal progress dialog of the process: "Hang on...", a status text, a bar and
    " Cancel". It is reached through static operations only. The process-wide pointer is its
    only owner: the modal manager never deletes it. */
class ProgressDialogComponent : public DialogComponent
{
public:
    ~ProgressDialogComponent() override;

    /** Message thread. Opens the dialog unless it exists, and makes it modal with the callback
        (owned from here on), which receives 0 after " Cancel", 1 after close and -1 when the
        dialog went away otherwise. */
    static void open (juce::ModalComponentManager::Callback* callback = nullptr);
    /** Message thread. Shows the text and moves the bar, but only while the dialog is the
        top-most modal component. */
    static void setProgress (const juce::String& text, double value);
    /** Message thread. Closes the dialog, if open, with the result 1. */
    static void close();

    /** The dialog that is open, or null. */
    static ProgressDialogComponent* getOpenDialog();

    void buttonPressed (int index) override;
    void resized() override;

    juce::String getStatusText() const { return statusText; }
    double getProgress() const { return progressBar.getValue(); }

private:
    ProgressDialogComponent();
    static void finish (int result);

    juce::Slider progressBar;
    juce::String statusText;
    std::shared_ptr<int> outcome = std::make_shared<int> (-1); // set when the dialog is closed

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProgressDialogComponent)
};
