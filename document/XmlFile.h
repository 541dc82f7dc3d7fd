#pragma once

#include <juce_core/juce_core.h>

/** The text form shared by the document and the settings files: no XML declaration,
    lines wrapped at 60 characters, CR LF line ends, and every write made through a
    temporary file in the same folder that then replaces the target. */
class XmlFile
{
public:
    static juce::String toText (const juce::XmlElement& xml);

    /** Writes the element in the shared text form; true when the target was replaced. */
    static bool write (const juce::XmlElement& xml, const juce::File& target);

    /** Writes raw bytes through a temporary file; true when the target was replaced. */
    static bool replaceWithData (const juce::File& target, const void* data, size_t size);

    /** Parses a file; null when it is missing, empty or not well-formed XML. */
    static std::unique_ptr<juce::XmlElement> read (const juce::File& file);

    /** Parses text that may come from elsewhere (the network); null when it is not XML. */
    static std::unique_ptr<juce::XmlElement> parse (const juce::String& text);

    XmlFile() = delete;
};
