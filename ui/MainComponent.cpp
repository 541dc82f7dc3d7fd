#include "ui/MainComponent.h"
#include "ui/DesktopWindow.h"

MainComponent::MainComponent (VantrelController& c, juce::Component* contentToOwn)
    : controller (c), content (contentToOwn)
{
    jassert (content != nullptr);
    addAndMakeVisible (*content);
    setSize (content->getWidth(), content->getHeight());
    setWantsKeyboardFocus (true);
    controller.addListener (this);
}

MainComponent::~MainComponent()
{
    controller.removeListener (this);
}

void MainComponent::resized()
{
    content->setBounds (getLocalBounds());
}

void MainComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

bool MainComponent::keyPressed (const juce::KeyPress& key)
{
    const auto mods = key.getModifiers().withoutMouseButtons();
    const auto letter = juce::CharacterFunctions::toUpperCase ((juce::juce_wchar) key.getKeyCode());
    const auto ctrl = juce::ModifierKeys (juce::ModifierKeys::ctrlModifier);
    const auto ctrlShift = juce::ModifierKeys (juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier);

    if (mods == ctrl && letter == 'Z')
    {
        controller.undo();
        return true;
    }
    if ((mods == ctrl && letter == 'Y') || (mods == ctrlShift && letter == 'Z'))
    {
        controller.redo();
        return true;
    }
    return false;
}

juce::String MainComponent::nativeTitleFor (const VantrelController& c)
{
    return c.getDocumentName() + " - Vantrel";
}

void MainComponent::documentChanged()
{
    if (auto* window = findParentComponentOfClass<juce::DocumentWindow>())
        if (auto* peer = window->getPeer())
            peer->setTitle (nativeTitleFor (controller));
}
