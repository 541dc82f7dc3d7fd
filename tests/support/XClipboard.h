#pragma once

#include <juce_core/juce_core.h>

namespace test
{
/** The X clipboard's text as another program reads it (xclip), while this process's message
    loop runs so that it can answer as the clipboard's owner. Nothing when xclip fails. */
std::optional<juce::String> readClipboardWithXclip();
}
