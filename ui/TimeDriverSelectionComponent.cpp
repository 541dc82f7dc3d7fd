#include "ui/TimeDriverSelectionComponent.h"

void TimeDriverSelectionComponent::setDriverNames (const juce::StringArray& names)
{
    buttons.clear();
    for (int i = 0; i < names.size(); ++i)
    {
        auto* button = buttons.add (std::make_unique<NonMouseOverTextButton> (names[i]));
        button->onClick = [this, i]
        {
            if (onDriverSelected)
                onDriverSelected (i);
        };
        addAndMakeVisible (button);
        button->setColour (juce::TextButton::buttonColourId, juce::Colour (0x00000000));
        button->setColour (juce::TextButton::buttonOnColourId, juce::Colour (0x00000000));
        button->setColour (juce::TextButton::textColourOnId,
                           getLookAndFeel().findColour (juce::TextButton::buttonOnColourId));
        button->setColour (juce::TextButton::textColourOffId,
                           getLookAndFeel().findColour (juce::TextButton::textColourOnId).withAlpha ((juce::uint8) 0x26));
    }
    resized();
}

void TimeDriverSelectionComponent::setSelected (int index)
{
    if (buttons.isEmpty() || index >= buttons.size())
        return;
    for (int i = 0; i < buttons.size(); ++i)
        buttons.getUnchecked (i)->setToggleState (i == index, juce::dontSendNotification);
}

int TimeDriverSelectionComponent::getSelectedIndex() const
{
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons.getUnchecked (i)->getToggleState())
            return i;
    return -1;
}

void TimeDriverSelectionComponent::resized()
{
    if (buttons.isEmpty())
        return;

    const int width = getWidth();
    int free = width / 2;
    const int step = free / buttons.size();
    int x = (width - width / 2) / 2;
    for (auto* button : buttons)
    {
        const int w = juce::jmin (free, step);
        button->setBounds (x, 0, w, getHeight());
        x += w;
        free -= w;
    }
}
