#include "CueViewFixture.h"
#include "ui/TimecodeDisplay.h"

#include <future>
#include <thread>

namespace
{
class TimecodeDisplayTest : public test::GuiFixture
{
protected:
    TimecodeDisplay display;
    const juce::Colour accent { VantrelLookAndFeel::accentArgb };

    TimecodeDisplayTest() { display.setSize (600, 115); }

    /** The display over the window colour, as the main view shows it. */
    juce::Image render()
    {
        juce::Image image (juce::Image::ARGB, display.getWidth(), display.getHeight(), true);
        juce::Graphics g (image);
        g.fillAll (lookAndFeel.findColour (juce::ResizableWindow::backgroundColourId));
        display.paintEntireComponent (g, false);
        return image;
    }

    /** Pixels of the digits (below the driver row, left of the frame rates) whose blue
        channel lies in [low, high]. */
    int countBlue (const juce::Image& image, int low, int high)
    {
        int n = 0;
        for (int y = 28; y < image.getHeight(); ++y)
            for (int x = 0; x < display.fpsSelector.getX(); ++x)
            {
                const int b = image.getPixelAt (x, y).getBlue();
                n += (b >= low && b <= high) ? 1 : 0;
            }
        return n;
    }
};
}

TEST_F (TimecodeDisplayTest, DimmedAtStartAccentWhileRunning)
{
    EXPECT_EQ (display.getText(), "00:00:00:00");
    EXPECT_EQ (display.getGlyphs().getNumGlyphs(), 11);
    EXPECT_EQ (display.findColour (juce::TextButton::textColourOnId), accent.darker (0.8f));

    // Dimmed digits are a dark blue; nothing reaches the accent's brightness.
    auto image = render();
    EXPECT_GT (countBlue (image, 80, 150), 200);
    EXPECT_EQ (countBlue (image, 190, 255), 0);

    display.setTime ({ 3723040, 25, true, false });
    EXPECT_EQ (display.getText(), "01:02:03:01");
    EXPECT_EQ (display.findColour (juce::TextButton::textColourOnId), accent);
    EXPECT_EQ (display.fpsSelector.getFps(), 25);
    image = render();
    EXPECT_GT (countBlue (image, 190, 255), 200);
}

TEST_F (TimecodeDisplayTest, ComputerClockShowsEightCharactersAndNoFrameRate)
{
    display.setTime ({ 13 * 3600000 + 14 * 60000 + 15000 + 500, 1000, true, true });
    EXPECT_EQ (display.getGlyphs().getNumGlyphs(), 8);
    EXPECT_EQ (display.fpsSelector.getFps(), 1000);

    juce::Image rows (juce::Image::ARGB, 40, 100, true);
    display.fpsSelector.setSize (40, 100);
    {
        juce::Graphics g (rows);
        display.fpsSelector.paintEntireComponent (g, false);
    }
    // No row in the accent: every drawn pixel is the dim white.
    for (int y = 0; y < rows.getHeight(); ++y)
        for (int x = 0; x < rows.getWidth(); ++x)
            EXPECT_LE (rows.getPixelAt (x, y).getAlpha(), 0x26) << x << "," << y;
}

TEST_F (TimecodeDisplayTest, DigitsFrameRatesAndIconFitTheWidth)
{
    const struct
    {
        int width;
        float specHeight; // width / 6, kept within 25..100
    } cases[] = { { 600, 100.0f }, { 900, 100.0f }, { 400, 67.0f }, { 120, 25.0f } };

    for (const auto& c : cases)
    {
        display.setSize (c.width, 115);
        auto glyphs = display.getGlyphs();
        ASSERT_EQ (glyphs.getNumGlyphs(), 11) << c.width;
        // One line: every glyph on the first baseline.
        EXPECT_EQ (glyphs.getGlyph (10).getBaselineY(), glyphs.getGlyph (0).getBaselineY()) << c.width;
        EXPECT_LE (display.getDigitHeight(), c.specHeight) << c.width;
        EXPECT_GE (display.getActivityIcon().getX(), 0) << c.width;
        EXPECT_LE (display.fpsSelector.getRight(), c.width) << c.width;
        EXPECT_GT (display.fpsSelector.getX(), (int) glyphs.getGlyph (10).getRight()) << c.width;
    }
    // Wide enough: the digits keep their full size.
    display.setSize (900, 115);
    EXPECT_EQ (display.getDigitHeight(), 100.0f);
}

TEST_F (TimecodeDisplayTest, FlashFromADriverThreadNeverWaitsForTheMessageThread)
{
    // The message thread is busy in this test body, as it would be inside a long paint.
    auto done = std::async (std::launch::async, [this] { display.flash(); });
    ASSERT_EQ (done.wait_for (std::chrono::seconds (5)), std::future_status::ready);
    EXPECT_FALSE (display.getActivityIcon().getToggleState());

    ASSERT_TRUE (test::pumpUntil ([&] { return display.getActivityIcon().getToggleState(); }));
    ASSERT_TRUE (test::pumpUntil ([&] { return ! display.getActivityIcon().getToggleState(); }));
}

TEST_F (TimecodeDisplayTest, ASecondFlashKeepsTheIconLit)
{
    display.flash();
    EXPECT_TRUE (display.getActivityIcon().getToggleState());
    test::pumpFor (50);
    display.flash();
    const auto second = juce::Time::getMillisecondCounterHiRes();
    ASSERT_TRUE (test::pumpUntil ([&] { return ! display.getActivityIcon().getToggleState(); }));
    EXPECT_GE (juce::Time::getMillisecondCounterHiRes() - second, 95.0);
}
