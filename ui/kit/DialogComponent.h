#pragma once

#include "ui/kit/FlatButtonLookAndFeel.h"
#include "ui/kit/MessageComponent.h"
#include <juce_gui_basics/juce_gui_basics.h>

/** A borderless 800 x 450 message window: a title, a scrollable message and a row of flat
    buttons, the first one at the right edge. It puts itself on the desktop; pressing a button
    ends its modal state with that button's index. */
class DialogComponent : public juce::Component, public juce::Button::Listener
{
public:
    enum ColourIds
    {
        backgroundColourId = 0x3000001
    };

    DialogComponent (const juce::String& title, const juce::String& message, const juce::StringArray& buttonTexts);
    ~DialogComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void lookAndFeelChanged() override;
    void buttonClicked (juce::Button* button) override;

    /** Ends the modal state with the button's index (-1 for none). */
    virtual void buttonPressed (int index);

    /** The index of the button that was pressed, or -1 while none was. */
    int getPressedIndex() const { return pressedIndex; }

    juce::String getTitle() const { return titleLabel.getText(); }
    const juce::OwnedArray<juce::TextButton>& getButtons() const { return buttons; }
    juce::Viewport& getViewport() { return viewport; }
    MessageComponent& getMessageComponent() { return messageComponent; }

private:
    MessageComponent messageComponent;
    juce::Viewport viewport;
    juce::Label titleLabel;
    juce::OwnedArray<juce::TextButton> buttons;
    FlatButtonLookAndFeel lookAndFeel;
    int pressedIndex = -1;
    bool closing = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DialogComponent)
};
