#include "document/TreeText.h"

#include <cstring>

namespace
{
constexpr int lineWrapLength = 60;
constexpr const char* newLine = "\r\n";

/** The characters written as themselves; every other one is written as a reference. */
bool isPlain (juce::juce_wchar c) noexcept
{
    if (c >= 128)
        return false;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    static constexpr const char* others = " .,;:-()_+=?!$#@[]/|*%~{}'\\";
    for (auto* p = others; *p != 0; ++p)
        if (c == *p)
            return true;
    return false;
}

/** A buffered writer that counts what it has written, so line lengths need no stream
    position queries. */
class Sink
{
public:
    explicit Sink (juce::OutputStream& target) : out (target) {}
    ~Sink() { flush(); }

    void byte (char c)
    {
        if (used == sizeof (buffer))
            flush();
        buffer[used++] = c;
        ++written;
    }

    void bytes (const char* data, size_t size)
    {
        for (size_t i = 0; i < size; ++i)
            byte (data[i]);
    }

    void text (const char* ascii) { bytes (ascii, std::strlen (ascii)); }
    void text (const juce::String& s) { bytes (s.toRawUTF8(), s.getNumBytesAsUTF8()); }
    void spaces (size_t count)
    {
        for (size_t i = 0; i < count; ++i)
            byte (' ');
    }

    void escaped (const juce::String& value)
    {
        for (auto p = value.getCharPointer(); ! p.isEmpty();)
        {
            const auto c = p.getAndAdvance();
            if (isPlain (c))
                byte ((char) c);
            else if (c == '&')
                text ("&amp;");
            else if (c == '"')
                text ("&quot;");
            else if (c == '>')
                text ("&gt;");
            else if (c == '<')
                text ("&lt;");
            else
            {
                // Line breaks, tabs and everything beyond ASCII inside an attribute.
                byte ('&');
                byte ('#');
                text (juce::String ((int) c));
                byte (';');
            }
        }
    }

    juce::int64 getWritten() const noexcept { return written; }

    void flush()
    {
        if (used > 0)
            out.write (buffer, used);
        used = 0;
    }

private:
    juce::OutputStream& out;
    char buffer[65536];
    size_t used = 0;
    juce::int64 written = 0;
};

void writeAttribute (Sink& sink, const juce::String& name, const juce::String& value)
{
    sink.byte (' ');
    sink.text (name);
    sink.text ("=\"");
    sink.escaped (value);
    sink.byte ('"');
}

void writeElement (Sink& sink, const juce::ValueTree& tree, size_t indent, const juce::Identifier& leftOut)
{
    sink.spaces (indent);
    sink.byte ('<');
    const auto tag = tree.getType().toString();
    sink.text (tag);

    // Wrapped attributes line up under the first one.
    const auto attributeIndent = indent + (size_t) tag.length() + 1;
    juce::int64 lineLength = 0;
    for (int i = 0; i < tree.getNumProperties(); ++i)
    {
        if (lineLength > lineWrapLength)
        {
            sink.text (newLine);
            sink.spaces (attributeIndent);
            lineLength = 0;
        }
        const auto start = sink.getWritten();
        const auto name = tree.getPropertyName (i);
        const auto& value = tree.getProperty (name);
        // Binary values are stored the way the framework's XML conversion stores them.
        if (auto* block = value.getBinaryData())
            writeAttribute (sink, "base64:" + name.toString(), block->toBase64Encoding());
        else
            writeAttribute (sink, name.toString(), value.toString());
        lineLength += sink.getWritten() - start;
    }

    bool skipped = leftOut.isNull();
    bool hasChildren = false;
    for (const auto& child : tree)
    {
        if (! skipped && child.getType() == leftOut)
        {
            skipped = true;
            continue;
        }
        if (! hasChildren)
            sink.byte ('>');
        hasChildren = true;
        sink.text (newLine);
        writeElement (sink, child, indent + 2, {});
    }

    if (hasChildren)
    {
        sink.text (newLine);
        sink.spaces (indent);
        sink.text ("</");
        sink.text (tag);
        sink.byte ('>');
    }
    else
    {
        sink.text ("/>");
    }
}
}

void TreeText::write (const juce::ValueTree& tree, juce::OutputStream& out, const juce::Identifier& leftOut)
{
    if (! tree.isValid())
        return;
    Sink sink (out);
    writeElement (sink, tree, 0, leftOut);
    sink.text (newLine);
}

juce::String TreeText::toText (const juce::ValueTree& tree, const juce::Identifier& leftOut)
{
    juce::MemoryOutputStream out;
    write (tree, out, leftOut);
    return out.toUTF8();
}
