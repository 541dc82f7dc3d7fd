#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

/** An icon button: one single-colour icon from embedded SVG data, scaled to fit. It can show a
    second icon while toggled on, fade in on hover and hand mouse drags to its owner. */
class SvgButton : public juce::Button, public juce::ChangeListener
{
public:
    enum ColourIds
    {
        iconColourId = 0x3000010,   ///< the icon's normal colour
        iconOnColourId = 0x3000011  ///< while toggled on, or while a plain button is pressed
    };

    SvgButton (const void* svgData, size_t numBytes);

    /** The drag handle: its toggled state shows a second icon. */
    SvgButton();

    ~SvgButton() override;

    /** Mouse drags over the button go here (and not to the button's own click handling). */
    std::function<void (const juce::MouseEvent&)> onMouseDrag;

    /** Receives the button's alpha while the hover fade animates it. */
    std::function<void (float)> onAlphaChanged;

    /** From the first call on, the button rests at alpha 0.2 and fades in while the mouse is
        over it. Later calls change nothing. */
    void enableHoverFade();

    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void resized() override {}

    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

protected:
    void paintButton (juce::Graphics& g, bool highlighted, bool down) override;

private:
    juce::Path iconPath;
    juce::Path toggledIconPath;
    bool hoverFade = false;

    void fadeTo (float alpha, int milliseconds);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SvgButton)
};
