#include "pages/AudioFileComponent.h"

#include <gtest/gtest.h>

TEST (AudioFileComponent, TakesOneWavFileAndShowsItsName)
{
    AudioFileComponent target;
    const struct
    {
        juce::StringArray files;
        bool wanted;
    } cases[] = {
        { { "/show/mix.wav" }, true },       { { "/show/MIX.WAV" }, false },  { { "/show/mix.Wav" }, false },
        { { "/show/a.wav", "/show/b.wav" }, false }, { { "/show/mix.aiff" }, false }, { {}, false },
    };
    for (const auto& c : cases)
        EXPECT_EQ (target.isInterestedInFileDrag (c.files), c.wanted) << c.files.joinIntoString (" | ");

    target.filesDropped ({ "/show/first.wav" }, 0, 0); // without a callback only the name changes
    EXPECT_EQ (target.getName(), "first.wav");

    juce::File received;
    target.onFileDropped = [&received] (const juce::File& f) { received = f; };
    target.filesDropped ({ "/show/act 2/final mix.wav" }, 0, 0);
    EXPECT_EQ (target.getName(), "final mix.wav");
    EXPECT_EQ (received, juce::File ("/show/act 2/final mix.wav"));
}
