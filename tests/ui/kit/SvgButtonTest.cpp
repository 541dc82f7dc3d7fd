#include "ui/kit/SvgButton.h"
#include "ui/PeerInput.h"

#include "BinaryData.h"
#include "support/MessageLoop.h"
#include <gtest/gtest.h>

namespace
{
const char* squareSvg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10"><rect width="10" height="10"/></svg>)";

const juce::Colour normal (0xff606060), on (0xff20a0ff);

std::unique_ptr<SvgButton> squareButton()
{
    auto b = std::make_unique<SvgButton> (squareSvg, strlen (squareSvg));
    b->setColour (SvgButton::iconColourId, normal);
    b->setColour (SvgButton::iconOnColourId, on);
    b->setSize (20, 20);
    return b;
}

juce::Colour centreColour (SvgButton& b)
{
    return b.createComponentSnapshot (b.getLocalBounds(), true, 1.0f).getPixelAt (10, 10);
}

bool sameImage (const juce::Image& a, const juce::Image& b)
{
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                return false;
    return true;
}
}

TEST (SvgButton, ColourFollowsStateToggleAndEnablement)
{
    struct Case
    {
        const char* name;
        bool clickingToggles, toggled, enabled;
        juce::Button::ButtonState state;
        juce::Colour expected;
    };
    const Case cases[] = {
        { "plain", false, false, true, juce::Button::buttonNormal, normal },
        { "plain, mouse over", false, false, true, juce::Button::buttonOver, normal.brighter (0.4f) },
        { "plain, pressed", false, false, true, juce::Button::buttonDown, on.brighter (0.4f) },
        { "toggle, pressed but off", true, false, true, juce::Button::buttonDown, normal.brighter (0.4f) },
        { "toggle, on", true, true, true, juce::Button::buttonNormal, on },
        { "disabled and on", true, true, false, juce::Button::buttonNormal, on.darker (0.4f) },
        { "disabled, mouse over", false, false, false, juce::Button::buttonOver, normal.darker (0.4f) },
    };

    for (const auto& c : cases)
    {
        auto b = squareButton();
        b->setClickingTogglesState (c.clickingToggles);
        b->setToggleState (c.toggled, juce::dontSendNotification);
        b->setEnabled (c.enabled);
        b->setState (c.state);
        EXPECT_EQ (centreColour (*b), c.expected) << c.name;
    }

    // The exact arithmetic of the brightness steps.
    EXPECT_EQ (juce::Colour (0xff808080).brighter (0.4f), juce::Colour (0xffa4a4a4));
    EXPECT_EQ (juce::Colour (0xffff0000).darker (0.4f), juce::Colour (0xffb60000));
}

TEST (SvgButton, DisabledParentDarkensTheIcon)
{
    juce::Component parent;
    auto b = squareButton();
    parent.addAndMakeVisible (*b);
    parent.setEnabled (false);
    EXPECT_EQ (centreColour (*b), normal.darker (0.4f));
}

TEST (SvgButton, DragHandleShowsItsSecondIconWhileToggledOn)
{
    auto snapshot = [] (SvgButton& b) { return b.createComponentSnapshot (b.getLocalBounds(), true, 1.0f); };
    auto styled = [] (SvgButton& b)
    {
        b.setColour (SvgButton::iconColourId, juce::Colours::white);
        b.setColour (SvgButton::iconOnColourId, juce::Colours::white);
        b.setSize (24, 30);
    };

    SvgButton handle;
    SvgButton drag (BinaryData::Drag_svg, (size_t) BinaryData::Drag_svgSize);
    SvgButton dragOver (BinaryData::Drag_Over_svg, (size_t) BinaryData::Drag_Over_svgSize);
    for (auto* b : { &handle, &drag, &dragOver })
        styled (*b);

    EXPECT_TRUE (sameImage (snapshot (handle), snapshot (drag)));
    EXPECT_FALSE (sameImage (snapshot (drag), snapshot (dragOver)));
    handle.setToggleState (true, juce::dontSendNotification);
    EXPECT_TRUE (sameImage (snapshot (handle), snapshot (dragOver)));
}

TEST (SvgButton, HoverFadeRestsDimFadesInAndIsSetOnlyOnce)
{
    juce::Component window;
    window.setSize (100, 100);
    window.addToDesktop (0);
    window.setVisible (true);
    auto b = squareButton();
    window.addAndMakeVisible (*b);

    b->enableHoverFade();
    EXPECT_FLOAT_EQ (b->getAlpha(), 0.2f);

    std::vector<float> reported;
    b->onAlphaChanged = [&reported] (float a) { reported.push_back (a); };

    test::PeerMouse mouse (window);
    mouse.moveTo (*b, { 10, 10 });
    ASSERT_TRUE (test::pumpUntil ([&] { return b->getAlpha() > 0.99f; }, 5000));
    EXPECT_TRUE (test::pumpUntil ([&] { return ! reported.empty() && reported.back() > 0.99f; }, 5000));

    b->enableHoverFade();  // a second call keeps the animated value
    EXPECT_GT (b->getAlpha(), 0.99f);

    mouse.moveTo (window, { 90, 90 });
    EXPECT_TRUE (test::pumpUntil ([&] { return b->getAlpha() < 0.21f; }, 5000));
}

TEST (SvgButton, DragsGoToTheOwnerAndTheClickStillArrives)
{
    juce::Component window;
    window.setSize (100, 100);
    window.addToDesktop (0);
    window.setVisible (true);

    for (bool withHandler : { false, true })
    {
        auto b = squareButton();
        window.addAndMakeVisible (*b);
        int clicks = 0, drags = 0;
        b->onClick = [&clicks] { ++clicks; };
        if (withHandler)
            b->onMouseDrag = [&drags] (const juce::MouseEvent&) { ++drags; };

        test::PeerMouse mouse (window);
        mouse.moveTo (*b, { 5, 5 });
        mouse.press (*b, { 5, 5 });
        mouse.dragTo (*b, { 12, 9 });
        mouse.dragTo (*b, { 14, 11 });
        mouse.release (*b, { 14, 11 });

        EXPECT_EQ (clicks, 1) << withHandler;
        EXPECT_EQ (drags, withHandler ? 2 : 0);
    }
}
