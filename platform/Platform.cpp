#include "platform/Platform.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <ifaddrs.h>
#include <limits>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/resource.h>
#include <unistd.h>

extern char** environ;

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

juce::String Platform::findDisplayProblem()
{
    const auto* display = std::getenv ("DISPLAY");
    if (display == nullptr || *display == 0)
        return "Vantrel needs a graphical display, but the DISPLAY environment variable is not set.";

    // The framework loads the X library at run time too; it is not linked in.
    auto* xlib = dlopen ("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
    if (xlib == nullptr)
        return {};
    using OpenDisplay = void* (*) (const char*);
    using CloseDisplay = int (*) (void*);
    auto open = reinterpret_cast<OpenDisplay> (dlsym (xlib, "XOpenDisplay"));
    auto close = reinterpret_cast<CloseDisplay> (dlsym (xlib, "XCloseDisplay"));

    juce::String problem;
    if (open != nullptr && close != nullptr)
    {
        // A busy X server now and then drops a connection as it is being set up (the framework
        // retries its own open for the same reason): only a display that refuses every try
        // over a second is unusable.
        void* connection = nullptr;
        for (int attempt = 0; attempt < 20 && connection == nullptr; ++attempt)
        {
            if (attempt > 0)
                juce::Thread::sleep (50);
            connection = open (nullptr);
        }
        if (connection != nullptr)
            close (connection);
        else
            problem = "Vantrel needs a graphical display, but the display \"" + juce::String (display)
                      + "\" named by the DISPLAY environment variable cannot be opened.";
    }
    dlclose (xlib);
    return problem;
}

void Platform::setWindowFrameAttributes (juce::ComponentPeer*)
{
}

bool Platform::startProgram (const juce::File& program)
{
    const auto path = program.getFullPathName().toStdString();
    std::vector<char> arg0 (path.begin(), path.end());
    arg0.push_back ('\0');
    char* argv[] = { arg0.data(), nullptr };

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init (&actions) != 0)
        return false;
    if (posix_spawnattr_init (&attributes) != 0)
    {
        posix_spawn_file_actions_destroy (&actions);
        return false;
    }

    // Everything above the standard streams stays behind: the web-client servers' sockets
    // must not live on in the installer.
    bool ready = posix_spawn_file_actions_addclosefrom_np (&actions, 3) == 0;
    ready = ready && posix_spawnattr_setflags (&attributes, POSIX_SPAWN_SETSID) == 0;

    pid_t pid = 0;
    // posix_spawn (not the "p" form) runs the file itself and reports a failed exec.
    const bool started = ready && posix_spawn (&pid, path.c_str(), &actions, &attributes, argv, environ) == 0;

    posix_spawnattr_destroy (&attributes);
    posix_spawn_file_actions_destroy (&actions);
    return started;
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
