#pragma once

#include <juce_graphics/juce_graphics.h>

namespace melatonin
{
/** One layer of a soft shadow: its colour, blur radius, offset and spread (in logical pixels;
    a negative spread shrinks the shape before it is blurred). */
struct ShadowLayer
{
    juce::Colour colour;
    int radius = 0;
    juce::Point<int> offset;
    int spread = 0;
};
}
