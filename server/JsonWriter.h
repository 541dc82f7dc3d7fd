#pragma once

#include <juce_core/juce_core.h>

/** Writes a var as compact JSON for browsers: no blanks between tokens, object members in
    insertion order, doubles in the framework's shortest text form (1500.0, 3.6e6, non-finite
    as null), strings as UTF-8 with only the quote, the backslash and control characters
    escaped (\b \t \n \f \r, others below 32 as \u00XX). */
class JsonWriter
{
public:
    static juce::String toString (const juce::var& value);

    JsonWriter() = delete;

private:
    static void write (juce::MemoryOutputStream& out, const juce::var& value);
    static void writeString (juce::MemoryOutputStream& out, const juce::String& text);
};
