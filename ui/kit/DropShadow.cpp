#include "ui/kit/DropShadow.h"

namespace melatonin
{
DropShadow::DropShadow (ShadowLayer layer)
    : internal::CachedShadows ({ layer })
{
}

DropShadow::DropShadow (juce::Colour colour, int radius, juce::Point<int> offset, int spread)
    : DropShadow (ShadowLayer { colour, radius, offset, spread })
{
}
}
