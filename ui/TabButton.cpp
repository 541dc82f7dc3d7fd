#include "ui/TabButton.h"

#include "ui/CueDrawing.h"

TabButton::TabButton() : juce::Button ("TabButton")
{
}

TabButton::~TabButton()
{
    if (list != nullptr)
        list->removeListener (this);
}

void TabButton::setCueList (std::shared_ptr<CueList> newList)
{
    if (newList == list)
        return;
    if (list != nullptr)
        list->removeListener (this);
    list = std::move (newList);
    if (list == nullptr)
        return;
    setComponentID (list->getUuid());
    list->addListener (this);
    cueListNameChanged();
}

void TabButton::cueListNameChanged()
{
    setButtonText (list != nullptr ? list->getName() : juce::String());
    if (onNameChange)
        onNameChange();
}

juce::Font TabButton::fontFor (int height)
{
    return juce::Font (juce::Font::getDefaultSansSerifFontName(), "Regular", 1.0f).withPointHeight (0.7f * (float) height);
}

void TabButton::updateWidth (int height)
{
    const auto textWidth = getTextBounds (fontFor (height), getButtonText()).getWidth();
    setBounds (getX(), getY(), (int) (1.1f * textWidth), height);
}

void TabButton::paintButton (juce::Graphics& g, bool, bool)
{
    const auto w = getWidth(), h = getHeight();
    const bool on = getToggleState();
    g.setColour (on ? juce::Colours::white : juce::Colour (offTextColour));
    g.setFont (fontFor (h));
    g.drawText (getButtonText(), 0, 0, w, h, juce::Justification::centred, false);

    if (on)
    {
        const auto bar = juce::jmin (h, underlineThickness);
        g.setColour (findColour (juce::TextButton::buttonOnColourId));
        g.fillRect (0, h - bar, w, bar);
    }
}
