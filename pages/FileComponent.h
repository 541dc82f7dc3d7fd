#pragma once

#include "app/VantrelController.h"
#include "ui/kit/AddButton.h"
#include "ui/kit/SvgButton.h"
#include <juce_gui_basics/juce_gui_basics.h>

/** The document bar: the document's name, edited on a single click to save the document under
    a new name, a mark while changes wait for the autosave, and "New" and "Load". */
class FileComponent : public juce::Component, private VantrelController::Listener
{
public:
    explicit FileComponent (VantrelController& controller);
    ~FileComponent() override;

    void resized() override;
    void paint (juce::Graphics& g) override;

    juce::Label& getNameLabel() { return nameLabel; }
    juce::Component& getSaveIndicator() { return saveIndicator; }
    juce::Button& getNewButton() { return newButton; }
    juce::Button& getLoadButton() { return loadButton; }

private:
    VantrelController& controller;
    juce::Label nameLabel;
    SvgButton saveIndicator;
    AddButton newButton;
    AddButton loadButton;

    void documentChanged() override;
    void documentSaveStateChanged (bool saved) override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FileComponent)
};
