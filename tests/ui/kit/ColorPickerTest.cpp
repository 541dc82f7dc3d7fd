#include "ui/kit/ColorPicker.h"
#include "ui/kit/ColorPickerMenu.h"
#include "ui/kit/VantrelLookAndFeel.h"
#include "ui/PeerInput.h"

#include "support/MessageLoop.h"
#include <gtest/gtest.h>

namespace
{
/** A plain top-level window holding one component, so mouse input goes through a real peer. */
struct Window
{
    juce::Component window;

    explicit Window (juce::Component& content, juce::Rectangle<int> bounds = { 100, 100, 300, 400 })
    {
        window.setBounds (bounds);
        window.addAndMakeVisible (content);
        window.addToDesktop (0);
        window.setVisible (true);
        // Pop-up menus close themselves while the application is not active; on a display
        // shared by several test processes only taking the focus activates it reliably.
        test::pumpUntil ([this]
                         {
                             window.toFront (true);
                             return juce::Process::isForegroundProcess();
                         });
    }
    ~Window() { window.removeAllChildren(); }
};

/** Types into the label as a user does: the editor opens, the text replaces what is there,
    and Return ends the edit. */
void typeInto (juce::Label& label, const juce::String& text)
{
    label.showEditor();
    auto* editor = label.getCurrentTextEditor();
    ASSERT_NE (editor, nullptr);
    editor->setText (text, false);
    label.hideEditor (false);
}

juce::Component* findMenuWindow()
{
    auto& desktop = juce::Desktop::getInstance();
    for (int i = desktop.getNumComponents(); --i >= 0;)
        if (auto* c = desktop.getComponent (i); c != nullptr && c->getName() == "menu")
            return c;
    return nullptr;
}

void closeMenus()
{
    juce::PopupMenu::dismissAllActiveMenus();
    test::pumpUntil ([] { return findMenuWindow() == nullptr; });
}
}

TEST (ColorPicker, TypedHexSelectsAnOpaqueColourAndReportsOnce)
{
    const struct
    {
        const char* typed;
        juce::uint32 argb;
        const char* shown;
    } cases[] = {
        { "ff0000", 0xffff0000, "FF0000" },
        { "#FF0000", 0xffff0000, "FF0000" },
        { "3fb6dc", 0xff3fb6dc, "3FB6DC" },
        { "80123456", 0xff123456, "123456" }, // a typed alpha is not kept
    };
    for (const auto& c : cases)
    {
        ColorPicker picker;
        int changes = 0;
        picker.onChange = [&changes] { ++changes; };
        typeInto (picker.getHexLabel(), c.typed);
        EXPECT_EQ (picker.getColour().getARGB(), c.argb) << c.typed;
        EXPECT_EQ (picker.getHexLabel().getText(), c.shown) << c.typed;
        EXPECT_EQ (changes, 1) << c.typed;
    }
}

TEST (ColorPicker, SetColourPlacesMarkerAndThumbWithoutReporting)
{
    ColorPicker picker;
    EXPECT_EQ (picker.getHexLabel().getBounds(), juce::Rectangle<int> (60, 48, 80, 30));
    EXPECT_EQ (picker.getWheel().getBounds(), juce::Rectangle<int> (5, 85, 190, 190));
    EXPECT_EQ (picker.getBrightnessSlider().getBounds(), juce::Rectangle<int> (5, 275, 190, 50));
    picker.setOpenedAbove (true);
    EXPECT_EQ (picker.getHexLabel().getY(), -2) << "the tag strip moves to the bottom";
    picker.setOpenedAbove (false);

    bool reported = false;
    picker.onChange = [&reported] { reported = true; };

    const struct
    {
        juce::uint32 argb;
        juce::Point<int> marker;
        float value;
    } cases[] = {
        { 0xffff0000, { 95, 0 }, 1.0f },   // red sits at the top of the rim
        { 0xff000000, { 95, 95 }, 0.0f },  // black: no saturation, the thumb at the left
        { 0xff808080, { 95, 95 }, 128.0f / 255.0f },
        { 0xff00ffff, { 95, 190 }, 1.0f }, // cyan at the bottom
    };
    for (const auto& c : cases)
    {
        picker.setColour (juce::Colour (c.argb));
        EXPECT_EQ (picker.getColour().getARGB(), c.argb);
        EXPECT_EQ (picker.getWheel().getMarker(), c.marker) << juce::String::toHexString (c.argb);
        EXPECT_NEAR (picker.getBrightnessSlider().getValue(), c.value, 1e-3) << juce::String::toHexString (c.argb);
    }
    EXPECT_FALSE (reported);
}

TEST (ColorPicker, WheelAndStripDragsChangeTheColourLive)
{
    ColorPicker picker;
    Window window (picker);
    test::PeerMouse mouse (window.window);
    picker.setColour (juce::Colour (0xff808080));

    std::vector<juce::uint32> reported;
    picker.onChange = [&] { reported.push_back (picker.getColour().getARGB()); };

    // Dragging far beyond the rim keeps the marker on the rim: fully saturated, at the
    // brightness the strip had.
    auto& wheel = picker.getWheel();
    mouse.press (wheel, { 95, 95 });
    mouse.dragTo (wheel, { 95, -300 });
    mouse.release (wheel, { 95, -300 });
    EXPECT_EQ (wheel.getMarker(), juce::Point<int> (95, 0));
    EXPECT_EQ (wheel.getColour().getARGB(), 0xffff0000);
    const auto dark = picker.getColour();
    EXPECT_NEAR (dark.getRed(), 128, 1);
    EXPECT_EQ (dark.getARGB() & 0xff00ffffu, 0xff000000u);
    EXPECT_EQ (picker.getHexLabel().getText(), dark.toDisplayString (false));
    ASSERT_FALSE (reported.empty());
    EXPECT_EQ (reported.back(), picker.getColour().getARGB());

    // The strip: past its right end means full brightness.
    auto& strip = picker.getBrightnessSlider();
    const auto before = reported.size();
    mouse.press (strip, { 10, 25 });
    mouse.dragTo (strip, { 400, 25 });
    mouse.release (strip, { 400, 25 });
    EXPECT_FLOAT_EQ (strip.getValue(), 1.0f);
    EXPECT_EQ (picker.getColour().getARGB(), 0xffff0000);
    EXPECT_EQ (picker.getHexLabel().getText(), "FF0000");
    EXPECT_GT (reported.size(), before);

    strip.setValue (0.5f);
    EXPECT_EQ (reported.back(), 0xffff0000u) << "setValue reports nothing";
}

TEST (ColorWheel, AWheelWithoutCallbackTakesClicksAndDrags)
{
    ColorWheel wheel;
    wheel.setSize (100, 100);
    Window window (wheel);
    test::PeerMouse mouse (window.window);

    mouse.press (wheel, { 50, 10 });
    mouse.dragTo (wheel, { 90, 50 });
    mouse.release (wheel, { 90, 50 });
    EXPECT_EQ (wheel.getMarker(), juce::Point<int> (90, 50));
}

TEST (ColorWheel, TheDiscIsDrawnOncePerSize)
{
    ColorWheel wheel;
    wheel.setSize (60, 60);
    wheel.createComponentSnapshot (wheel.getLocalBounds());
    const auto* first = wheel.getDiscImage().getPixelData();
    ASSERT_NE (first, nullptr);
    EXPECT_EQ (wheel.getDiscImage().getPixelAt (30, 0).getARGB(), 0xffff0000) << "red at the top";

    wheel.setColour (juce::Colours::blue);
    wheel.createComponentSnapshot (wheel.getLocalBounds());
    EXPECT_EQ (wheel.getDiscImage().getPixelData(), first) << "same size, same image";

    wheel.setSize (80, 80);
    wheel.createComponentSnapshot (wheel.getLocalBounds());
    EXPECT_NE (wheel.getDiscImage().getPixelData(), first);
    EXPECT_EQ (wheel.getDiscImage().getBounds(), juce::Rectangle<int> (0, 0, 80, 80));
}

TEST (ColorPickerMenu, OpensCentredOnTheAreaAndAboveItNearTheScreenBottom)
{
    VantrelLookAndFeel laf;
    juce::LookAndFeel::setDefaultLookAndFeel (&laf);
    {
        juce::Component target;
        Window window (target, { 300, 100, 600, 900 });
        target.setBounds (0, 0, 600, 900);
        ColorPickerMenu menu;
        auto& picker = menu.picker;
        EXPECT_EQ (picker.getBounds().getWidth(), 200);
        EXPECT_FALSE (menu.isOpen());

        const auto screen = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->userArea;
        const juce::Rectangle<int> nearTop (500, 150, 19, 19);
        menu.showFor (target, nearTop);
        ASSERT_TRUE (menu.isOpen());
        EXPECT_FALSE (picker.isOpenedAbove());
        EXPECT_NEAR (picker.getScreenBounds().getCentreX(), nearTop.getCentreX(), 3);
        EXPECT_GE (picker.getScreenY(), nearTop.getBottom());

        // The background: see-through only where a compositor blends it; otherwise the
        // framework makes the window opaque and the colour must be too.
        auto* window2 = findMenuWindow();
        ASSERT_NE (window2, nullptr);
        const auto expected = juce::Desktop::canUseSemiTransparentWindows() ? 0xd90f0d15u : 0xff0f0d15u;
        EXPECT_EQ (window2->createComponentSnapshot ({ 0, 0, 4, 4 }).getPixelAt (1, 1).getARGB(), expected);
        closeMenus();
        EXPECT_FALSE (menu.isOpen());

        const juce::Rectangle<int> nearBottom (500, screen.getBottom() - 40, 19, 19);
        menu.showFor (target, nearBottom);
        ASSERT_TRUE (menu.isOpen());
        EXPECT_TRUE (picker.isOpenedAbove());
        EXPECT_LE (picker.getScreenBounds().getBottom(), nearBottom.getY());
        closeMenus();

        // No area: the pop-up goes to the target component alone.
        juce::Component small;
        target.addAndMakeVisible (small);
        small.setBounds (100, 100, 30, 30);
        menu.showFor (small, {});
        ASSERT_TRUE (menu.isOpen());
        EXPECT_FALSE (picker.isOpenedAbove());
        EXPECT_GE (picker.getScreenY(), small.getScreenBounds().getBottom());
        closeMenus();
    }
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}

TEST (ColorPickerMenu, AMenuDeletedWhileOpenClosesItsPopUp)
{
    juce::Component target;
    Window window (target);
    target.setBounds (0, 0, 300, 400);
    auto menu = std::make_unique<ColorPickerMenu>();
    menu->showFor (target, {});
    ASSERT_TRUE (menu->isOpen());
    auto* popUp = findMenuWindow();
    ASSERT_NE (popUp, nullptr);
    menu.reset();
    EXPECT_FALSE (popUp->isVisible());
    EXPECT_TRUE (test::pumpUntil ([] { return findMenuWindow() == nullptr; }));
}
