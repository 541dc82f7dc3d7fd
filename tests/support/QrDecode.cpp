#include "support/QrDecode.h"

namespace test
{
std::optional<juce::String> decodeQr (const juce::Image& image)
{
    juce::TemporaryFile png (".png");
    {
        juce::FileOutputStream out (png.getFile());
        if (! out.openedOk() || ! juce::PNGImageFormat().writeImageToStream (image, out))
            return std::nullopt;
    }

    juce::ChildProcess reader;
    if (! reader.start (juce::StringArray { "zbarimg", "--quiet", "--raw", png.getFile().getFullPathName() },
                       juce::ChildProcess::wantStdOut))
        return std::nullopt;
    const auto output = reader.readAllProcessOutput();
    if (! reader.waitForProcessToFinish (30000) || reader.getExitCode() != 0)
        return std::nullopt;
    // One line per code found, each ended by a line feed.
    return output.endsWithChar ('\n') ? output.dropLastCharacters (1) : output;
}
}
