#include "server/QrImage.h"

#include <qrcodegen.hpp>

juce::Image makeQrImage (const juce::String& text, juce::Colour light, juce::Colour dark)
{
    const auto segments = qrcodegen::QrSegment::makeSegments (text.toRawUTF8());
    const auto code = qrcodegen::QrCode::encodeSegments (segments, qrcodegen::QrCode::Ecc::MEDIUM);

    constexpr int quietZone = 4;
    constexpr int maxSide = 400;
    const int n = code.getSize();
    const int scale = juce::jmax (1, maxSide / (n + 2 * quietZone));
    const int side = (n + 2 * quietZone) * scale;

    juce::Image image (juce::Image::RGB, side, side, true, juce::NativeImageType());
    juce::Graphics g (image);
    g.fillAll (light);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
        {
            g.setColour (code.getModule (x, y) ? dark : light);
            g.fillRect ((quietZone + x) * scale, (quietZone + y) * scale, scale, scale);
        }
    return image;
}
