#include "ui/kit/CueContainer.h"
#include "ui/kit/FpsComboBox.h"
#include "ui/kit/LineComponent.h"
#include "ui/kit/NonMouseOverTextButton.h"

#include <gtest/gtest.h>

TEST (FpsComboBox, ShowsAnyRateAndSelectsOnlyTheListedOnes)
{
    struct Case { int fps; const char* text; int selectedId; };
    const Case cases[] = { { 24, "24 FPS", 1 }, { 25, "25 FPS", 2 }, { 30, "30 FPS", 3 }, { 29, "29 FPS", 0 }, { 0, "0 FPS", 0 } };

    FpsComboBox box;
    int changes = 0;
    box.onChange = [&changes] { ++changes; };
    for (const auto& c : cases)
    {
        box.setFps (c.fps);
        EXPECT_EQ (box.getText(), c.text);
        EXPECT_EQ (box.getSelectedId(), c.selectedId) << c.fps;
        EXPECT_EQ (box.getFps(), c.fps);
    }
    EXPECT_EQ (changes, 0);

    EXPECT_EQ (box.getNumItems(), 3);
    box.setText ("FPS", juce::dontSendNotification);
    EXPECT_EQ (box.getFps(), 0);
}

TEST (CueContainer, DrawsTheMarkerInTheAccentUntilItIsRemoved)
{
    const juce::Colour accent (0xff0681ff);
    CueContainer container;
    container.setColour (juce::TextButton::buttonOnColourId, accent);
    container.setSize (200, 100);

    auto shot = [&] { return container.createComponentSnapshot (container.getLocalBounds(), true, 1.0f); };
    auto accentPixels = [&] (const juce::Image& image)
    {
        int n = 0;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                n += image.getPixelAt (x, y) == accent ? 1 : 0;
        return n;
    };

    EXPECT_EQ (accentPixels (shot()), 0);

    container.setMarkerY (40);
    const auto marked = shot();
    EXPECT_EQ (marked.getPixelAt (150, 39), accent);  // the bar, 2 px high
    EXPECT_EQ (marked.getPixelAt (150, 40), accent);
    EXPECT_EQ (marked.getPixelAt (150, 42).getAlpha(), 0);
    EXPECT_EQ (marked.getPixelAt (2, 44), accent);    // the triangle at the left
    EXPECT_EQ (marked.getPixelAt (150, 45).getAlpha(), 0);

    container.setMarkerY (0);
    EXPECT_EQ (accentPixels (shot()), 0);
}

TEST (NonMouseOverTextButton, LooksTheSameWhenHoveredOrPressedButNotWhenToggled)
{
    juce::LookAndFeel_V4 lf;
    NonMouseOverTextButton button ("Go");
    button.setLookAndFeel (&lf);
    button.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff303030));
    button.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xff0681ff));
    button.setSize (80, 30);

    auto centre = [&] (juce::Button::ButtonState state)
    {
        button.setState (state);
        return button.createComponentSnapshot (button.getLocalBounds(), true, 1.0f).getPixelAt (8, 15);
    };

    const auto normal = centre (juce::Button::buttonNormal);
    EXPECT_EQ (centre (juce::Button::buttonOver), normal);
    EXPECT_EQ (centre (juce::Button::buttonDown), normal);

    button.setToggleState (true, juce::dontSendNotification);
    EXPECT_NE (centre (juce::Button::buttonNormal), normal);
    button.setLookAndFeel (nullptr);
}

TEST (LineComponent, FadesFromTheCentreTowardsTheEnds)
{
    LineComponent line;
    line.setSize (300, 2);
    const auto shot = line.createComponentSnapshot (line.getLocalBounds(), true, 1.0f);
    EXPECT_GT (shot.getPixelAt (150, 1).getAlpha(), shot.getPixelAt (20, 1).getAlpha());
    EXPECT_LE (shot.getPixelAt (150, 1).getAlpha(), 0x19);
    EXPECT_EQ (shot.getPixelAt (299, 1).getAlpha(), 0);
}
