#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A viewport that keeps a ResizableViewportChild sized to it: the child hears of every move
    and resize of the viewport. */
class ResizableViewport : public juce::Viewport
{
public:
    ResizableViewport() = default;
    ~ResizableViewport() override;

    void viewedComponentChanged (juce::Component* newComponent) override;

private:
    juce::Component::SafePointer<juce::Component> previous;

    void stopListening (juce::Component* component);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ResizableViewport)
};
