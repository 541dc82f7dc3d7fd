#include "AudioFiles.h"
#include "CueViewFixture.h"
#include "ui/TimelineComponent.h"

namespace
{
using test::CueSpec;

juce::MouseEvent mouseAt (juce::Component& c, float x, juce::ModifierKeys mods = {})
{
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(), { x, 10.0f }, mods, 0, 0, 0, 0, 0, &c, &c, now,
             { x, 10.0f }, now, 1, false };
}

const juce::MouseWheelDetails wheelDown { 0.0f, -0.1f, false, false, false }; // zooms out
const juce::MouseWheelDetails wheelUp { 0.0f, 0.1f, false, false, false };    // zooms in

class TimelineTest : public test::GuiFixture
{
protected:
    juce::File folder = home.getHome().getChildFile ("audio");
    TimelineComponent timeline;
    std::vector<std::pair<juce::Array<int>, double>> waveforms;

    TimelineTest()
    {
        folder.createDirectory();
        timeline.setSize (400, 80);
        timeline.onWaveform = [this] (juce::Array<int> peaks, double lengthMs) { waveforms.emplace_back (std::move (peaks), lengthMs); };
    }

    /** A list spanning 0 to 200 s (3 min 20 s), with the audio file and cues at 1, 2 and 3 s. */
    static std::shared_ptr<CueList> showList (const juce::File& audio = {}, juce::uint32 secondColour = 0xff3366cc)
    {
        auto list = test::makeCueList ({ { 1, "A", 1000, 0, 0xffcc3333 }, { 2, "B", 2000, 0, secondColour },
                                         { 3, "C", 3000, 0, 0xffcc3333 }, { 4, "End", 190000, 10000, 0xffcc3333 } });
        if (audio != juce::File())
            list->getTree().setProperty (IDs::audiofile, audio.getFullPathName(), nullptr);
        return list;
    }

    bool waitForWaveforms (size_t n) { return test::pumpUntil ([&] { return waveforms.size() >= n; }, 30000); }

    bool waitForAudio()
    {
        return test::pumpUntil ([&] {
            return timeline.getThumbnail().getNumChannels() > 0 && timeline.getThumbnail().isFullyLoaded();
        }, 30000);
    }

    juce::Image snapshot() { return timeline.createComponentSnapshot (timeline.getLocalBounds(), false); }
};
}

TEST_F (TimelineTest, StartsAtTwentyFiveMillisecondsPerPixelAndIgnoresCallsBeforeLayout)
{
    TimelineComponent fresh;
    EXPECT_EQ (fresh.getMsPerPixel(), 25.0);
    EXPECT_EQ (fresh.getPlayhead(), 0.0f);
    EXPECT_EQ (fresh.getLength(), 0.0f);
    EXPECT_EQ (fresh.getSpan(), juce::Range<int>());

    // Not laid out: the list is ignored; time, wheel and paint keep finite values.
    auto list = showList();
    fresh.setCueList (list.get(), {});
    EXPECT_EQ (fresh.getNumMarkers(), 0);
    fresh.setSize (400, 80);
    EXPECT_EQ (fresh.getVisibleRange(), juce::Range<double> (0.0, 10000.0));
    fresh.setPlayhead (5000);
    fresh.mouseWheelMove (mouseAt (fresh, 200), wheelDown);
    fresh.mouseDown (mouseAt (fresh, 200));
    fresh.mouseDrag (mouseAt (fresh, 240));
    EXPECT_EQ (fresh.getPlayhead(), 0.0f);
    EXPECT_EQ (fresh.getMsPerPixel(), 25.0);
    EXPECT_EQ (fresh.getPlayheadX(), 0.0f);
    EXPECT_FALSE (fresh.createComponentSnapshot (fresh.getLocalBounds(), false).isNull());

    fresh.setCueList (list.get(), {});
    EXPECT_EQ (fresh.getNumMarkers(), 4);
    EXPECT_EQ (fresh.getLength(), 200000.0f);
}

TEST_F (TimelineTest, MarkersSkipHiddenColoursAndDimOncePassed)
{
    auto list = showList ({}, 0xff33cc66);
    timeline.setCueList (list.get(), { juce::Colour (0xff33cc66) });
    ASSERT_EQ (timeline.getNumMarkers(), 3);
    EXPECT_EQ (timeline.getMarkerOffset (0), 1000.0);
    EXPECT_EQ (timeline.getMarkerOffset (1), 3000.0);

    // Playhead at 2 s = 80 px: the marker at 40 px has passed, the one at 120 px has not.
    timeline.setPlayhead (2000);
    EXPECT_EQ (timeline.getPlayheadX(), 80.0f);
    const auto image = snapshot();
    const auto red = juce::Colour (0xffcc3333);
    const auto dimmed = juce::Colour (red.getHue(), red.getSaturation(), 0.4f, 1.0f);
    EXPECT_TRUE (test::near (image.getPixelAt (39, 10), dimmed)) << image.getPixelAt (39, 10).toString();
    EXPECT_TRUE (test::near (image.getPixelAt (119, 10), red)) << image.getPixelAt (119, 10).toString();
    EXPECT_TRUE (image.getPixelAt (79, 10).isTransparent()); // the hidden cue's place

    // A list change resets the playhead.
    timeline.setCueList (list.get(), {});
    EXPECT_EQ (timeline.getPlayhead(), 0.0f);
    EXPECT_EQ (timeline.getNumMarkers(), 4);
}

TEST_F (TimelineTest, PlayheadStaysHundredPixelsFromTheLeftUntilTheEnd)
{
    auto list = showList();
    timeline.setCueList (list.get(), {});

    timeline.setPlayhead (50000);
    EXPECT_EQ (timeline.getVisibleRange(), juce::Range<double> (47500.0, 57500.0));
    EXPECT_EQ (timeline.getPlayheadX(), 100.0f);

    timeline.setPlayhead (190000);
    EXPECT_EQ (timeline.getVisibleRange(), juce::Range<double> (187500.0, 197500.0));

    // The view would pass the end: it stays and the playhead walks right, up to the edge.
    timeline.setPlayhead (196000);
    EXPECT_EQ (timeline.getVisibleRange(), juce::Range<double> (187500.0, 197500.0));
    EXPECT_EQ (timeline.getPlayheadX(), 340.0f);
    timeline.setPlayhead (250000);
    EXPECT_EQ (timeline.getPlayhead(), 200000.0f);
    EXPECT_EQ (timeline.getPlayheadX(), 400.0f);

    timeline.setPlayhead (-5000); // before the span
    EXPECT_EQ (timeline.getPlayhead(), 0.0f);
}

TEST_F (TimelineTest, WheelZoomsAroundThePlayheadOrTheMouseWithinBounds)
{
    auto list = showList();
    timeline.setCueList (list.get(), {});

    // Playhead at 0: around the mouse.
    timeline.mouseWheelMove (mouseAt (timeline, 200), wheelDown);
    EXPECT_DOUBLE_EQ (timeline.getVisibleRange().getEnd(), 10500.0);
    EXPECT_EQ (timeline.getVisibleRange().getStart(), 0.0);
    EXPECT_FLOAT_EQ (timeline.getZoomFactor(), 1.1f);

    // Around the playhead, which keeps its pixel: 10 % wider.
    timeline.setCueList (list.get(), {});
    timeline.setPlayhead (50000);
    timeline.mouseWheelMove (mouseAt (timeline, 390), wheelDown);
    EXPECT_DOUBLE_EQ (timeline.getVisibleRange().getStart(), 47250.0);
    EXPECT_DOUBLE_EQ (timeline.getVisibleRange().getEnd(), 58250.0);
    EXPECT_DOUBLE_EQ (timeline.getMsPerPixel(), 27.5);
    EXPECT_FLOAT_EQ (timeline.getPlayheadX(), 100.0f);

    // The middle button held: no zoom.
    timeline.mouseWheelMove (mouseAt (timeline, 200, juce::ModifierKeys (juce::ModifierKeys::middleButtonModifier)), wheelDown);
    EXPECT_DOUBLE_EQ (timeline.getMsPerPixel(), 27.5);

    for (int i = 0; i < 100; ++i)
        timeline.mouseWheelMove (mouseAt (timeline, 200), wheelDown);
    EXPECT_EQ (timeline.getVisibleRange(), juce::Range<double> (0.0, 200000.0));
    EXPECT_DOUBLE_EQ (timeline.getMsPerPixel(), 500.0);

    for (int i = 0; i < 100; ++i)
        timeline.mouseWheelMove (mouseAt (timeline, 200), wheelUp);
    EXPECT_GE (timeline.getMsPerPixel(), 1.0);
    EXPECT_LT (timeline.getMsPerPixel() * 0.9, 1.0);
    EXPECT_FLOAT_EQ (timeline.getZoomFactor(), 0.9f);
}

TEST_F (TimelineTest, DraggingPansWithinTheSpan)
{
    auto list = showList();
    timeline.setCueList (list.get(), {});
    timeline.setPlayhead (50000);

    timeline.mouseDown (mouseAt (timeline, 200));
    timeline.mouseDrag (mouseAt (timeline, 240)); // 40 px right shows earlier times
    EXPECT_EQ (timeline.getVisibleRange(), juce::Range<double> (46500.0, 56500.0));
    timeline.mouseDrag (mouseAt (timeline, 140));
    EXPECT_EQ (timeline.getVisibleRange(), juce::Range<double> (49000.0, 59000.0));

    // Far right: the start stops at 0.
    timeline.mouseDrag (mouseAt (timeline, 3000));
    EXPECT_EQ (timeline.getVisibleRange(), juce::Range<double> (0.0, 10000.0));

    // Past the end: the view stays.
    timeline.mouseDown (mouseAt (timeline, 0));
    timeline.mouseDrag (mouseAt (timeline, -8000));
    EXPECT_EQ (timeline.getVisibleRange(), juce::Range<double> (0.0, 10000.0));
}

TEST_F (TimelineTest, DropFilterTakesOneAudioFileOnlyWhileADropCallbackIsSet)
{
    const struct
    {
        juce::StringArray files;
        bool accepted;
    } cases[] = {
        { { "/show/a.wav" }, true },       { { "/show/a.WAV" }, true },
        { { "/show/a.aiff" }, true },      { { "/show/a.Mp3" }, true },
        { { "/show/a.flac" }, true },      { { "/show/a.mp4" }, false },
        { { "/show/a.ogg" }, false },      { { "/show/a.aif" }, false },
        { { "/show/wav" }, false },        { { "/show/a.wav.txt" }, false },
        { { "/show.wav/a" }, false },      { { "/show/a.wav", "/show/b.wav" }, false },
        { {}, false },
    };

    for (const auto& c : cases)
        EXPECT_FALSE (timeline.isInterestedInFileDrag (c.files)) << c.files.joinIntoString (",");

    juce::Array<juce::File> dropped;
    timeline.onFileDropped = [&dropped] (const juce::File& f) { dropped.add (f); };
    for (const auto& c : cases)
        EXPECT_EQ (timeline.isInterestedInFileDrag (c.files), c.accepted) << c.files.joinIntoString (",");

    timeline.filesDropped ({ "/show/a.WAV" }, 10, 10);
    ASSERT_EQ (dropped.size(), 1);
    EXPECT_EQ (dropped[0].getFullPathName(), "/show/a.WAV");
}

TEST_F (TimelineTest, DropHintOnlyWhileDropsAreTaken)
{
    // h = 80: the icon square is 40 px at (180, 12); its corner lies beside the narrow icon.
    auto corner = [this] { return snapshot().getPixelAt (182, 14); };
    EXPECT_TRUE (corner().isTransparent());

    timeline.onFileDropped = [] (const juce::File&) {};
    const auto background = lookAndFeel.findColour (juce::ResizableWindow::backgroundColourId);
    EXPECT_EQ (corner(), background);

    // A loaded file replaces the hint with the waveform.
    const auto wav = folder.getChildFile ("short.wav");
    juce::WavAudioFormat format;
    ASSERT_TRUE (test::writeAudio (format, wav, 8000, 8000, test::quietSine));
    auto list = showList (wav);
    timeline.setCueList (list.get(), {});
    ASSERT_TRUE (waitForAudio());
    EXPECT_NE (corner(), background);
}

TEST_F (TimelineTest, EveryDecoderReadsItsFixture)
{
    juce::WavAudioFormat wav;
    juce::AiffAudioFormat aiff;
    juce::FlacAudioFormat flac;
    juce::OggVorbisAudioFormat ogg;
    const struct
    {
        juce::AudioFormat* writer;
        const char* name;
        double rate;
        bool droppable;
    } formats[] = {
        { &wav, "a.WAV", 8000, true },
        { &aiff, "a.aiff", 8000, true },
        { &flac, "a.flac", 44100, true },
        { &ogg, "a.ogg", 44100, false }, // read, but not offered as a drop
        { nullptr, "a.mp3", 44100, true },
    };
    timeline.onFileDropped = [] (const juce::File&) {};

    for (const auto& f : formats)
    {
        SCOPED_TRACE (f.name);
        const auto file = folder.getChildFile (f.name);
        const bool written = f.writer != nullptr ? test::writeAudio (*f.writer, file, f.rate, (int) (2 * f.rate), test::quietSine)
                                                 : test::writeSilentMp3 (file, 77); // 77 frames: 2.01 s
        ASSERT_TRUE (written);
        EXPECT_EQ (timeline.isInterestedInFileDrag ({ file.getFullPathName() }), f.droppable);

        auto list = showList (file);
        timeline.setCueList (list.get(), {});
        ASSERT_TRUE (waitForAudio());
        EXPECT_EQ (timeline.getThumbnail().getNumChannels(), 1);
        EXPECT_NEAR (timeline.getThumbnail().getTotalLength(), 2.0, 0.1);
    }
}

TEST_F (TimelineTest, TwoHundredSecondSpanGivesEightThousandPairsAsTheThumbnailRoundsThem)
{
    // 100 s of full-scale square wave, then 100 s of silence.
    const auto file = folder.getChildFile ("fullscale.wav");
    juce::WavAudioFormat format;
    constexpr int rate = 8000;
    ASSERT_TRUE (test::writeAudio (format, file, rate, 200 * rate,
                                   [] (int i) { return i < 100 * rate ? (i % 2 == 0 ? 1.0f : -1.0f) : 0.0f; }));

    auto list = showList (file);
    timeline.setCueList (list.get(), {});
    ASSERT_TRUE (waitForWaveforms (1));

    const auto [peaks, lengthMs] = waveforms.front();
    ASSERT_EQ (peaks.size(), 16000);
    EXPECT_EQ (lengthMs, 200000.0);
    // The thumbnail stores round(v * 127) and returns it / 128; equal extremes are nudged apart.
    EXPECT_EQ (peaks[0], -253);
    EXPECT_EQ (peaks[1], 253);
    EXPECT_EQ (peaks[15998], 0);
    EXPECT_EQ (peaks[15999], 1);
    EXPECT_EQ (timeline.getLength(), 200000.0f);

    // Set again (as after a colour-mask change): the loaded file sends its peaks again.
    timeline.setCueList (list.get(), {});
    ASSERT_TRUE (waitForWaveforms (2));
    EXPECT_EQ (waveforms[1].first, peaks);
}

TEST_F (TimelineTest, AFileLongerThanTheSpanRaisesTheLength)
{
    const auto file = folder.getChildFile ("long.wav");
    juce::WavAudioFormat format;
    ASSERT_TRUE (test::writeAudio (format, file, 8000, 250 * 8000, test::quietSine));
    auto list = showList (file);
    timeline.setCueList (list.get(), {});
    ASSERT_TRUE (waitForWaveforms (1));
    EXPECT_EQ (waveforms[0].first.size(), 16000);
    EXPECT_EQ (timeline.getLength(), 250000.0f);
}

TEST_F (TimelineTest, AnUnreadableFileSendsNoPeaks)
{
    const auto notAudio = folder.getChildFile ("text.wav");
    notAudio.replaceWithText ("not audio");
    for (const auto& file : { notAudio, folder.getChildFile ("missing.wav") })
    {
        auto list = showList (file);
        timeline.setCueList (list.get(), {});
        test::pumpFor (200);
        EXPECT_EQ (timeline.getThumbnail().getNumChannels(), 0);
    }
    auto noFile = showList();
    timeline.setCueList (noFile.get(), {});
    test::pumpFor (200);
    EXPECT_TRUE (waveforms.empty()) << "an empty waveform would replace the browsers' current one";
}

TEST_F (TimelineTest, ALongReductionIsDroppedWithItsListOrItsStrip)
{
    // One second of audio over a whole day: over three million pairs, many slices.
    const auto file = folder.getChildFile ("second.wav");
    juce::WavAudioFormat format;
    ASSERT_TRUE (test::writeAudio (format, file, 8000, 8000, test::quietSine));
    auto dayList = test::makeCueList ({ { 1, "A", 0, 0, 0xffcc3333 }, { 2, "B", 86000000, 400000, 0xffcc3333 } });
    dayList->getTree().setProperty (IDs::audiofile, file.getFullPathName(), nullptr);

    timeline.setCueList (dayList.get(), {});
    ASSERT_TRUE (test::pumpUntil ([&] { return timeline.isReducingPeaks() || ! waveforms.empty(); }, 30000));
    ASSERT_TRUE (waveforms.empty());
    timeline.setCueList (nullptr, {});
    EXPECT_FALSE (timeline.isReducingPeaks());
    test::pumpFor (100);
    EXPECT_TRUE (waveforms.empty());

    // A strip deleted mid-way: the next slice never runs on it.
    auto strip = std::make_unique<TimelineComponent>();
    int calls = 0;
    strip->onWaveform = [&calls] (juce::Array<int>, double) { ++calls; };
    strip->setSize (400, 80);
    strip->setCueList (dayList.get(), {});
    ASSERT_TRUE (test::pumpUntil ([&] { return strip->isReducingPeaks() || calls > 0; }, 30000));
    strip.reset();
    test::pumpFor (100);
    EXPECT_EQ (calls, 0);
}
