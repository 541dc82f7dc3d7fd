#include "ui/kit/DropShadow.h"
#include "ui/kit/DropShadowLabel.h"
#include "ui/kit/MaskComponent.h"

#include <gtest/gtest.h>
#include <cfenv>
#include <functional>

namespace
{
juce::Image canvas (int w = 200, int h = 200)
{
    return juce::Image (juce::Image::ARGB, w, h, true);
}

int alphaAt (const juce::Image& image, int x, int y)
{
    return image.getPixelAt (x, y).getAlpha();
}

int countVisible (const juce::Image& image)
{
    int n = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            n += image.getPixelAt (x, y).getAlpha() > 0 ? 1 : 0;
    return n;
}

juce::Path square (float x, float y, float size)
{
    juce::Path p;
    p.addRectangle (x, y, size, size);
    return p;
}

const void* pixelsOf (const juce::Image& image)
{
    return image.getPixelData();
}
}

TEST (CachedShadows, DrawsTheShadowBelowTheShapeAtItsOffset)
{
    melatonin::DropShadow shadow (juce::Colours::black, 4, { 0, 10 });
    auto image = canvas();
    juce::Graphics g (image);
    shadow.paintPathShadow (g, square (50, 50, 20));

    EXPECT_EQ (alphaAt (image, 60, 68), 255);  // under the middle of the shifted square
    EXPECT_GT (alphaAt (image, 60, 82), 0);    // the soft lower edge
    EXPECT_EQ (alphaAt (image, 60, 84), 0);    // beyond offset + size + radius
    EXPECT_EQ (alphaAt (image, 60, 55), 0);    // above the shifted shadow
}

TEST (CachedShadows, MovingTheShapeReusesTheImageAndChangingItRendersAgain)
{
    melatonin::DropShadow shadow (juce::Colours::black, 6, { 2, 2 });
    auto image = canvas();
    juce::Graphics g (image);

    shadow.paintPathShadow (g, square (20, 20, 30));
    const auto first = shadow.getCachedImage();
    ASSERT_TRUE (first.isValid());

    auto moved = canvas();
    juce::Graphics gm (moved);
    shadow.paintPathShadow (gm, square (120, 110, 30));
    EXPECT_EQ (pixelsOf (shadow.getCachedImage()), pixelsOf (first));
    EXPECT_EQ (alphaAt (moved, 137, 127), 255);  // drawn at the new place
    EXPECT_EQ (alphaAt (moved, 37, 37), 0);

    auto changed = square (120, 110, 30);
    changed.lineTo (151.0f, 141.0f);
    shadow.paintPathShadow (gm, changed);
    EXPECT_NE (pixelsOf (shadow.getCachedImage()), pixelsOf (first));
}

TEST (CachedShadows, ADifferentDisplayScaleRendersAgainAtThatScale)
{
    melatonin::DropShadow shadow (juce::Colours::black, 4);
    auto image = canvas (400, 400);
    juce::Graphics g (image);
    shadow.paintPathShadow (g, square (10, 10, 20));
    const auto atOne = shadow.getCachedImage();
    ASSERT_TRUE (atOne.isValid());

    g.addTransform (juce::AffineTransform::scale (2.0f));
    shadow.paintPathShadow (g, square (10, 10, 20));
    const auto atTwo = shadow.getCachedImage();
    EXPECT_NE (pixelsOf (atTwo), pixelsOf (atOne));
    EXPECT_EQ (atTwo.getWidth(), 2 * atOne.getWidth());
}

TEST (CachedShadows, NegativeSpreadShrinksAndAnEmptiedAreaDrawsNothing)
{
    melatonin::DropShadow shadow (juce::Colours::black, 2, {}, -10);

    auto big = canvas();
    juce::Graphics gb (big);
    shadow.paintPathShadow (gb, square (50, 50, 100));
    EXPECT_EQ (alphaAt (big, 100, 100), 255);
    EXPECT_EQ (alphaAt (big, 55, 100), 0);  // the shrunk shape starts 10 px in
    ASSERT_TRUE (shadow.getCachedImage().isValid());

    // Grown by radius + spread = -8 on every side, a 10 px square leaves no area at all: the
    // earlier, larger shadow must not be drawn again.
    auto small = canvas();
    juce::Graphics gs (small);
    shadow.paintPathShadow (gs, square (50, 50, 10));
    EXPECT_EQ (countVisible (small), 0);
    EXPECT_FALSE (shadow.getCachedImage().isValid());
}

TEST (CachedShadows, ShapesWithoutAreaOrLayersDrawNothing)
{
    melatonin::DropShadow shadow (juce::Colours::black, 4);
    auto image = canvas();
    juce::Graphics g (image);

    juce::Path line;
    line.startNewSubPath (10, 10);
    line.lineTo (100, 10);
    shadow.paintPathShadow (g, line);
    shadow.paintPathShadow (g, juce::Path());

    melatonin::internal::CachedShadows none ({});
    none.paintPathShadow (g, square (10, 10, 50));
    none.paintTextShadow (g, "Text", { 0, 0, 100, 30 }, juce::Justification::left);

    EXPECT_EQ (countVisible (image), 0);
}

TEST (CachedShadows, TextShadowIsCachedOnTextFontAreaAndJustification)
{
    melatonin::DropShadow shadow (juce::Colours::black, 2, { 1, 1 });
    auto image = canvas (300, 100);
    juce::Graphics g (image);
    g.setFont (20.0f);
    const juce::Rectangle<float> area (10, 10, 200, 40);

    shadow.paintTextShadow (g, "Cue 12", area, juce::Justification::centredLeft);
    const auto first = shadow.getCachedImage();
    ASSERT_TRUE (first.isValid());
    EXPECT_GT (countVisible (image), 0);

    shadow.paintTextShadow (g, "Cue 12", area, juce::Justification::centredLeft);
    EXPECT_EQ (pixelsOf (shadow.getCachedImage()), pixelsOf (first));

    shadow.paintTextShadow (g, "Cue 13", area, juce::Justification::centredLeft);
    EXPECT_NE (pixelsOf (shadow.getCachedImage()), pixelsOf (first));
}

TEST (CachedShadows, EmptyTextWithASpreadDrawsNothingAndRecovers)
{
    melatonin::DropShadow shadow (juce::Colours::black, 3, { 1, 1 }, 4);
    auto image = canvas (300, 100);
    juce::Graphics g (image);
    g.setFont (20.0f);
    const juce::Rectangle<float> area (10, 10, 200, 40);

    shadow.paintTextShadow (g, "Go", area, juce::Justification::centred);
    ASSERT_TRUE (shadow.getCachedImage().isValid());

    image.clear (image.getBounds());
    for (auto blank : { "", "   " })
    {
        // A blank text has a zero-sized outline; sizing a spread for it must not divide by
        // zero (trapped here instead of silently producing infinities).
        feenableexcept (FE_DIVBYZERO | FE_INVALID);
        shadow.paintTextShadow (g, blank, area, juce::Justification::centred);
        fedisableexcept (FE_DIVBYZERO | FE_INVALID);
        EXPECT_EQ (countVisible (image), 0) << "'" << blank << "'";
    }

    shadow.paintTextShadow (g, "Go", area, juce::Justification::centred);
    EXPECT_GT (countVisible (image), 0);
}

TEST (MaskComponent, CoversWithTheWindowColourAndCastsItsShadowBelow)
{
    juce::Path path;
    path.addRectangle (0, 0, 100, 40);
    MaskComponent mask (path);
    mask.setColour (juce::ResizableWindow::backgroundColourId, juce::Colour (0xff0f0d15));
    mask.setSize (100, 100);

    const auto shot = mask.createComponentSnapshot (mask.getLocalBounds(), true, 1.0f);
    EXPECT_EQ (shot.getPixelAt (50, 20), juce::Colour (0xff0f0d15));
    EXPECT_GT (alphaAt (shot, 50, 50), 0);   // default shadow: radius 16, 16 px down
    EXPECT_EQ (alphaAt (shot, 50, 90), 0);
    bool self = true, children = true;
    mask.getInterceptsMouseClicks (self, children);
    EXPECT_FALSE (self || children);
}

TEST (MaskComponent, AnInvisibleShadowLeavesOnlyTheCover)
{
    juce::Path path;
    path.addRectangle (0, 0, 100, 40);
    MaskComponent mask (path);
    mask.setShadow (juce::Colour (0x00000000), 0, {}, 0);
    mask.setSize (100, 100);

    const auto shot = mask.createComponentSnapshot (mask.getLocalBounds(), true, 1.0f);
    EXPECT_EQ (alphaAt (shot, 50, 20), 255);
    EXPECT_EQ (alphaAt (shot, 50, 41), 0);
}

TEST (MaskComponent, AfterAChangeDrawsAsANewMaskWould)
{
    // A frame like the cue list's: the mask draws along its edges only, and keeps that drawing.
    const auto frame = [] (float w, float h)
    {
        juce::Path p;
        p.setUsingNonZeroWinding (false);
        p.addRectangle (-10.0f, -10.0f, w + 20.0f, h + 20.0f);
        p.addRectangle (0.0f, 6.0f, w, h - 12.0f);
        return p;
    };
    const auto draw = [] (MaskComponent& m)
    {
        juce::Image image (juce::Image::ARGB, m.getWidth(), m.getHeight(), true);
        juce::Graphics g (image);
        g.fillAll (juce::Colours::darkred);
        m.paintEntireComponent (g, true);
        return image;
    };
    const auto sameImage = [] (const juce::Image& a, const juce::Image& b)
    {
        if (a.getBounds() != b.getBounds())
            return false;
        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    return false;
        return true;
    };

    struct State
    {
        int w, h;
        float pathW, pathH;
        juce::Colour shadowColour;
        int radius, offsetY, spread;
        juce::Colour cover;
    };
    const auto make = [&] (const State& st)
    {
        auto m = std::make_unique<MaskComponent> (frame (st.pathW, st.pathH));
        m->setShadow (st.shadowColour, st.radius, { 0, st.offsetY }, st.spread);
        m->setColour (juce::ResizableWindow::backgroundColourId, st.cover);
        m->setSize (st.w, st.h);
        return m;
    };
    const State start { 120, 100, 120.0f, 100.0f, juce::Colours::black, 24, 0, -5, juce::Colours::grey };
    const struct
    {
        const char* change;
        State after;
    } cases[] = {
        { "a new size", { 150, 90, 120.0f, 100.0f, juce::Colours::black, 24, 0, -5, juce::Colours::grey } },
        { "a new path", { 120, 100, 110.0f, 90.0f, juce::Colours::black, 24, 0, -5, juce::Colours::grey } },
        { "a new shadow", { 120, 100, 120.0f, 100.0f, juce::Colours::white, 8, 4, 2, juce::Colours::grey } },
        { "a new colour", { 120, 100, 120.0f, 100.0f, juce::Colours::black, 24, 0, -5, juce::Colours::blue } },
    };
    for (const auto& c : cases)
    {
        auto mask = make (start);
        (void) draw (*mask);
        // Only what the case changes, so each change has to stand on its own.
        const auto& a = c.after;
        if (a.w != start.w || a.h != start.h)
            mask->setSize (a.w, a.h);
        if (std::not_equal_to<float>() (a.pathW, start.pathW) || std::not_equal_to<float>() (a.pathH, start.pathH))
            mask->maskPath = frame (a.pathW, a.pathH);
        if (a.shadowColour != start.shadowColour || a.radius != start.radius || a.offsetY != start.offsetY
            || a.spread != start.spread)
            mask->setShadow (a.shadowColour, a.radius, { 0, a.offsetY }, a.spread);
        if (a.cover != start.cover)
            mask->setColour (juce::ResizableWindow::backgroundColourId, a.cover);

        const auto drawn = draw (*mask);
        EXPECT_TRUE (sameImage (drawn, draw (*make (a)))) << c.change;
        // The middle stays clear: what lies below shows through.
        EXPECT_EQ (drawn.getPixelAt (a.w / 2, a.h / 2), juce::Colours::darkred) << c.change;
    }
}

TEST (DropShadowLabel, DrawsTheTextOverItsShadowAndNoBackground)
{
    DropShadowLabel label;
    label.setColour (juce::Label::backgroundColourId, juce::Colours::red);
    label.setColour (juce::Label::textColourId, juce::Colours::white);
    label.setFont (juce::Font (30.0f));
    label.setText ("88", juce::dontSendNotification);
    label.setJustificationType (juce::Justification::centred);
    label.setSize (120, 50);

    const auto shot = label.createComponentSnapshot (label.getLocalBounds(), true, 1.0f);
    int white = 0, grey = 0, red = 0;
    for (int y = 0; y < shot.getHeight(); ++y)
        for (int x = 0; x < shot.getWidth(); ++x)
        {
            const auto c = shot.getPixelAt (x, y);
            white += c == juce::Colours::white ? 1 : 0;
            grey += (c.getAlpha() > 0 && c.getRed() == c.getGreen() && c.getRed() < 0x80) ? 1 : 0;
            red += c.getRed() > 0xc0 && c.getGreen() < 0x40 ? 1 : 0;
        }
    EXPECT_GT (white, 0);
    EXPECT_GT (grey, 0);
    EXPECT_EQ (red, 0);
    EXPECT_EQ (alphaAt (shot, 2, 2), 0);
}
