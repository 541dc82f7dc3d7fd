#include "pages/AudioFileComponent.h"

bool AudioFileComponent::isInterestedInFileDrag (const juce::StringArray& files)
{
    return files.size() == 1 && files[0].endsWith (".wav");
}

void AudioFileComponent::filesDropped (const juce::StringArray& files, int, int)
{
    if (files.isEmpty())
        return;
    const juce::File file (files[0]);
    setName (file.getFileName());
    repaint();
    if (onFileDropped)
        onFileDropped (file);
}

void AudioFileComponent::paint (juce::Graphics& g)
{
    g.setColour (juce::Colours::white);
    g.setFont (27.0f);
    g.drawText (getName(), getLocalBounds(), juce::Justification::centred, true);
}
