#include "ui/kit/StackBlur.h"

#include <gtest/gtest.h>

namespace
{
juce::Image makeNoise (int w, int h, int seed)
{
    juce::Random random (seed);
    juce::Image image (juce::Image::SingleChannel, w, h, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelAt (x, y, juce::Colour::fromRGBA (0, 0, 0, (juce::uint8) random.nextInt (256)));
    return image;
}

std::vector<int> pixels (const juce::Image& image)
{
    std::vector<int> values;
    juce::Image::BitmapData data (image, juce::Image::BitmapData::readOnly);
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            values.push_back (*data.getPixelPointer (x, y));
    return values;
}

// The kernel written out directly: triangle weights, edge pixels repeated, truncated per pass.
std::vector<int> referenceBlur (std::vector<int> v, int w, int h, int r)
{
    auto pass = [r] (std::vector<int>& values, int count, int lines, auto index)
    {
        std::vector<int> out (values.size());
        for (int line = 0; line < lines; ++line)
            for (int i = 0; i < count; ++i)
            {
                double sum = 0;
                for (int k = -r; k <= r; ++k)
                    sum += (r + 1 - std::abs (k)) * values[(size_t) index (line, juce::jlimit (0, count - 1, i + k))];
                out[(size_t) index (line, i)] = (int) (sum / double ((r + 1) * (r + 1)));
            }
        values = out;
    };
    pass (v, w, h, [w] (int y, int x) { return y * w + x; });
    pass (v, h, w, [w] (int x, int y) { return y * w + x; });
    return v;
}
}

TEST (StackBlur, MatchesTheTriangleKernelWithRepeatedEdges)
{
    struct Case { int w, h, radius; };
    // Small radii, radii wider than the picture, single rows and columns.
    const Case cases[] = { { 17, 11, 1 }, { 17, 11, 3 }, { 9, 23, 8 }, { 5, 4, 12 }, { 1, 7, 2 }, { 13, 1, 5 } };

    for (const auto& c : cases)
    {
        auto image = makeNoise (c.w, c.h, c.w * 100 + c.radius);
        const auto expected = referenceBlur (pixels (image), c.w, c.h, c.radius);
        melatonin::internal::stackBlur (image, c.radius);
        EXPECT_EQ (pixels (image), expected) << c.w << "x" << c.h << " radius " << c.radius;
    }
}

TEST (StackBlur, KeepsAFlatPictureFlat)
{
    // Full white must stay full white: the running sums are exact, no 254 from rounding.
    juce::Image image (juce::Image::SingleChannel, 40, 30, false);
    image.clear (image.getBounds(), juce::Colours::white);
    melatonin::internal::stackBlur (image, 254);
    for (auto v : pixels (image))
        ASSERT_EQ (v, 255);
}

TEST (StackBlur, RadiusAbove254BlursAs254AndBelow1As1)
{
    auto a = makeNoise (300, 20, 1);
    auto b = a.createCopy();
    melatonin::internal::stackBlur (a, 300);
    melatonin::internal::stackBlur (b, 254);
    EXPECT_EQ (pixels (a), pixels (b));

    auto c = makeNoise (30, 20, 2);
    auto d = c.createCopy();
    melatonin::internal::stackBlur (c, 0);
    melatonin::internal::stackBlur (d, 1);
    EXPECT_EQ (pixels (c), pixels (d));
}
