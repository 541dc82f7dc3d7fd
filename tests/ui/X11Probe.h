#pragma once

#include <juce_core/juce_core.h>
#include <memory>

namespace test
{
/** The WM_NAME of a native window, read over a connection of our own. */
juce::String nativeWindowTitle (void* nativeHandle);

/** Listens on the root window the way a window manager does and counts the requests to
    iconify one window (Xvfb has no window manager of its own to act on them). */
class IconifyRequests
{
public:
    explicit IconifyRequests (void* nativeHandle);
    ~IconifyRequests();

    /** Requests seen so far (reads what has arrived). */
    int count();

private:
    struct Connection;
    std::unique_ptr<Connection> connection;
    int requests = 0;
};
}
