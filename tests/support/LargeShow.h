#pragma once

#include <juce_data_structures/juce_data_structures.h>

namespace test
{
/** A project document of the given number of cues, in lists of at most cuesPerList, the way
    the program stores them: imported cues with "tc" and a float "start", cues made in the
    program with whole-number times, colours of the standard categories. The same arguments
    give the same document. */
juce::ValueTree makeLargeShow (int cues, int cuesPerList = 1000);
}
