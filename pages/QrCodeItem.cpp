#include "pages/QrCodeItem.h"

QrCodeItem::QrCodeItem (const juce::Image& image)
    : juce::PopupMenu::CustomComponent (false)
{
    imageComponent.setImage (image, juce::RectanglePlacement::centred);
    addAndMakeVisible (imageComponent);
}

void QrCodeItem::getIdealSize (int& idealWidth, int& idealHeight)
{
    idealWidth = side;
    idealHeight = side;
}

void QrCodeItem::resized()
{
    imageComponent.setBounds (getLocalBounds());
}
