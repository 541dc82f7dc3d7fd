#pragma once

#include <juce_graphics/juce_graphics.h>

/** The QR code of a text (error correction at least medium) as a square RGB image: the symbol
    with a quiet zone of four modules on every side, each module a whole number of pixels, at
    most 400 pixels a side. Throws qrcodegen's data_too_long for a text no symbol can hold. */
juce::Image makeQrImage (const juce::String& text, juce::Colour light, juce::Colour dark);
