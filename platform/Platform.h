#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The one place that asks the operating system for what the application takes from its
    desktop: where the user's files live and how top-level windows are framed. Nothing
    else in the code asks the platform directly. */
class Platform
{
public:
    /** The user's Documents folder (the XDG documents folder, else ~/Documents); not created. */
    static juce::File getDocumentsFolder();

    /** The application's settings folder: "Vantrel" in the Documents folder; not created. */
    static juce::File getSettingsFolder();

    /** The user's Downloads folder; not created. */
    static juce::File getDownloadsFolder();

    /** A network adapter: its name as the operator knows it and its first IPv4 address. */
    struct NetworkAdapter
    {
        juce::String friendlyName;
        juce::String firstIPv4Address;
    };

    /** The adapters that have an IPv4 address, in the system's order. On Linux the
        interface name (eth0, wlan0) serves as the friendly name. */
    static std::vector<NetworkAdapter> getIPv4Adapters();

    /** Asks the window manager for rounded corners and the system border colour. The X11
        window managers we run under have no such attributes, so this does nothing here. */
    static void setWindowFrameAttributes (juce::ComponentPeer* peer);

    /** Starts a program file with no arguments and no shell, in a session of its own so that
        it outlives this process. It inherits no descriptor but standard input, output and
        error (no sockets, no files). True when the program was started. */
    static bool startProgram (const juce::File& program);

    /** Makes a termination request (SIGTERM, as sent by a session or service manager) end
        the message loop the way ctrl+C does, so shutdown runs and pending edits are written. */
    static void quitCleanlyOnTerminate();

    /** Raises the process's soft limit of open descriptors to its hard limit, so that browser
        connections, files and audio do not run out at the default of 1024. Returns the
        soft limit now in force. */
    static int raiseDescriptorLimit();

    /** Keeps the audio server client library from printing its connection errors on the
        terminal: with no JACK server running, every scan for audio devices would print them
        though nothing is wrong. Does nothing when the library is not installed. */
    static void quietAudioServerMessages();

    /** Why no window could be opened here: one line naming the display variable that is unset,
        or the display that cannot be reached; empty when the desktop is usable. Asked before
        the framework's GUI starts, which would crash without a display. */
    static juce::String findDisplayProblem();

    Platform() = delete;
};
