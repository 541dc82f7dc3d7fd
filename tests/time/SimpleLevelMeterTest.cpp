#include "FakeAudioDevice.h"
#include "support/MessageLoop.h"
#include "time/SimpleLevelMeter.h"

#include <gtest/gtest.h>
#include <limits>

TEST (SimpleLevelMeter, TheCubeRootOfTheLevelLightsTheSegments)
{
    struct Case { float level; int lit; };
    const Case cases[] = {
        { 0.0f, 0 }, { -0.5f, 0 }, { std::numeric_limits<float>::quiet_NaN(), 0 },
        { 0.001f, 6 }, { 0.125f, 32 }, { 0.5f, 51 }, { 1.0f, 64 }, { 4.0f, 64 },
    };
    for (const auto& c : cases)
        EXPECT_EQ (SimpleLevelMeter::getNumLitSegments (c.level), c.lit) << c.level;
}

namespace
{
constexpr juce::uint32 background = 0xff000000, segment = 0xff00ff00;

struct Drawn
{
    juce::Image image;
    float s;

    /** The pixel under the middle of segment i. */
    juce::Colour at (int i) const
    {
        const auto x = (int) ((float) i * s + 1.0f + s * 0.5f);
        return image.getPixelAt (x, image.getHeight() / 2);
    }
};

Drawn draw (juce::AudioDeviceManager& dm, int width, float level)
{
    SimpleLevelMeter meter (dm);
    meter.setColour (juce::ResizableWindow::backgroundColourId, juce::Colour (background));
    meter.setColour (juce::Slider::thumbColourId, juce::Colour (segment));
    meter.setSize (width, 27);
    meter.setLevel (level);
    return { meter.createComponentSnapshot (meter.getLocalBounds(), true, 1.0f), ((float) width - 2.0f) / 64.0f };
}
}

TEST (SimpleLevelMeter, SegmentsShareTheWidthAlsoBelowOnePixelEach)
{
    test::FakeDeviceManager dm (std::make_shared<test::FakeAudioInput>());

    // Below 66 px a segment is narrower than a pixel and still drawn, in its share of the width.
    for (const int width : { 40, 65, 130, 700 })
    {
        const auto full = draw (dm, width, 1.0f);
        // (Narrow segments share their pixel with a neighbour.)
        const auto last = full.at (63);
        EXPECT_GT (last.getRed(), 40) << width;
        if (width > 66)
        {
            EXPECT_EQ (last.getGreen(), 0) << width;
        }
        const auto first = full.at (0);
        EXPECT_GT (first.getGreen(), 40) << width;
        EXPECT_EQ (first.getRed(), 0) << width;

        // A quarter of the bar lit: lit segments are brighter than unlit ones, which still show.
        const auto part = draw (dm, width, 0.125f * 0.125f * 0.125f * 8.0f); // cube root 0.25: 16 lit
        ASSERT_EQ (SimpleLevelMeter::getNumLitSegments (0.125f * 0.125f * 0.125f * 8.0f), 16);
        EXPECT_GT (part.at (8).getGreen(), part.at (40).getGreen() + 10) << width;
        EXPECT_GT (part.at (40).getGreen(), 10) << width;
        EXPECT_EQ (part.at (63).getRed(), 0) << width;

        const auto none = draw (dm, width, 0.0f);
        EXPECT_EQ (none.at (40), part.at (40)) << width;
        EXPECT_LT (none.at (8).getGreen(), part.at (8).getGreen()) << width;
    }
}

TEST (SimpleLevelMeter, ReadsTheInputLevelOnlyWhileOnScreen)
{
    auto input = std::make_shared<test::FakeAudioInput>();
    input->render = [] (float* dest, int n) { juce::FloatVectorOperations::fill (dest, 0.5f, n); };
    input->stream = true;
    input->paced = true;
    test::FakeDeviceManager dm (input);
    ASSERT_EQ (dm.initialise (1, 0, nullptr, true), juce::String());
    ASSERT_NE (dm.getFakeDevice(), nullptr);

    SimpleLevelMeter meter (dm);
    meter.setSize (300, 27);
    test::pumpFor (200);
    EXPECT_EQ (meter.getLevel(), 0.0f);

    meter.addToDesktop (0);
    meter.setVisible (true);
    ASSERT_TRUE (test::pumpUntil ([&] { return meter.getLevel() > 0.1f; }));

    meter.removeFromDesktop();
    ASSERT_TRUE (test::pumpUntil ([&] { return meter.getLevel() <= 0.0f; }, 1000));
    dm.closeAudioDevice();
}
