#pragma once

#include <juce_graphics/juce_graphics.h>

namespace test
{
/** Reads a QR code image with zbarimg (a real reader); the decoded text, or nothing when the
    reader finds no code or is missing. */
std::optional<juce::String> decodeQr (const juce::Image& image);
}
