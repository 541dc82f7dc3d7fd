#include "pages/SideBarButton.h"

#include <gtest/gtest.h>

TEST (SideBarButton, TheSelectedEntryIsFilledAndMarked)
{
    juce::Path square;
    square.addRectangle (0.0f, 0.0f, 10.0f, 10.0f);
    SideBarButton button ("PROJECT", square);
    const auto background = juce::Colour (0xff0f0d15), accent = juce::Colour (0xff0681ff);
    button.setColour (juce::ResizableWindow::backgroundColourId, background);
    button.setColour (juce::TextButton::buttonOnColourId, accent);
    button.setSize (164, 30);

    const struct
    {
        bool selected;
        juce::Point<int> at;
        juce::Colour expected;
    } cases[] = {
        { false, { 160, 2 }, background },   { false, { 12, 15 }, background },
        { false, { 5, 15 }, juce::Colours::transparentBlack },
        { true, { 160, 2 }, juce::Colour (SideBarButton::selectedFill) },
        { true, { 12, 15 }, accent },         { true, { 20, 15 }, juce::Colour (SideBarButton::selectedFill) },
        { true, { 5, 15 }, juce::Colours::transparentBlack },
    };
    for (const auto& c : cases)
    {
        button.setToggleState (c.selected, juce::dontSendNotification);
        const auto image = button.createComponentSnapshot (button.getLocalBounds(), false, 1.0f);
        EXPECT_EQ (image.getPixelAt (c.at.x, c.at.y).getARGB(), c.expected.getARGB())
            << (c.selected ? "selected at " : "unselected at ") << c.at.toString();
    }
}
