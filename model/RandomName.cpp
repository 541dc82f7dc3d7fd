#include "model/RandomName.h"

namespace
{
juce::StringArray splitWords (const char* text)
{
    juce::StringArray words;
    words.addTokens (juce::String (text), " \t\r\n", "");
    words.removeEmptyStrings();
    return words;
}

juce::String capitalised (const juce::String& word)
{
    return word.substring (0, 1).toUpperCase() + word.substring (1);
}
}

const juce::StringArray& RandomName::getAdjectives()
{
    static const juce::StringArray words = splitWords (adjectiveText);
    return words;
}

const juce::StringArray& RandomName::getNouns()
{
    static const juce::StringArray words = splitWords (nounText);
    return words;
}

juce::String RandomName::make (int count)
{
    if (count <= 0)
        return {};

    juce::Random random; // seeded from the clock and the process state
    juce::StringArray words;
    for (int i = 1; i <= count; ++i)
    {
        const auto& list = (i == count) ? getNouns() : getAdjectives();
        words.add (capitalised (list[random.nextInt (list.size())]));
    }
    return words.joinIntoString (" ");
}

juce::String makeRandomName (int count)
{
    return RandomName::make (count);
}
