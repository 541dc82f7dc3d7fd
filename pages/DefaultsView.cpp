#include "pages/DefaultsView.h"

#include "BinaryData.h"
#include "pages/DefaultFpsComponent.h"

DefaultsView::DefaultsView (std::shared_ptr<DefaultsManager> defaultsManager)
{
    addAndMakeVisible (panel);
    panel.setName ("FPS");
    panel.setContent (new DefaultFpsComponent (std::move (defaultsManager)));
    panel.setIcon (BinaryData::FPS_svg, (size_t) BinaryData::FPS_svgSize);
}

void DefaultsView::resized()
{
    panel.setBounds (0, 0, 300, juce::jmin (getHeight(), 80));
}
