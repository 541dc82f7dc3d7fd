#include "app/Platform.h"

juce::File Platform::getDocumentsFolder()
{
    return juce::File::getSpecialLocation (juce::File::userDocumentsDirectory);
}

juce::File Platform::getSettingsFolder()
{
    const auto documents = getDocumentsFolder();
    if (documents.getFullPathName().isEmpty())
        return juce::File::getCurrentWorkingDirectory().getChildFile ("Vantrel");
    return documents.getChildFile ("Vantrel");
}

juce::File Platform::getDownloadsFolder()
{
    return juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("Downloads");
}

void Platform::setWindowFrameAttributes (juce::ComponentPeer*)
{
}
