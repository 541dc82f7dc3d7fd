#pragma once

#include <juce_graphics/juce_graphics.h>
#include <cstdlib>

namespace test
{
/** How far an image lies from a reference: the pixels with a channel further off than the
    tolerance, and the largest difference of any channel. */
struct ImageDifference
{
    bool sameSize = false;
    int pixelsOff = 0;
    int numPixels = 0;
    int worst = 0;

    /** Every channel within the tolerance, or anti-aliasing: at most 0.1 % of the pixels off. */
    bool looksTheSame() const { return sameSize && (juce::int64) pixelsOff * 1000 <= (juce::int64) numPixels; }
};

inline ImageDifference compareImages (const juce::Image& actual, const juce::Image& reference, int tolerance = 2)
{
    ImageDifference d;
    d.sameSize = actual.isValid() && reference.isValid() && actual.getBounds() == reference.getBounds();
    if (! d.sameSize)
        return d;

    d.numPixels = actual.getWidth() * actual.getHeight();
    const juce::Image::BitmapData a (actual, juce::Image::BitmapData::readOnly);
    const juce::Image::BitmapData r (reference, juce::Image::BitmapData::readOnly);
    for (int y = 0; y < actual.getHeight(); ++y)
    {
        for (int x = 0; x < actual.getWidth(); ++x)
        {
            const auto p = a.getPixelColour (x, y), q = r.getPixelColour (x, y);
            const int diff = juce::jmax (std::abs (p.getRed() - q.getRed()), std::abs (p.getGreen() - q.getGreen()),
                                         std::abs (p.getBlue() - q.getBlue()), std::abs (p.getAlpha() - q.getAlpha()));
            d.worst = juce::jmax (d.worst, diff);
            if (diff > tolerance)
                ++d.pixelsOff;
        }
    }
    return d;
}

inline juce::Image readPng (const juce::File& file)
{
    juce::PNGImageFormat png;
    juce::FileInputStream in (file);
    return in.openedOk() ? png.decodeImage (in) : juce::Image();
}

inline bool writePng (const juce::Image& image, const juce::File& file)
{
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;
    return out.openedOk() && png.writeImageToStream (image, out);
}
}
