#pragma once

#include <juce_core/juce_core.h>
#include <string>

/** The bytes of an HTTP answer. A handler writes the whole answer (status line, header
    fields, blank line, body); the server sends the bytes as written once the handler returns.
    Nothing written means no answer. */
class HttpResponse
{
public:
    void write (const void* data, size_t numBytes) { bytes.append (static_cast<const char*> (data), numBytes); }
    void write (const juce::String& text) { bytes += text.toStdString(); }

    const std::string& getBytes() const noexcept { return bytes; }
    bool isEmpty() const noexcept { return bytes.empty(); }

private:
    std::string bytes;
};
