#pragma once

#include "app/VantrelController.h"
#include "ui/CustomTitleBar.h"
#include <juce_gui_basics/juce_gui_basics.h>

/** The content of a top-level window: the application's title bar above the view it shows,
    retitled when the document changes, and the undo keys (ctrl+Z; ctrl+Y or ctrl+shift+Z) for
    both windows. Keys reach it from the view when the view does not use them. */
class MainComponent : public juce::Component, private VantrelController::Listener
{
public:
    MainComponent (VantrelController& controller, juce::Component* contentToOwn);
    ~MainComponent() override;

    /** Public so that the window's builder can set its callbacks. */
    CustomTitleBar titleBar;

    void resized() override;
    void paint (juce::Graphics& g) override;
    bool keyPressed (const juce::KeyPress& key) override;

    /** Gives the keyboard focus to the view (or keeps it where it is inside the view). */
    void focusContent();

    juce::Component& getContent() const { return *content; }

    /** The title used for native windows: document name followed by " - Vantrel". */
    static juce::String nativeTitleFor (const VantrelController& controller);

private:
    VantrelController& controller;
    std::unique_ptr<juce::Component> content;

    void documentChanged() override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
