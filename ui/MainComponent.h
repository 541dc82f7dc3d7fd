#pragma once

#include "app/VantrelController.h"
#include <juce_gui_basics/juce_gui_basics.h>

/** The content of a top-level window: the view it shows, retitled when the document changes,
    and the undo keys (ctrl+Z; ctrl+Y or ctrl+shift+Z) for both windows. */
class MainComponent : public juce::Component, private VantrelController::Listener
{
public:
    MainComponent (VantrelController& controller, juce::Component* contentToOwn);
    ~MainComponent() override;

    void resized() override;
    void paint (juce::Graphics& g) override;
    bool keyPressed (const juce::KeyPress& key) override;

    /** The title used for native windows: document name followed by " - Vantrel". */
    static juce::String nativeTitleFor (const VantrelController& controller);

private:
    VantrelController& controller;
    std::unique_ptr<juce::Component> content;

    void documentChanged() override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
