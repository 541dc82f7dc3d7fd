#pragma once

#include <juce_core/juce_core.h>
#include <string>

/** The bytes of an HTTP answer. A handler writes the whole answer (status line, header
    fields, blank line, body); the server sends the bytes as written once the handler returns.
    Nothing written means no answer. A large body can come from a file instead: it follows
    the written bytes and is read in small pieces while it goes out. */
class HttpResponse
{
public:
    void write (const void* data, size_t numBytes) { bytes.append (static_cast<const char*> (data), numBytes); }
    void write (const juce::String& text) { bytes += text.toStdString(); }

    /** Sends numBytes of the file from offset after the written bytes. If the file cannot
        give them all when their turn comes, the connection is closed. */
    void writeFile (const juce::File& file, juce::int64 offset, juce::int64 numBytes)
    {
        bodyFile = file;
        bodyOffset = offset;
        bodyLength = numBytes;
    }

    const std::string& getBytes() const noexcept { return bytes; }
    bool isEmpty() const noexcept { return bytes.empty() && bodyLength == 0; }

    const juce::File& getBodyFile() const noexcept { return bodyFile; }
    juce::int64 getBodyOffset() const noexcept { return bodyOffset; }
    juce::int64 getBodyLength() const noexcept { return bodyLength; }

private:
    std::string bytes;
    juce::File bodyFile;
    juce::int64 bodyOffset = 0, bodyLength = 0;
};
