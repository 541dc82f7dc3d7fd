#include "ui/PlaceholderView.h"

PlaceholderView::PlaceholderView()
{
    const auto area = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    setSize (640, area != nullptr ? area->userArea.getHeight() : 1000);
}

void PlaceholderView::paint (juce::Graphics& g)
{
    g.fillAll (findColour (juce::ResizableWindow::backgroundColourId));
}
