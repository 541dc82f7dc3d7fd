#include "ui/kit/VantrelLookAndFeel.h"

#include "ui/kit/DialogComponent.h"
#include <BinaryData.h>

namespace
{
// The icon button's colour ids (normal and toggled-on); they live in the application's own range.
constexpr int svgIconColourId = 0x3000010;
constexpr int svgIconOnColourId = 0x3000011;

constexpr float cornerSize = 6.0f;

juce::Typeface::Ptr embeddedTypeface (const char* data, int size)
{
    return juce::Typeface::createSystemTypefaceFor (data, (size_t) size);
}
}

VantrelLookAndFeel::VantrelLookAndFeel()
{
    using namespace juce;
    const Colour background (0xff0f0d15);
    const Colour transparent (0x00000000);

    // Later entries for the same id win: the scroll bar thumb ends up in the dimmed accent.
    setColour (ComboBox::outlineColourId, transparent);
    setColour (TextEditor::outlineColourId, transparent);
    setColour (ResizableWindow::backgroundColourId, background);
    setColour (svgIconOnColourId, Colours::white);
    setColour (svgIconColourId, Colours::white);
    setColour (TextButton::buttonOnColourId, accentColour);
    setColour (TextButton::buttonColourId, transparent);
    setColour (TextButton::textColourOnId, Colours::white);
    setColour (TextButton::textColourOffId, Colours::white);
    setColour (ScrollBar::thumbColourId, accentColour);
    setColour (TextEditor::highlightColourId, accentColour.withAlpha (0.35f));
    setColour (CaretComponent::caretColourId, accentColour);
    setColour (ToggleButton::tickColourId, accentColour);
    setColour (ToggleButton::tickDisabledColourId, background.interpolatedWith (accentColour, 0.35f));
    setColour (PopupMenu::backgroundColourId, Colour (0xff1a1820));
    setColour (PopupMenu::highlightedBackgroundColourId, Colour (0xff24232a));
    setColour (ComboBox::backgroundColourId, Colours::black);
    setColour (ComboBox::focusedOutlineColourId, Colours::black.brighter (0.1f));
    setColour (Slider::thumbColourId, accentColour);
    setColour (ScrollBar::thumbColourId, background.interpolatedWith (accentColour, 0.35f));
    setColour (DialogComponent::backgroundColourId, background.interpolatedWith (accentColour, 0.05f));

    setDefaultSansSerifTypeface (embeddedTypeface (BinaryData::FigtreeRegular_ttf, BinaryData::FigtreeRegular_ttfSize));
}

juce::Typeface::Ptr VantrelLookAndFeel::getTypefaceForFont (const juce::Font& font)
{
    const auto name = font.getTypefaceName();
    // Some font constructors leave a missing name empty instead of the default sans-serif name.
    if (name == "Figtree" || name.isEmpty() || name == juce::Font::getDefaultSansSerifFontName())
    {
        // There is no bold-italic face: any mixed or underlined style falls back to Regular.
        switch (font.getStyleFlags())
        {
            case juce::Font::bold: return embeddedTypeface (BinaryData::FigtreeBold_ttf, BinaryData::FigtreeBold_ttfSize);
            case juce::Font::italic: return embeddedTypeface (BinaryData::FigtreeItalic_ttf, BinaryData::FigtreeItalic_ttfSize);
            default: return embeddedTypeface (BinaryData::FigtreeRegular_ttf, BinaryData::FigtreeRegular_ttfSize);
        }
    }
    if (name == "Droid Sans Mono")
        return embeddedTypeface (BinaryData::droidsansmono_regular_ttf, BinaryData::droidsansmono_regular_ttfSize);
    return LookAndFeel_V4::getTypefaceForFont (font);
}

juce::Path VantrelLookAndFeel::getTickShape (float height)
{
    juce::Path dot;
    dot.addEllipse (0.0f, 0.0f, height, height);
    return dot;
}

juce::Font VantrelLookAndFeel::getTextButtonFont (juce::TextButton&, int buttonHeight)
{
    return juce::Font (juce::String(), "bold", 1.0f).withPointHeight ((float) buttonHeight * 0.5f);
}

void VantrelLookAndFeel::drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool, bool)
{
    const auto w = (float) button.getWidth();
    const auto h = (float) button.getHeight();
    const auto trackWidth = juce::jmin (w, h * 1.66f);
    const auto on = button.getToggleState();

    g.setColour (findColour (on ? juce::ToggleButton::tickColourId : juce::ToggleButton::tickDisabledColourId));
    g.fillRoundedRectangle (w - trackWidth, 0.0f, trackWidth, h, h * 0.5f);

    const auto knob = juce::jmin (trackWidth, 10.0f);
    g.setColour (juce::Colours::white);
    g.fillEllipse (on ? w - knob - 2.0f : w - trackWidth + 2.0f, 2.0f, knob, juce::jmax (h - 4.0f, 0.0f));

    g.setFont (juce::Font (juce::String(), "italic", 1.0f).withPointHeight (15.0f));
    g.setColour (button.findColour (juce::ToggleButton::textColourId));
    if (! button.isEnabled())
        g.setOpacity (0.5f);
    g.drawText (button.getButtonText(), juce::Rectangle<float> (0.0f, 0.0f, w, h), juce::Justification::centredLeft, false);
}

void VantrelLookAndFeel::fillTextEditorBackground (juce::Graphics& g, int width, int height, juce::TextEditor&)
{
    g.setColour (juce::Colours::black);
    g.fillRoundedRectangle (0.0f, 0.0f, (float) width, (float) height, cornerSize);
}

void VantrelLookAndFeel::drawTextEditorOutline (juce::Graphics&, int, int, juce::TextEditor&)
{
}

void VantrelLookAndFeel::drawPopupMenuBackground (juce::Graphics& g, int, int)
{
    g.fillAll (findColour (juce::PopupMenu::backgroundColourId));
}

void VantrelLookAndFeel::drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area, bool isSeparator,
                                            bool isActive, bool isHighlighted, bool isTicked, bool hasSubMenu,
                                            const juce::String& text, const juce::String& shortcutKeyText,
                                            const juce::Drawable* icon, const juce::Colour* textColour)
{
    using namespace juce;
    if (isSeparator)
    {
        auto r = area.reduced (5, 0);
        r.removeFromTop (roundToInt ((float) r.getHeight() * 0.5f - 0.5f));
        g.setColour (findColour (PopupMenu::textColourId).withAlpha (0.3f));
        g.fillRect (r.removeFromTop (1));
        return;
    }

    auto r = area.reduced (1);
    if (isHighlighted && isActive)
    {
        g.setColour (findColour (PopupMenu::highlightedBackgroundColourId));
        g.fillRect (r);
        g.setColour (findColour (PopupMenu::highlightedTextColourId));
    }
    else
    {
        const auto colour = textColour != nullptr ? *textColour : findColour (PopupMenu::textColourId);
        g.setColour (colour.withMultipliedAlpha (isActive ? 1.0f : 0.5f));
    }

    r.reduce (jmin (5, area.getWidth() / 20), 0);
    auto font = getPopupMenuFont();
    const auto maxFontHeight = (float) r.getHeight() / 1.3f;
    if (font.getHeight() > maxFontHeight)
        font.setHeight (maxFontHeight);
    g.setFont (font);

    const auto iconArea = r.removeFromLeft (roundToInt (maxFontHeight)).toFloat();
    if (icon != nullptr)
    {
        icon->drawWithin (g, iconArea, RectanglePlacement::centred | RectanglePlacement::onlyReduceInSize, 1.0f);
        r.removeFromLeft (roundToInt (maxFontHeight * 0.5f));
    }
    else if (isTicked)
    {
        const auto tick = getTickShape (1.0f);
        g.fillPath (tick, tick.getTransformToScaleToFit (iconArea.reduced (iconArea.getWidth() / 3.0f, 0.0f), true));
    }

    if (hasSubMenu)
    {
        const auto arrowH = 0.6f * getPopupMenuFont().getAscent();
        const auto x = (float) r.removeFromRight ((int) arrowH).getX();
        const auto centreY = (float) r.getCentreY();
        Path arrow;
        arrow.startNewSubPath (x, centreY - arrowH * 0.5f);
        arrow.lineTo (x + arrowH * 0.6f, centreY);
        arrow.lineTo (x, centreY + arrowH * 0.5f);
        g.strokePath (arrow, PathStrokeType (2.0f));
    }

    r.removeFromRight (3);
    g.drawFittedText (text, r, Justification::centredLeft, 1);

    if (shortcutKeyText.isNotEmpty())
    {
        auto shortcutFont = font;
        shortcutFont.setHeight (shortcutFont.getHeight() * 0.75f);
        shortcutFont.setHorizontalScale (0.95f);
        g.setFont (shortcutFont);
        g.drawText (shortcutKeyText, r, Justification::centredRight, true);
    }
}

void VantrelLookAndFeel::drawComboBox (juce::Graphics& g, int width, int height, bool, int, int, int, int,
                                       juce::ComboBox& box)
{
    using namespace juce;
    g.setColour (box.findColour (ComboBox::backgroundColourId));
    g.fillRoundedRectangle (0.0f, 0.0f, (float) width, (float) height, cornerSize);

    const auto halfHeight = 3.0f * 0.8660254f;
    Path arrow;
    arrow.addTriangle (-3.0f, -halfHeight, 3.0f, -halfHeight, 0.0f, halfHeight);
    g.setColour (box.findColour (ComboBox::arrowColourId).withAlpha (box.isEnabled() ? 0.9f : 0.2f));
    g.fillPath (arrow, AffineTransform::translation ((float) width - (float) height * 0.5f, (float) height * 0.5f));
}

void VantrelLookAndFeel::drawLabel (juce::Graphics& g, juce::Label& label)
{
    using namespace juce;
    const auto bounds = label.getLocalBounds();
    if (label.isEditable())
    {
        g.setColour (Colours::black);
        g.fillRoundedRectangle (bounds.toFloat(), cornerSize);
    }
    else
    {
        g.fillAll (label.findColour (Label::backgroundColourId));
    }

    if (label.isBeingEdited())
        return;

    g.setColour (label.findColour (Label::textColourId).withMultipliedAlpha (label.isEnabled() ? 1.0f : 0.5f));
    g.setFont (label.getFont());
    // The border size is deliberately ignored: every label keeps the same 5 px inset.
    g.drawText (label.getText(), Rectangle<int> (5, 0, jmax (label.getWidth() - 5, 0), label.getHeight()),
                label.getJustificationType(), true);
}
