#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class ResizableViewport;

/** Base of scrolled page contents: as wide as the viewport's visible area and as tall as its
    content or the viewport, whichever is taller. A ResizableViewport tells it when it moves or
    is resized. */
class ResizableViewportChild : public juce::Component, public juce::ComponentListener
{
public:
    ResizableViewportChild() = default;
    ~ResizableViewportChild() override;

    /** Stores the height the content needs; applied at once when the viewport is known. */
    void setContentHeight (int height);
    int getContentHeight() const { return contentHeight; }

    void updateSize();

    void componentMovedOrResized (juce::Component& component, bool wasMoved, bool wasResized) override;

private:
    friend class ResizableViewport;

    juce::Component::SafePointer<juce::Viewport> viewport;
    // The viewport this child listens to, so a child deleted before its viewport leaves it.
    juce::Component::SafePointer<juce::Component> listenedTo;
    int contentHeight = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ResizableViewportChild)
};
