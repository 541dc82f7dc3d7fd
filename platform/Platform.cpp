#include "platform/Platform.h"

#include <arpa/inet.h>
#include <csignal>
#include <ifaddrs.h>
#include <netinet/in.h>
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

std::vector<Platform::NetworkAdapter> Platform::getIPv4Adapters()
{
    std::vector<NetworkAdapter> adapters;
    ifaddrs* list = nullptr;
    if (getifaddrs (&list) != 0)
        return adapters;

    for (auto* entry = list; entry != nullptr; entry = entry->ifa_next)
    {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET || entry->ifa_name == nullptr)
            continue;

        const juce::String name (juce::CharPointer_UTF8 (entry->ifa_name));
        // Only an adapter's first address counts, like the first unicast address elsewhere.
        const bool known = std::any_of (adapters.begin(), adapters.end(),
                                        [&] (const NetworkAdapter& a) { return a.friendlyName == name; });
        if (known)
            continue;

        char text[INET_ADDRSTRLEN] {};
        const auto* address = reinterpret_cast<const sockaddr_in*> (entry->ifa_addr);
        if (inet_ntop (AF_INET, &address->sin_addr, text, sizeof (text)) != nullptr)
            adapters.push_back ({ name, juce::String (text) });
    }

    freeifaddrs (list);
    return adapters;
}
