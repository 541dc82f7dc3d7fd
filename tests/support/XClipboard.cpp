#include "support/XClipboard.h"

#include "support/MessageLoop.h"

namespace test
{
std::optional<juce::String> readClipboardWithXclip()
{
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
    if (! pumpUntil ([&] { return ! xclip.isRunning(); }, 20000))
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
