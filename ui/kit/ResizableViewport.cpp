#include "ui/kit/ResizableViewport.h"
#include "ui/kit/ResizableViewportChild.h"

ResizableViewport::~ResizableViewport()
{
    stopListening (getViewedComponent());
}

void ResizableViewport::stopListening (juce::Component* component)
{
    if (auto* child = dynamic_cast<ResizableViewportChild*> (component))
    {
        removeComponentListener (child);
        child->listenedTo = nullptr;
    }
}

void ResizableViewport::viewedComponentChanged (juce::Component* newComponent)
{
    stopListening (previous.getComponent());
    previous = newComponent;

    if (auto* child = dynamic_cast<ResizableViewportChild*> (newComponent))
    {
        addComponentListener (child);
        child->listenedTo = this;
    }
}
