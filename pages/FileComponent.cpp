#include "pages/FileComponent.h"

#include "BinaryData.h"

FileComponent::FileComponent (VantrelController& c)
    : controller (c), saveIndicator (BinaryData::savesolid_svg, (size_t) BinaryData::savesolid_svgSize)
{
    controller.addListener (this);

    addAndMakeVisible (nameLabel);
    // A single click edits; leaving the field keeps what was typed.
    nameLabel.setEditable (true, false, false);
    nameLabel.setFont (juce::Font (23.0f, juce::Font::plain));
    nameLabel.setText (controller.getDocumentName(), juce::dontSendNotification);
    // The controller refuses unusable or taken names and then tells every listener, this bar
    // included, which name is current.
    nameLabel.onTextChange = [this] { controller.saveDocumentAs (nameLabel.getText()); };

    // Only a mark: clicking it does nothing.
    saveIndicator.setInterceptsMouseClicks (false, false);
    addChildComponent (saveIndicator);

    newButton.setName ("New");
    newButton.onClick = [this] { controller.newDocument(); };
    addAndMakeVisible (newButton);

    loadButton.setName ("Load");
    loadButton.onClick = [this] { controller.openDocument(); };
    addAndMakeVisible (loadButton);
}

FileComponent::~FileComponent()
{
    controller.removeListener (this);
}

void FileComponent::documentChanged()
{
    nameLabel.setText (controller.getDocumentName(), juce::dontSendNotification);
}

void FileComponent::documentSaveStateChanged (bool saved)
{
    saveIndicator.setVisible (! saved);
}

void FileComponent::resized()
{
    auto area = getLocalBounds().reduced (12);
    loadButton.setBounds (area.removeFromRight (63));
    area.removeFromRight (5);
    newButton.setBounds (area.removeFromRight (63));
    area.removeFromRight (10);
    saveIndicator.setBounds (area.removeFromRight (15));
    area.removeFromRight (10);
    nameLabel.setBounds (area);
}

void FileComponent::paint (juce::Graphics& g)
{
    g.setColour (findColour (juce::ResizableWindow::backgroundColourId, false));
    g.fillRoundedRectangle (getLocalBounds().toFloat(), 10.0f);
}
