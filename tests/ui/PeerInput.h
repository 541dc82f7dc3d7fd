#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace test
{
/** Mouse input delivered through a window's peer, as the windowing system would deliver it:
    enter/exit, hover state and click detection all work as for real input. The display's
    pointer stays where it is, so tests running side by side on one display do not disturb
    each other. */
class PeerMouse
{
public:
    explicit PeerMouse (juce::Component& topLevel) : window (topLevel) {}

    void moveTo (juce::Component& target, juce::Point<int> local) { send (target, local, {}); }
    void press (juce::Component& target, juce::Point<int> local) { send (target, local, left()); }
    void dragTo (juce::Component& target, juce::Point<int> local) { send (target, local, left()); }
    void release (juce::Component& target, juce::Point<int> local) { send (target, local, {}); }

    void click (juce::Component& target, juce::Point<int> local)
    {
        moveTo (target, local);
        press (target, local);
        release (target, local);
    }

private:
    juce::Component& window;

    static juce::ModifierKeys left() { return juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier); }

    void send (juce::Component& target, juce::Point<int> local, juce::ModifierKeys mods)
    {
        auto* peer = window.getPeer();
        jassert (peer != nullptr);
        const auto inWindow = window.getLocalPoint (&target, local).toFloat();
        juce::ModifierKeys::currentModifiers = mods;
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, inWindow, mods,
                                juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                juce::Time::currentTimeMillis());
    }
};
}
