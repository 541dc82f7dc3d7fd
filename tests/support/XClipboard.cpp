#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>

#include "support/XClipboard.h"

#include "support/MessageLoop.h"

// The hidden window through which this process owns the clipboard.
namespace juce { extern ::Window juce_messageWindowHandle; }

namespace test
{
namespace
{
/** Events that another call (any round trip of the window code) has already read off the
    connection wait in Xlib's queue until the connection next turns readable, and on a display
    without a user nothing else may make it so: a clipboard request could wait there for good.
    An event this process sends to itself wakes the loop, which then empties the queue. */
void wakeTheXQueue()
{
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    if (display == nullptr)
        return;

    juce::XWindowSystemUtilities::ScopedXLock lock;
    auto* x = juce::X11Symbols::getInstance();
    if (x->xPending (display) == 0)
        return;

    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = juce::juce_messageWindowHandle;
    event.xclient.message_type = x->xInternAtom (display, "VANTREL_TEST_WAKE", False);
    event.xclient.format = 32;
    x->xSendEvent (display, juce::juce_messageWindowHandle, False, NoEventMask, &event);
    x->xFlush (display);
}

/** Taking the clipboard is a request that waits in this process's output buffer; another
    program asking before the server has seen it would find no owner. */
void letTheServerSeeOurRequests()
{
    if (auto* display = juce::XWindowSystem::getInstance()->getDisplay())
    {
        juce::XWindowSystemUtilities::ScopedXLock lock;
        juce::X11Symbols::getInstance()->xSync (display, False);
    }
}
}

std::optional<juce::String> readClipboardWithXclip()
{
    letTheServerSeeOurRequests();
    juce::ChildProcess xclip;
    if (! xclip.start (juce::StringArray { "xclip", "-o", "-selection", "clipboard" }, juce::ChildProcess::wantStdOut))
        return std::nullopt;
    // The owner (possibly this process) hands the text over on its message loop.
    juce::MemoryOutputStream output;
    const auto drain = [&]
    {
        char buffer[4096];
        for (;;)
        {
            const auto n = xclip.readProcessOutput (buffer, (int) sizeof (buffer));
            if (n <= 0)
                return;
            output.write (buffer, (size_t) n);
        }
    };
    auto lastWake = juce::Time::getMillisecondCounter();
    const auto finished = pumpUntil ([&]
    {
        if (! xclip.isRunning())
            return true;
        if (juce::Time::getMillisecondCounter() - lastWake >= 50)
        {
            lastWake = juce::Time::getMillisecondCounter();
            wakeTheXQueue();
        }
        return false;
    }, 20000);
    if (! finished)
    {
        xclip.kill();
        return std::nullopt;
    }
    drain();
    if (xclip.getExitCode() != 0)
        return std::nullopt;
    return output.toUTF8();
}
}
