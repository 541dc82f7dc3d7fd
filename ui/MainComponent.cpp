#include "ui/MainComponent.h"

namespace
{
constexpr int titleBarHeight = 30;
}

MainComponent::MainComponent (VantrelController& c, juce::Component* contentToOwn)
    : controller (c), content (contentToOwn)
{
    jassert (content != nullptr);
    addAndMakeVisible (titleBar);
    titleBar.setName (controller.getDocumentName());

    // The view takes the keyboard focus, so its own keys arrive and what it leaves unused
    // travels up to the undo keys here.
    content->setWantsKeyboardFocus (true);
    addAndMakeVisible (*content);

    setSize (content->getWidth(), content->getHeight());
    controller.addListener (this);
}

MainComponent::~MainComponent()
{
    controller.removeListener (this);
    content.reset();
}

void MainComponent::resized()
{
    const auto barHeight = juce::jmin (getHeight(), titleBarHeight);
    titleBar.setBounds (0, 0, getWidth(), barHeight);
    content->setBounds (0, barHeight, getWidth(), getHeight() - barHeight);
}

void MainComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void MainComponent::focusContent()
{
    if (! content->hasKeyboardFocus (true))
        content->grabKeyboardFocus();
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
    titleBar.setName (controller.getDocumentName());
    titleBar.repaint();

    // The windows are visible whenever the document can change; a window without a native
    // peer yet gets its title from its builder.
    if (auto* window = findParentComponentOfClass<juce::DocumentWindow>())
        if (auto* peer = window->getPeer())
            peer->setTitle (nativeTitleFor (controller));
}
