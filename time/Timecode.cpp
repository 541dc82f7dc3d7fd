#include "time/Timecode.h"

#include "time/WholeMillis.h"
#include <cmath>
#include <limits>
#include <ltc.h>

Timecode Timecode::fromMillis (double ms, int fps)
{
    // Any double gives some timecode: a document may hold "nan" or "1e308" as a time.
    if (! std::isfinite (ms))
        ms = 0.0;
    const auto secs = toWholeMillis (ms / 1000.0);

    Timecode tc;
    tc.hours = (secs / 3600) % 24;
    tc.minutes = (secs % 3600) / 60;
    tc.seconds = secs % 60;

    // The sub-second part is taken in single precision on purpose: stored documents and
    // browsers have always seen the frame that this rounding gives.
    constexpr double floatMax = std::numeric_limits<float>::max();
    const auto asFloat = static_cast<float> (juce::jlimit (-floatMax, floatMax, ms));
    const auto remainder = static_cast<double> (std::fmod (asFloat, 1000.0f));
    tc.frames = toWholeMillis (std::round (remainder * fps / 1000.0));
    return tc;
}

double Timecode::toMillis (int fps) const
{
    // In 64 bits: fields read from text may be as large as 32 bits hold.
    const auto wholeSeconds = ((int64_t { hours } * 60 + minutes) * 60 + seconds);
    return static_cast<double> (wholeSeconds) * 1000.0 + juce::jmin (frames, fps - 1) * 1000.0 / fps;
}

namespace
{
juce::String twoDigits (int32_t value)
{
    return juce::String (value).paddedLeft ('0', 2);
}
}

juce::String Timecode::toString (int minFields) const
{
    juce::String text;
    const bool writeHours = minFields > 3 || hours > 0;
    const bool writeMinutes = minFields > 2 || hours > 0 || minutes > 0;
    const bool writeSeconds = minFields > 1 || hours > 0 || minutes > 0 || seconds > 0;

    if (writeHours)
        text << twoDigits (hours) << ":";
    if (writeMinutes)
        text << twoDigits (minutes) << ":";
    if (writeSeconds)
        text << twoDigits (seconds) << ":";

    // At 1000 fps the frame field shows the first two digits of the milliseconds.
    text << juce::String (frames).substring (0, 2).paddedLeft ('0', 2);
    return text;
}

namespace
{
/** Leading integer: white space skipped, optional sign, digits up to the first other character. */
int32_t leadingInt (const juce::String& token)
{
    auto p = token.getCharPointer();
    while (p.isWhitespace())
        ++p;

    bool negative = false;
    if (*p == '-' || *p == '+')
    {
        negative = *p == '-';
        ++p;
    }

    int64_t value = 0;
    while (p.isDigit())
    {
        value = value * 10 + (*p - '0');
        if (value > std::numeric_limits<int32_t>::max())
            value = std::numeric_limits<int32_t>::max();
        ++p;
    }
    return static_cast<int32_t> (negative ? -value : value);
}

/** The integer at the very end of a text; negative when a '-' stands right before its digits. */
int32_t trailingInt (const juce::String& text)
{
    int end = text.length();
    int start = end;
    while (start > 0 && juce::CharacterFunctions::isDigit (text[start - 1]))
        --start;
    if (start == end)
        return 0;

    const auto value = leadingInt (text.substring (start, end));
    return (start > 0 && text[start - 1] == '-') ? -value : value;
}
}

Timecode Timecode::fromString (const juce::String& text)
{
    Timecode tc;
    auto rest = text;

    if (rest.containsChar ('.'))
    {
        tc.frames = trailingInt (rest);
        rest = rest.upToFirstOccurrenceOf (".", false, false);
    }

    juce::StringArray tokens;
    tokens.addTokens (rest, ":", "");

    if (tokens.size() >= 3)
    {
        tc.hours = leadingInt (tokens[0]);
        tc.minutes = leadingInt (tokens[1]);
        tc.seconds = leadingInt (tokens[2]);
    }
    if (tokens.size() == 4)
        tc.frames = leadingInt (tokens[3]);

    return tc;
}

Timecode Timecode::fromSmpte (const SMPTETimecode& smpte)
{
    return Timecode (smpte.hours, smpte.mins, smpte.secs, smpte.frame);
}
