#include "X11Probe.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace test
{
juce::String nativeWindowTitle (void* nativeHandle)
{
    juce::String title;
    if (auto* display = XOpenDisplay (nullptr))
    {
        XTextProperty property {};
        if (XGetWMName (display, (Window) (juce::pointer_sized_uint) nativeHandle, &property) != 0
            && property.value != nullptr)
        {
            title = juce::String::fromUTF8 ((const char*) property.value, (int) property.nitems);
            XFree (property.value);
        }
        XCloseDisplay (display);
    }
    return title;
}

struct IconifyRequests::Connection
{
    Display* display = nullptr;
    Window window = 0;
    Atom changeState = 0;
};

IconifyRequests::IconifyRequests (void* nativeHandle)
    : connection (std::make_unique<Connection>())
{
    connection->window = (Window) (juce::pointer_sized_uint) nativeHandle;
    connection->display = XOpenDisplay (nullptr);
    if (connection->display == nullptr)
        return;
    connection->changeState = XInternAtom (connection->display, "WM_CHANGE_STATE", False);
    XSelectInput (connection->display, DefaultRootWindow (connection->display), SubstructureNotifyMask);
    XSync (connection->display, False);
}

IconifyRequests::~IconifyRequests()
{
    if (connection->display != nullptr)
        XCloseDisplay (connection->display);
}

int IconifyRequests::count()
{
    auto& c = *connection;
    while (c.display != nullptr && XPending (c.display) > 0)
    {
        XEvent e;
        XNextEvent (c.display, &e);
        // The framework looks the message type up only if the server knows it already, which
        // a bare server without a window manager does not: it then sends None.
        const auto type = e.xclient.message_type;
        if (e.type == ClientMessage && (type == c.changeState || type == None) && e.xclient.window == c.window
            && e.xclient.format == 32 && e.xclient.data.l[0] == IconicState)
            ++requests;
    }
    return requests;
}
}
