#include "ui/CustomTitleBar.h"
#include "ui/kit/VantrelLookAndFeel.h"

#include "support/MessageLoop.h"
#include <gtest/gtest.h>

namespace
{
const juce::Colour windowColour (0xff0f0d15);

int countColour (const juce::Image& image, juce::Rectangle<int> area, std::function<bool (juce::Colour)> matches)
{
    int n = 0;
    area = area.getIntersection (image.getBounds());
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            n += matches (image.getPixelAt (x, y)) ? 1 : 0;
    return n;
}

bool isWhite (juce::Colour c) { return c.getRed() > 0xf0 && c.getGreen() > 0xf0 && c.getBlue() > 0xf0; }
// Thin icon strokes are antialiased: light grey counts.
bool isLight (juce::Colour c) { return c.getRed() > 0x80 && c.getGreen() > 0x80 && c.getBlue() > 0x80; }
}

TEST (CustomTitleBar, PlacesTheButtonsFromTheRight)
{
    using R = juce::Rectangle<int>;
    struct Case { int width; R close, fullScreen, minimise; };
    const Case cases[] = {
        { 400, { 382, 6, 12, 18 }, { 358, 6, 12, 18 }, { 334, 6, 12, 18 } },
        { 60, { 42, 6, 12, 18 }, { 18, 6, 12, 18 }, { 6, 6, 0, 18 } },  // the left-most squeezed first
        { 20, { 6, 6, 8, 18 }, { 6, 6, 0, 18 }, { 6, 6, 0, 18 } },
    };

    for (const auto& c : cases)
    {
        CustomTitleBar bar;
        bar.setSize (c.width, 30);
        EXPECT_EQ (bar.getCloseButton().getBounds(), c.close) << c.width;
        EXPECT_EQ (bar.getFullScreenButton().getBounds(), c.fullScreen) << c.width;
        EXPECT_EQ (bar.getMinimiseButton().getBounds(), c.minimise) << c.width;
        EXPECT_EQ (bar.getSettingsButton().getBounds(), R (30, 9, 12, 12)) << c.width;
    }
}

TEST (CustomTitleBar, SettingsCogShowsFromThePaintAfterItsCallbackIsSet)
{
    CustomTitleBar bar;
    bar.setSize (400, 30);
    bar.createComponentSnapshot (bar.getLocalBounds());
    EXPECT_FALSE (bar.getSettingsButton().isVisible());
    EXPECT_EQ (bar.getSettingsButton().findColour (SvgButton::iconColourId), juce::Colour (0xff808080));

    int settings = 0, closes = 0;
    bar.onSettings = [&settings] { ++settings; };
    bar.onClose = [&closes] { ++closes; };
    EXPECT_FALSE (bar.getSettingsButton().isVisible());
    bar.createComponentSnapshot (bar.getLocalBounds());
    EXPECT_TRUE (bar.getSettingsButton().isVisible());

    bar.getSettingsButton().triggerClick();
    bar.getCloseButton().triggerClick();
    EXPECT_TRUE (test::pumpUntil ([&] { return settings == 1 && closes == 1; }));

    bar.onSettings = nullptr;
    bar.createComponentSnapshot (bar.getLocalBounds());
    EXPECT_FALSE (bar.getSettingsButton().isVisible());
}

TEST (CustomTitleBar, ScreenshotShowsBarColourLogoIconsAndTitle)
{
    VantrelLookAndFeel look;
    CustomTitleBar bar;
    bar.setLookAndFeel (&look);
    bar.setName ("Gala");
    bar.onSettings = [] {};
    bar.setSize (600, 30);
    bar.createComponentSnapshot (bar.getLocalBounds());  // shows the cog

    const auto shot = bar.createComponentSnapshot (bar.getLocalBounds(), true, 1.0f);
    EXPECT_EQ (shot.getPixelAt (100, 2), windowColour);
    EXPECT_EQ (shot.getPixelAt (450, 27), windowColour);

    auto notBar = [] (juce::Colour c) { return c != windowColour; };
    EXPECT_GT (countColour (shot, { 6, 6, 18, 18 }, notBar), 100) << "logo";
    EXPECT_GT (countColour (shot, { 30, 9, 12, 12 }, notBar), 20) << "settings cog";
    EXPECT_GT (countColour (shot, { 582, 6, 12, 18 }, isLight), 5) << "close";
    EXPECT_GT (countColour (shot, { 558, 6, 12, 18 }, isLight), 5) << "full screen";
    EXPECT_GT (countColour (shot, { 534, 6, 12, 18 }, isLight), 5) << "minimise";

    // The title, white and centred between the inset edges.
    EXPECT_GT (countColour (shot, { 270, 0, 60, 30 }, isWhite), 20);
    EXPECT_EQ (countColour (shot, { 44, 0, 230, 30 }, isWhite), 0);
    EXPECT_EQ (countColour (shot, { 330, 0, 200, 30 }, isWhite), 0);

    // Narrower than 300 px there is no room for the title at all.
    bar.setSize (290, 30);
    const auto narrow = bar.createComponentSnapshot (bar.getLocalBounds(), true, 1.0f);
    EXPECT_EQ (countColour (narrow, { 44, 0, 170, 30 }, isWhite), 0);
    bar.setLookAndFeel (nullptr);
}

TEST (CustomTitleBar, DraggingTheBarMovesTheOutermostComponent)
{
    juce::Component frame, middle;
    CustomTitleBar bar;
    frame.setBounds (100, 100, 400, 300);
    frame.addAndMakeVisible (middle);
    middle.setBounds (10, 10, 380, 280);
    middle.addAndMakeVisible (bar);
    bar.setBounds (0, 0, 380, 30);

    auto source = juce::Desktop::getInstance().getMainMouseSource();
    const auto now = juce::Time::getCurrentTime();
    const juce::Point<float> down (200, 15);
    auto event = [&] (juce::Point<float> at)
    {
        return juce::MouseEvent (source, at, juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f,
                                 0.0f, 0.0f, 0.0f, &bar, &bar, now, down, now, 1, at != down);
    };

    bar.mouseDown (event (down));
    bar.mouseDrag (event ({ 230, 35 }));
    EXPECT_EQ (frame.getPosition(), juce::Point<int> (130, 120));
    EXPECT_EQ (middle.getPosition(), juce::Point<int> (10, 10));
}
