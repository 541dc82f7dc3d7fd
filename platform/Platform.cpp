#include "platform/Platform.h"

#include <arpa/inet.h>
#include <csignal>
#include <dlfcn.h>
#include <ifaddrs.h>
#include <limits>
#include <netinet/in.h>
#include <sys/resource.h>
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

int Platform::raiseDescriptorLimit()
{
    rlimit limit {};
    if (getrlimit (RLIMIT_NOFILE, &limit) != 0)
        return 1024;
    // An unlimited hard limit cannot be the soft one; the kernel's usual ceiling can.
    const rlim_t wanted = limit.rlim_max == RLIM_INFINITY ? rlim_t (1048576) : limit.rlim_max;
    if (limit.rlim_cur < wanted)
    {
        rlimit raised { wanted, limit.rlim_max };
        if (setrlimit (RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    return limit.rlim_cur > rlim_t (std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                       : static_cast<int> (limit.rlim_cur);
}

namespace
{
void dropAudioServerMessage (const char*) {}
}

void Platform::quietAudioServerMessages()
{
    // The framework loads the library at run time and installs its own quiet handler only
    // once a client is open; until then the library's default handler prints to stderr.
    // The handlers are the library's process-wide settings, so setting them here is enough.
    // The handle stays open for the life of the process, as the framework's own does.
    auto* library = dlopen ("libjack.so.0", RTLD_LAZY);
    if (library == nullptr)
        return;
    using SetHandler = void (*) (void (*) (const char*));
    for (const char* name : { "jack_set_error_function", "jack_set_info_function" })
        if (auto* symbol = dlsym (library, name))
            reinterpret_cast<SetHandler> (symbol) (dropAudioServerMessage);
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
