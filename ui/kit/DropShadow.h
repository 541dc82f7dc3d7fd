#pragma once

#include "ui/kit/CachedShadows.h"

namespace melatonin
{
/** A cached soft shadow of one layer. */
class DropShadow : public internal::CachedShadows
{
public:
    explicit DropShadow (ShadowLayer layer);
    DropShadow (juce::Colour colour, int radius, juce::Point<int> offset = {}, int spread = 0);
};
}
