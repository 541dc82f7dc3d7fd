#include "server/QrImage.h"
#include "support/QrDecode.h"

#include <gtest/gtest.h>

namespace
{
struct QrCase
{
    const char* text;
    int modules;   // symbol side: 21 for version 1, 25 for 2, 29 for 3
    int side;      // image side in pixels
};

// Short texts pick the smallest version; the scale is the largest whole number of pixels per
// module that keeps the symbol and its four-module quiet zones within 400 pixels.
const QrCase cases[] = {
    { "", 21, 377 },
    { "12345", 21, 377 },
    { "http://10.0.0.5:3030", 25, 396 },
    { "http://stage-left.local:3030", 29, 370 },
};

const juce::Colour light (0xfff0e8d0), dark (0xff102030);

juce::Colour at (const juce::Image& image, int x, int y) { return image.getPixelAt (x, y).withAlpha ((juce::uint8) 0xff); }
}

TEST (QrImage, EveryModuleIsAWholeSquareInsideAQuietZoneOfFourModules)
{
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.text);
        const auto image = makeQrImage (c.text, light, dark);
        ASSERT_EQ (image.getWidth(), c.side);
        ASSERT_EQ (image.getHeight(), c.side);
        EXPECT_EQ (image.getFormat(), juce::Image::RGB);

        const int s = c.side / (c.modules + 8);
        ASSERT_EQ ((c.modules + 8) * s, c.side) << "no pixel row or column left over";

        int wrong = 0, darkModules = 0;
        for (int y = 0; y < c.side; ++y)
            for (int x = 0; x < c.side; ++x)
            {
                const bool inZone = x < 4 * s || y < 4 * s || x >= c.side - 4 * s || y >= c.side - 4 * s;
                const auto pixel = at (image, x, y);
                // Each pixel has the colour of its module's top left pixel.
                const auto module = at (image, x - x % s, y - y % s);
                if ((inZone && pixel != light) || pixel != module || (pixel != light && pixel != dark))
                    ++wrong;
                if (! inZone && x % s == 0 && y % s == 0 && pixel == dark)
                    ++darkModules;
            }
        EXPECT_EQ (wrong, 0);
        // The three finder patterns alone have 3 x 33 dark modules.
        EXPECT_GT (darkModules, 99);
    }
}

TEST (QrImage, AReaderGetsTheTextBack)
{
    for (const auto* text : { "12345", "http://10.0.0.5:3030", "http://stage-left.local:3030",
                              "http://a-very-long-computer-name-for-the-front-of-house.local:65535" })
    {
        SCOPED_TRACE (text);
        const auto decoded = test::decodeQr (makeQrImage (text, juce::Colours::white, juce::Colours::black));
        ASSERT_TRUE (decoded.has_value()) << "zbarimg found no code";
        EXPECT_EQ (*decoded, juce::String (text));
    }
}
