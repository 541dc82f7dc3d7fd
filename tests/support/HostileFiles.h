#pragma once

#include <juce_core/juce_core.h>
#include <vector>

namespace test
{
/** A damaged or hostile settings or document file, as a received show file or a broken disk
    may bring one. */
struct HostileFile
{
    juce::String name;
    juce::MemoryBlock bytes;
    /** Well-formed and shallow: the reader takes it like any file of its kind. */
    bool readable = false;
};

/** The table every kind of file we read is tried with: nested 100,000 deep, truncated,
    binary, empty, and a huge attribute on a valid file. The valid sample gives the kind's
    root element; the truncated and huge cases are made from it. */
std::vector<HostileFile> hostileFiles (const juce::String& validSample);

/** Replaces a file's content with exactly these bytes (also none). */
void writeBytes (const juce::File& file, const juce::MemoryBlock& bytes);

/** A file's bytes, empty when it is missing. */
juce::MemoryBlock bytesOf (const juce::File& file);
}
