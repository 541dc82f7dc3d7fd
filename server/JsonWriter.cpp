#include "server/JsonWriter.h"

#include <cmath>

juce::String JsonWriter::toString (const juce::var& value)
{
    juce::MemoryOutputStream out;
    write (out, value);
    return out.toUTF8();
}

void JsonWriter::write (juce::MemoryOutputStream& out, const juce::var& value)
{
    if (value.isString())
    {
        writeString (out, value.toString());
    }
    else if (value.isBool())
    {
        out << (static_cast<bool> (value) ? "true" : "false");
    }
    else if (value.isInt() || value.isInt64())
    {
        out << juce::String (static_cast<juce::int64> (value));
    }
    else if (value.isDouble())
    {
        const auto d = static_cast<double> (value);
        // The framework's own text of a double var is the form browsers have always read.
        out << (std::isfinite (d) ? value.toString() : juce::String ("null"));
    }
    else if (auto* array = value.getArray())
    {
        out << '[';
        for (int i = 0; i < array->size(); ++i)
        {
            if (i > 0)
                out << ',';
            write (out, array->getReference (i));
        }
        out << ']';
    }
    else if (auto* object = value.getDynamicObject())
    {
        out << '{';
        bool first = true;
        for (const auto& property : object->getProperties())
        {
            if (! first)
                out << ',';
            first = false;
            writeString (out, property.name.toString());
            out << ':';
            write (out, property.value);
        }
        out << '}';
    }
    else
    {
        out << "null";
    }
}

void JsonWriter::writeString (juce::MemoryOutputStream& out, const juce::String& text)
{
    out << '"';
    for (auto p = text.getCharPointer(); ! p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        switch (c)
        {
            case '"': out << "\\\""; break;
            case '\\': out << "\\\\"; break;
            case '\b': out << "\\b"; break;
            case '\t': out << "\\t"; break;
            case '\n': out << "\\n"; break;
            case '\f': out << "\\f"; break;
            case '\r': out << "\\r"; break;
            default:
                if (c < 32)
                {
                    out << "\\u" << juce::String::toHexString ((int) c).paddedLeft ('0', 4);
                }
                else
                {
                    char utf8[8] {};
                    juce::CharPointer_UTF8 dest (utf8);
                    const auto bytes = juce::CharPointer_UTF8::getBytesRequiredFor (c);
                    dest.write (c);
                    out.write (utf8, bytes);
                }
        }
    }
    out << '"';
}
