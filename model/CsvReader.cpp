#include "model/CsvReader.h"

namespace
{
constexpr int bufferSize = 1 << 16;
}

CsvReader::CsvReader (juce::InputStream& in) : input (in), buffer ((size_t) bufferSize) {}

bool CsvReader::refill()
{
    position = 0;
    used = input.read (buffer.get(), bufferSize);
    if (used < 0)
    {
        readError = true;
        used = 0;
    }
    return used > 0;
}

bool CsvReader::readLine (juce::StringArray& fields)
{
    fields.clearQuick();
    line.clear();
    if (position == used && ! refill())
        return false;

    for (;;)
    {
        if (position == used && ! refill())
            break; // the last line need not end with a line break

        const char c = buffer[position++];
        if (c == '\n')
            break;
        if (c == '\r')
        {
            if ((position < used || refill()) && buffer[position] == '\n')
                ++position;
            break;
        }
        if (c != 0) // a NUL byte would end the text early
            line.push_back (c);
    }

    fields = splitFields (decode (line));
    return true;
}

juce::String CsvReader::decode (const std::string& bytes)
{
    if (juce::CharPointer_UTF8::isValidString (bytes.data(), (int) bytes.size()))
        return juce::String::fromUTF8 (bytes.data(), (int) bytes.size());

    juce::String text;
    text.preallocateBytes (bytes.size() * 2);
    for (auto b : bytes)
        text += (juce::juce_wchar) (unsigned char) b;
    return text;
}

juce::StringArray CsvReader::splitFields (const juce::String& line)
{
    juce::StringArray fields;
    if (line.isEmpty())
        return fields;

    auto strip = [] (juce::String field)
    {
        int start = 0, end = field.length();
        while (start < end && field[start] == '"')
            ++start;
        while (end > start && field[end - 1] == '"')
            --end;
        return field.substring (start, end);
    };

    bool quoted = false;
    auto p = line.getCharPointer();
    auto fieldStart = p;
    for (;;)
    {
        const auto c = *p;
        if (c == 0 || (c == ',' && ! quoted))
        {
            fields.add (strip (juce::String (fieldStart, p)));
            if (c == 0)
                break;
            ++p;
            fieldStart = p;
            continue;
        }
        if (c == '"')
            quoted = ! quoted;
        ++p;
    }
    return fields;
}
