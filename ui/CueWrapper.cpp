#include "ui/CueWrapper.h"

void CueWrapper::setCue (std::shared_ptr<Cue> cue, int fps)
{
    if (cueComponent != nullptr)
    {
        cueComponent->setFps (fps);
        cueComponent->setCue (std::move (cue));
    }
    cueChanged();
}

void CueWrapper::setCueComponent (std::unique_ptr<CueComponent> component)
{
    cueComponent = std::move (component);
    if (cueComponent != nullptr)
        addAndMakeVisible (*cueComponent);
    resized();
}

void CueWrapper::resized()
{
    if (cueComponent != nullptr)
        cueComponent->setBounds (getLocalBounds());
}
