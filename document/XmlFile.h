#pragma once

#include <juce_core/juce_core.h>

/** The text form shared by the document and the settings files: no XML declaration,
    lines wrapped at 60 characters, CR LF line ends, and every write made through a
    temporary file in the same folder that then replaces the target.

    Every XML text the application reads goes through parse (or read, which uses it). */
class XmlFile
{
public:
    /** The deepest element nesting that parse accepts. Our own files are a handful of
        levels deep; the framework's reader recurses once per level, so a text nested tens
        of thousands deep would overflow the stack. */
    static constexpr int maxDepth = 256;

    static juce::String toText (const juce::XmlElement& xml);

    /** Writes the element in the shared text form; true when the target was replaced. */
    static bool write (const juce::XmlElement& xml, const juce::File& target);

    /** Like write, but says why a write failed: the failed Result's message is a short
        reason for the operator, such as "disk full" or "permission denied". */
    static juce::Result writeChecked (const juce::XmlElement& xml, const juce::File& target);

    /** Writes raw bytes through a temporary file; true when the target was replaced. */
    static bool replaceWithData (const juce::File& target, const void* data, size_t size);

    /** Like replaceWithData, with the reason of a failure (see writeChecked). */
    static juce::Result replaceWithDataChecked (const juce::File& target, const void* data, size_t size);

    /** Like replaceWithDataChecked, with the content written by a function into the stream
        of the temporary file, so that a large text is never held in memory whole. */
    static juce::Result replaceWithStream (const juce::File& target,
                                           const std::function<void (juce::OutputStream&)>& writeContent);

    /** Parses XML text from any source, a file or the network.
        - Returns the document element, or null when the text is empty, not well-formed,
          nested deeper than maxDepth, declares entities in a DOCTYPE, or holds an '&' that
          does not start a reference made of a name or a number and ';'. An undeclared
          name such as &nbsp; is kept as its name.
        - The nesting is measured by a linear scan made before the framework parses
          anything, so no input makes the parser recurse deeper than maxDepth and no input
          crashes it. The scan follows the framework's reader: comments, CDATA sections,
          processing instructions, a DOCTYPE and attribute values holding '<' or '>' are
          read as such and do not count as elements.
        - Nothing outside the text is read: no external DTD or entity is fetched.
        - Touches no shared state: safe on any thread. */
    static std::unique_ptr<juce::XmlElement> parse (const juce::String& text);

    /** Reads and parses a file under the contract of parse; null also when the file is
        missing or empty. */
    static std::unique_ptr<juce::XmlElement> read (const juce::File& file);

    /** The scan of parse on its own: true when the framework may parse the text. */
    static bool isSafeToParse (const juce::String& text);

    /** A short reason for the operator from a failed file operation's message ("disk
        full", "permission denied", "too many open files", ...). */
    static juce::String describeFailure (const juce::String& systemMessage);

    XmlFile() = delete;
};
