#pragma once

#include <juce_core/juce_core.h>
#include <string>

/** Reads a CSV marker export line by line. A line ends at LF, CR LF or a lone CR; fields are
    split at commas outside double quotes, and every leading and trailing double quote of a
    field is removed. Bytes that are not valid UTF-8 are read as Latin-1, so no input is
    refused for its encoding. */
class CsvReader
{
public:
    explicit CsvReader (juce::InputStream& input);

    /** False once no unread bytes remain. An empty line gives no fields. */
    bool readLine (juce::StringArray& fields);

    /** True when the stream reported a read error. */
    bool failed() const { return readError; }

    static juce::StringArray splitFields (const juce::String& line);
    static juce::String decode (const std::string& bytes);

private:
    juce::InputStream& input;
    juce::HeapBlock<char> buffer;
    int used = 0, position = 0;
    bool readError = false;
    std::string line;

    bool refill();
};
