#include "update/UpdateComponent.h"

UpdateComponent::UpdateComponent()
{
    addAndMakeVisible (versionLabel);
    addAndMakeVisible (checkButton);
    checkButton.onClick = [this] { updateChecker.checkForUpdates (false); };
    checkButton.setButtonText ("Check for Updates");
}

void UpdateComponent::resized()
{
    versionLabel.setText ("You're running v" + VersionChecker::getRunningVersion(), juce::dontSendNotification);
    const auto w = juce::jmin (getWidth(), 200);
    const auto h = juce::jmin (getHeight(), 27);
    versionLabel.setBounds (0, 0, w, h);
    checkButton.setBounds (w, 0, 150, h);
}
