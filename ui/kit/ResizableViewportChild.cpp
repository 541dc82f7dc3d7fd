#include "ui/kit/ResizableViewportChild.h"

ResizableViewportChild::~ResizableViewportChild()
{
    if (listenedTo != nullptr)
        listenedTo->removeComponentListener (this);
}

void ResizableViewportChild::setContentHeight (int height)
{
    contentHeight = height;
    if (viewport != nullptr)
        updateSize();
}

void ResizableViewportChild::updateSize()
{
    if (viewport == nullptr)
        return;

    // Twice: the first change can make the vertical scroll bar appear or vanish, which
    // changes the visible width.
    for (int i = 0; i < 2; ++i)
        setBounds (getX(), getY(), viewport->getMaximumVisibleWidth(),
                   juce::jmax (viewport->getHeight(), contentHeight));
}

void ResizableViewportChild::componentMovedOrResized (juce::Component& component, bool, bool wasResized)
{
    viewport = dynamic_cast<juce::Viewport*> (&component);
    if (wasResized)
        updateSize();
}
