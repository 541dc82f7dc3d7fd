#pragma once

#include <juce_graphics/juce_graphics.h>

namespace melatonin::internal
{
/** Blurs a single-channel image in place, first along its rows, then along its columns, with
    the triangular stack-blur kernel of the given radius (limited to 1..254, which keeps every
    running sum an exact integer in a float). Pixels beyond an edge repeat the edge pixel. */
void stackBlur (juce::Image& singleChannelImage, int radius);
}
