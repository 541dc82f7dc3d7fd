#include "ui/TimecodeDisplay.h"

#include "BinaryData.h"
#include "time/Timecode.h"
#include <cmath>

namespace
{
// Halves go to the even neighbour.
int nearest (float v) { return (int) std::nearbyint (v); }

const juce::String digitFace ("Droid Sans Mono");
}

TimecodeDisplay::TimecodeDisplay()
    : activityIcon (BinaryData::triangleexclamationsolid_svg, (size_t) BinaryData::triangleexclamationsolid_svgSize)
{
    activityIcon.setColour (SvgButton::iconColourId, juce::Colour (0x26ffffff));
    activityIcon.setColour (SvgButton::iconOnColourId, juce::Colour (0xffffff00));
    activityIcon.setInterceptsMouseClicks (false, false);

    addAndMakeVisible (activityIcon);
    addAndMakeVisible (fpsSelector);
    addAndMakeVisible (driverSelector);

    setTime ({ 0, 30, false, false });
}

TimecodeDisplay::~TimecodeDisplay()
{
    cancelPendingUpdate();
    stopTimer();
}

float TimecodeDisplay::getDigitHeight() const
{
    const float width = (float) getWidth();
    float height = juce::jlimit (25.0f, 100.0f, (float) nearest (width * (1.0f / 6.0f)));

    // Eleven digits centred, with one glyph width free on the left for the activity icon and
    // one glyph plus 10 px on the right for the frame rates: 13 advances and 20 px in all.
    // Shrink the digits until that fits; never grow them.
    const juce::Font probe (digitFace, 100.0f, juce::Font::plain);
    const float advancePerHeight = probe.getStringWidthFloat ("0") / 100.0f;
    if (advancePerHeight > 0.0f)
        height = juce::jmin (height, std::floor ((width - 20.0f) / (13.0f * advancePerHeight)));
    return juce::jmax (1.0f, height);
}

juce::Font TimecodeDisplay::getDigitFont() const
{
    return juce::Font (digitFace, getDigitHeight(), juce::Font::plain);
}

void TimecodeDisplay::setTime (const TimeInfo& info)
{
    const auto previousGlyphs = glyphs;
    const auto previousColour = findColour (juce::TextButton::textColourOnId);

    text = Timecode::fromMillis (info.time, info.fps).toString (4);
    layoutText (text, info.internalClock);

    auto colour = getLookAndFeel().findColour (juce::TextButton::buttonOnColourId);
    if (! info.running)
        colour = colour.darker (0.8f);
    setColour (juce::TextButton::textColourOnId, colour);

    if (info.fps != fpsSelector.getFps())
        fpsSelector.setFps (info.fps);

    // Most updates change a digit or two (on the computer's clock, none for a second): only
    // those are drawn again. A new colour or layout changes everything, captions included.
    if (colour != previousColour)
        repaint();
    else if (const auto changed = changedGlyphArea (previousGlyphs, glyphs); ! changed.isEmpty())
        repaint (changed);
}

juce::Rectangle<int> TimecodeDisplay::changedGlyphArea (const juce::GlyphArrangement& before,
                                                        const juce::GlyphArrangement& after) const
{
    if (before.getNumGlyphs() != after.getNumGlyphs())
        return getLocalBounds();

    juce::Rectangle<float> changed;
    for (int i = 0; i < after.getNumGlyphs(); ++i)
    {
        const auto& a = *(before.begin() + i);
        const auto& b = *(after.begin() + i);
        if (a.getBounds() != b.getBounds() || std::not_equal_to<float>() (a.getBaselineY(), b.getBaselineY()))
            return getLocalBounds();
        if (a.getCharacter() != b.getCharacter())
            changed = changed.isEmpty() ? b.getBounds() : changed.getUnion (b.getBounds());
    }
    // Anti-aliased edges may reach a little past a glyph's box.
    return changed.isEmpty() ? juce::Rectangle<int>() : changed.getSmallestIntegerContainer().expanded (4);
}

void TimecodeDisplay::layoutText (const juce::String& timeText, bool clockMode)
{
    const auto shown = clockMode ? timeText.substring (0, 8) : timeText;
    const auto font = getDigitFont();

    glyphs.clear();
    glyphs.addJustifiedText (font, shown, 0.0f, (float) (getHeight() / 2) + font.getHeight() * 0.25f, (float) getWidth(),
                             juce::Justification::horizontallyCentred, 0.0f);
}

void TimecodeDisplay::flash()
{
    if (juce::MessageManager::existsAndIsCurrentThread())
        lightActivityIcon();
    else
        triggerAsyncUpdate();
}

void TimecodeDisplay::handleAsyncUpdate()
{
    lightActivityIcon();
}

void TimecodeDisplay::lightActivityIcon()
{
    activityIcon.setToggleState (true, juce::dontSendNotification);
    litUntil = juce::Time::getMillisecondCounterHiRes() + flashMs;
    startTimer (flashMs);
    repaint();
}

void TimecodeDisplay::timerCallback()
{
    // The framework's timer may fire early after a restart (it counts from its own last
    // wake-up), so the deadline decides.
    const auto remaining = litUntil - juce::Time::getMillisecondCounterHiRes();
    if (remaining > 0.5)
    {
        startTimer (juce::jmax (1, (int) std::ceil (remaining)));
        return;
    }
    activityIcon.setToggleState (false, juce::dontSendNotification);
    stopTimer();
}

void TimecodeDisplay::resized()
{
    driverSelector.setBounds (0, 0, getWidth(), juce::jmin (getHeight(), 28));
    layoutText (text, driverSelector.getSelectedIndex() == 0);
    // Also run after a switch of driver, which may change the layout without a new size.
    repaint();

    const int n = glyphs.getNumGlyphs();
    if (n == 0)
        return;

    const auto font = getDigitFont();
    const auto& last = glyphs.getGlyph (n - 1);
    fpsSelector.setBounds (nearest (last.getLeft() + last.getBounds().getWidth() + 10.0f),
                           nearest (last.getBaselineY() - font.getAscent()), nearest (last.getBounds().getWidth()),
                           nearest (font.getHeight()));

    const auto& first = glyphs.getGlyph (0);
    const int top = nearest (first.getBaselineY() - font.getAscent());
    const int h = nearest (font.getHeight());
    const int s = juce::jmax (6, h / 8);
    const int glyphWidth = nearest (first.getBounds().getWidth());
    activityIcon.setBounds (nearest (first.getLeft()) - glyphWidth, top + h / 2 - s / 2, glyphWidth, s);
}

void TimecodeDisplay::paint (juce::Graphics& g)
{
    const auto accent = getLookAndFeel().findColour (juce::TextButton::buttonOnColourId);

    g.setColour (findColour (juce::TextButton::textColourOnId).withAlpha ((juce::uint8) 0xcc));
    glyphs.draw (g);

    static const char* const captions[] = { "Hours", "Mins", "Secs", "Frames" };
    const int numCaptions = glyphs.getNumGlyphs() > 8 ? 4 : 3;
    g.setColour (accent.withAlpha ((juce::uint8) 0x4c));
    for (int j = 0; j < numCaptions; ++j)
    {
        const int index = 3 * j + 1;
        if (index >= glyphs.getNumGlyphs())
            break;
        const auto& glyph = glyphs.getGlyph (index);
        const float width = glyph.getBounds().getWidth();
        const float height = juce::jmin (width * 0.3f, 15.0f);
        g.setFont (juce::Font ("Figtree", height, juce::Font::italic));
        g.drawText (captions[j], juce::Rectangle<float> (glyph.getLeft(), glyph.getBaselineY() + 2.0f, width, height),
                    juce::Justification::centred, false);
    }
}
