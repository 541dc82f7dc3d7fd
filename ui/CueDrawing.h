#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** An equilateral triangle of the given side, centred on the origin, its apex towards +y. */
juce::Path makeTrianglePath (float size);

/** The bounds of the first line of the text laid out in the font with no width limit; empty
    when there is no line. Callers size labels to its width. */
juce::Rectangle<float> getTextBounds (const juce::Font& font, const juce::String& text);
