#pragma once

#include <juce_core/juce_core.h>

/** Random names made of capitalised words: adjectives, then one noun at the end.
    New categories get two words, new timetable cues three. */
class RandomName
{
public:
    /** count words joined by blanks; the last is a noun, the others adjectives.
        A count of 0 or less gives the empty text. */
    static juce::String make (int count);

    static const juce::StringArray& getAdjectives();
    static const juce::StringArray& getNouns();

    RandomName() = delete;

private:
    static const char* const adjectiveText;
    static const char* const nounText;
};

/** Same as RandomName::make. */
juce::String makeRandomName (int count);
