#include "pages/DefaultFpsComponent.h"

DefaultFpsComponent::DefaultFpsComponent (std::shared_ptr<DefaultsManager> defaultsManager)
    : defaults (std::move (defaultsManager))
{
    addAndMakeVisible (box);
    defaults->addListener (this);
    box.setFps (defaults->getDefaultFps());
    // The manager opens the undo step itself and tells this component (among others) back.
    box.onChange = [this] { defaults->setDefaultFps (box.getFps()); };
}

DefaultFpsComponent::~DefaultFpsComponent()
{
    defaults->removeListener (this);
}

void DefaultFpsComponent::defaultFpsChanged()
{
    box.setFps (defaults->getDefaultFps());
}

void DefaultFpsComponent::resized()
{
    box.setBounds (0, 0, juce::jmin (getWidth(), 80), getHeight());
}
