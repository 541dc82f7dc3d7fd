#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

/** A hue and saturation disc: the hue runs round the disc with red at the top, the saturation
    grows from the centre to the rim. A small ring marks the chosen colour. */
class ColorWheel : public juce::Component
{
public:
    ColorWheel() = default;

    /** Receives the colour under the marker after the user clicked or dragged. */
    std::function<void (juce::Colour)> onColourChanged;

    /** The fully bright, opaque colour for a point of the component. */
    juce::Colour colourAt (juce::Point<int> p) const;
    /** Where the marker goes for a colour's hue and saturation. */
    juce::Point<int> positionFor (juce::Colour colour) const;

    juce::Colour getColour() const { return colourAt (marker); }
    using juce::Component::setColour;
    void setColour (juce::Colour colour);
    juce::Point<int> getMarker() const { return marker; }

    /** The disc as last drawn: made again only when the size changes. */
    const juce::Image& getDiscImage() const { return disc; }

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;

private:
    juce::Image disc;
    juce::Point<int> marker;

    void moveMarkerTo (juce::Point<int> p);
    void updateDisc();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ColorWheel)
};
