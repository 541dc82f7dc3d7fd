#include "app/Platform.h"

#include <csignal>
#include <unistd.h>

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

namespace
{
void forwardTerminateAsInterrupt (int)
{
    // The framework ends its message loop on SIGINT; kill() is safe inside a signal handler.
    kill (getpid(), SIGINT);
}
}

void Platform::quitCleanlyOnTerminate()
{
    struct sigaction action {};
    action.sa_handler = forwardTerminateAsInterrupt;
    sigemptyset (&action.sa_mask);
    sigaction (SIGTERM, &action, nullptr);
}
