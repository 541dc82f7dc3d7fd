#pragma once

#include "ui/kit/DropShadow.h"
#include <juce_gui_basics/juce_gui_basics.h>

/** Covers the area of a path with the window colour and casts a soft shadow around it, so
    what scrolls underneath fades out at its edge. Takes no mouse clicks.
    It usually lies over a whole view but draws only along its edges: it draws itself once into
    an image, remembers where that image is not empty and from then on only copies those parts,
    so repaints of what lies under its empty middle cost it nothing. Its size, path, shadow or
    colours changing draw it anew. */
class MaskComponent : public juce::Component
{
public:
    explicit MaskComponent (juce::Path path);

    /** Replaces the shadow (dropping everything cached). */
    void setShadow (juce::Colour colour, int radius, juce::Point<int> offset, int spread);

    void paint (juce::Graphics& g) override;
    void resized() override;
    void colourChanged() override;
    void lookAndFeelChanged() override;

    /** Where the mask draws anything, in its own coordinates (found on the next paint). */
    const juce::RectangleList<int>& getDrawnArea() const { return drawnArea; }

    juce::Path maskPath;
    melatonin::DropShadow shadow { juce::Colours::black, 16, { 0, 16 }, 0 };

private:
    void paintMask (juce::Graphics& g);
    void findDrawnArea();

    juce::Image drawn;
    juce::RectangleList<int> drawnArea;
    juce::Path drawnAreaPath;
    bool drawnAreaKnown = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MaskComponent)
};
