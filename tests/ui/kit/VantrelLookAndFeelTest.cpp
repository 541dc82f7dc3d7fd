#include "ui/kit/DialogComponent.h"
#include "ui/kit/FlatButtonLookAndFeel.h"
#include "ui/kit/VantrelLookAndFeel.h"

#include <gtest/gtest.h>

namespace
{
std::string hex (juce::Colour c) { return c.toDisplayString (true).toStdString(); }

juce::Colour pixel (const juce::Image& image, int x, int y) { return image.getPixelAt (x, y); }
}

TEST (VantrelLookAndFeel, ColourTable)
{
    VantrelLookAndFeel laf;
    const struct
    {
        int id;
        juce::uint32 argb;
        const char* what;
    } cases[] = {
        { juce::ComboBox::outlineColourId, 0x00000000, "combo outline" },
        { juce::TextEditor::outlineColourId, 0x00000000, "editor outline" },
        { juce::ResizableWindow::backgroundColourId, 0xff0f0d15, "window background" },
        { 0x3000011, 0xffffffff, "icon on" },
        { 0x3000010, 0xffffffff, "icon" },
        { juce::TextButton::buttonOnColourId, 0xff0681ff, "button on" },
        { juce::TextButton::buttonColourId, 0x00000000, "button" },
        { juce::TextButton::textColourOnId, 0xffffffff, "button text on" },
        { juce::TextButton::textColourOffId, 0xffffffff, "button text off" },
        { juce::TextEditor::highlightColourId, 0x590681ff, "selection" },
        { juce::CaretComponent::caretColourId, 0xff0681ff, "caret" },
        { juce::ToggleButton::tickColourId, 0xff0681ff, "switch on" },
        { juce::ToggleButton::tickDisabledColourId, 0xff0b3566, "switch off" },
        { juce::PopupMenu::backgroundColourId, 0xff1a1820, "menu" },
        { juce::PopupMenu::highlightedBackgroundColourId, 0xff24232a, "menu highlight" },
        { juce::ComboBox::backgroundColourId, 0xff000000, "combo" },
        { juce::ComboBox::focusedOutlineColourId, 0xff171717, "combo focus" },
        { juce::Slider::thumbColourId, 0xff0681ff, "slider thumb" },
        // Set twice: the second, dimmed value wins.
        { juce::ScrollBar::thumbColourId, 0xff0b3566, "scroll bar thumb" },
        { DialogComponent::backgroundColourId, 0xff0e1220, "dialog" },
    };
    for (const auto& c : cases)
    {
        EXPECT_TRUE (laf.isColourSpecified (c.id)) << c.what;
        EXPECT_EQ (hex (laf.findColour (c.id)), hex (juce::Colour (c.argb))) << c.what;
    }
    EXPECT_EQ (laf.accentColour, juce::Colour (0xff0681ff));

    // Everything else keeps the framework's dark scheme.
    juce::LookAndFeel_V4 dark;
    for (auto id : { (int) juce::Label::textColourId, (int) juce::PopupMenu::textColourId, (int) juce::ComboBox::arrowColourId,
                     (int) juce::TextEditor::backgroundColourId, (int) juce::ToggleButton::textColourId })
        EXPECT_EQ (hex (laf.findColour (id)), hex (dark.findColour (id))) << std::hex << id;
}

TEST (VantrelLookAndFeel, FontMapping)
{
    VantrelLookAndFeel laf;
    const struct
    {
        const char* name;
        int flags;
        const char* family;
        const char* style;
    } cases[] = {
        { "Figtree", juce::Font::plain, "Figtree", "Regular" },
        { "Figtree", juce::Font::bold, "Figtree", "Bold" },
        { "Figtree", juce::Font::italic, "Figtree", "Italic" },
        // No bold-italic face, and underlining is not a face: both fall back to Regular.
        { "Figtree", juce::Font::bold | juce::Font::italic, "Figtree", "Regular" },
        { "Figtree", juce::Font::bold | juce::Font::underlined, "Figtree", "Regular" },
        { "Figtree", juce::Font::underlined, "Figtree", "Regular" },
        // A font without a name carries the default sans-serif name.
        { "", juce::Font::plain, "Figtree", "Regular" },
        { "", juce::Font::bold, "Figtree", "Bold" },
        { "<Sans-Serif>", juce::Font::italic, "Figtree", "Italic" },
        // The monospaced face has one style for every request.
        { "Droid Sans Mono", juce::Font::plain, "Noto Mono", "Regular" },
        { "Droid Sans Mono", juce::Font::bold | juce::Font::italic, "Noto Mono", "Regular" },
    };
    for (const auto& c : cases)
    {
        const juce::Font font (c.name, 14.0f, c.flags);
        const auto typeface = laf.getTypefaceForFont (font);
        ASSERT_NE (typeface, nullptr) << c.name << " " << c.flags;
        EXPECT_EQ (typeface->getName(), c.family) << c.name << " " << c.flags;
        EXPECT_EQ (typeface->getStyle(), c.style) << c.name << " " << c.flags;
    }

    // Any other name is a system font.
    const auto system = laf.getTypefaceForFont (juce::Font ("DejaVu Sans", 14.0f, juce::Font::plain));
    ASSERT_NE (system, nullptr);
    EXPECT_EQ (system->getName(), "DejaVu Sans");
}

TEST (VantrelLookAndFeel, InstalledAsDefaultEveryPlainFontIsFigtree)
{
    VantrelLookAndFeel laf;
    juce::LookAndFeel::setDefaultLookAndFeel (&laf);
    EXPECT_EQ (juce::Font (14.0f).getTypefacePtr()->getName(), "Figtree");
    EXPECT_EQ (juce::Font (14.0f, juce::Font::bold).getTypefacePtr()->getStyle(), "Bold");
    EXPECT_EQ (juce::Font ("Droid Sans Mono", 14.0f, juce::Font::plain).getTypefacePtr()->getName(), "Noto Mono");
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}

TEST (VantrelLookAndFeel, ButtonFonts)
{
    VantrelLookAndFeel laf;
    FlatButtonLookAndFeel flat;
    juce::TextButton button ("OK");
    const struct
    {
        juce::LookAndFeel_V4& laf;
        int buttonHeight;
        float points;
    } cases[] = { { laf, 40, 20.0f }, { laf, 12, 6.0f }, { flat, 20, 12.0f }, { flat, 50, 15.0f } };
    for (const auto& c : cases)
    {
        const auto font = c.laf.getTextButtonFont (button, c.buttonHeight);
        EXPECT_NEAR (font.getHeightInPoints(), c.points, 0.01f) << c.buttonHeight;
        EXPECT_TRUE (font.isBold());
        EXPECT_FALSE (font.isItalic());
        EXPECT_EQ (font.getTypefaceName(), juce::Font::getDefaultSansSerifFontName());
    }
    EXPECT_EQ (flat.findColour (juce::TextEditor::textColourId), juce::Colours::white);
}

TEST (VantrelLookAndFeel, ToggleButtonIsASwitchWithTheKnobOnItsState)
{
    VantrelLookAndFeel laf;
    juce::ToggleButton button ("Enabled");
    button.setBounds (0, 0, 100, 20);
    // Track: 33 px at the right (1.66 x height); knob 10 px wide.
    for (const bool on : { false, true })
    {
        button.setToggleState (on, juce::dontSendNotification);
        juce::Image image (juce::Image::ARGB, 100, 20, true);
        {
            juce::Graphics g (image);
            laf.drawToggleButton (g, button, false, false);
        }
        const auto track = juce::Colour (on ? 0xff0681ff : 0xff0b3566);
        const int knobCentre = on ? 100 - 2 - 5 : 100 - 33 + 2 + 5;
        const int otherEnd = on ? 100 - 33 + 7 : 100 - 7;
        EXPECT_EQ (hex (pixel (image, knobCentre, 10)), hex (juce::Colours::white)) << on;
        EXPECT_EQ (hex (pixel (image, otherEnd, 10)), hex (track)) << on;
        EXPECT_EQ (pixel (image, 60, 1).getAlpha(), 0) << "nothing between text and track";
    }
}

TEST (VantrelLookAndFeel, LabelsAndComboBoxes)
{
    VantrelLookAndFeel laf;
    auto render = [] (auto paint)
    {
        juce::Image image (juce::Image::ARGB, 100, 24, true);
        juce::Graphics g (image);
        g.fillAll (juce::Colours::red);
        paint (g);
        return image;
    };

    // A plain label keeps what is underneath; an editable one sits on a black rounded field.
    juce::Label label ("l", "");
    label.setBounds (0, 0, 100, 24);
    auto plain = render ([&] (auto& g) { laf.drawLabel (g, label); });
    EXPECT_EQ (hex (pixel (plain, 50, 12)), hex (juce::Colours::red));
    label.setEditable (true);
    auto editable = render ([&] (auto& g) { laf.drawLabel (g, label); });
    EXPECT_EQ (hex (pixel (editable, 50, 12)), hex (juce::Colours::black));
    EXPECT_EQ (hex (pixel (editable, 0, 0)), hex (juce::Colours::red)) << "rounded corner";

    // A disabled box keeps its background but dims its arrow, even inside an enabled parent.
    juce::Component parent;
    juce::ComboBox box;
    parent.setLookAndFeel (&laf);
    parent.addAndMakeVisible (box);
    box.setBounds (0, 0, 100, 24);
    auto arrowAt = [&]
    {
        auto image = render ([&] (auto& g) { laf.drawComboBox (g, 100, 24, false, 0, 0, 0, 0, box); });
        EXPECT_EQ (hex (pixel (image, 40, 12)), hex (juce::Colours::black));
        return pixel (image, 88, 11); // the arrow's middle at (width - height / 2, height / 2)
    };
    const auto enabledArrow = arrowAt();
    box.setEnabled (false);
    const auto disabledArrow = arrowAt();
    const auto arrow = box.findColour (juce::ComboBox::arrowColourId);
    EXPECT_NEAR (enabledArrow.getBrightness(), juce::Colours::black.interpolatedWith (arrow, 0.9f).getBrightness(), 0.03f);
    EXPECT_NEAR (disabledArrow.getBrightness(), juce::Colours::black.interpolatedWith (arrow, 0.2f).getBrightness(), 0.03f);
    parent.setLookAndFeel (nullptr);
}
