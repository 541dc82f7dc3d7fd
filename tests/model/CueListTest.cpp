#include "ModelFixture.h"
#include "document/Identifiers.h"
#include "model/CategoryManager.h"
#include "model/CueList.h"

namespace
{
constexpr int hour = 3600000;
constexpr int minute = 60000;

struct ListCounter : CueList::Listener
{
    juce::StringArray events;
    void cueListNameChanged() override { events.add ("name"); }
    void cueListOffsetChanged() override { events.add ("offset"); }
    void cueListAudioFileChanged() override { events.add ("audiofile"); }
    void cueListFpsChanged() override { events.add ("fps"); }
    void cuesChanged() override { events.add ("cues"); }
};

class CueListTest : public test::ModelFixture
{
protected:
    std::shared_ptr<CategoryManager> categories = std::make_shared<CategoryManager>();

    /** A list node in the document with cues {start, duration} in the given order. */
    juce::ValueTree listNode (std::vector<std::pair<double, double>> times, bool timetable,
                              std::vector<const char*> timecodes = {})
    {
        juce::ValueTree list (IDs::CueList);
        list.setProperty (IDs::uuid, juce::Uuid().toString(), nullptr);
        list.setProperty (IDs::offset, "00:00:00:00", nullptr);
        list.setProperty (IDs::fps, timetable ? 1000 : 25, nullptr);
        if (timetable)
            list.setProperty (IDs::timetable, true, nullptr);
        juce::ValueTree cues (IDs::Cues);
        for (size_t i = 0; i < times.size(); ++i)
        {
            juce::ValueTree cue (IDs::cue);
            cue.setProperty (IDs::text, juce::String ((int) i), nullptr);
            if (i < timecodes.size())
                cue.setProperty (IDs::tc, timecodes[i], nullptr);
            cue.setProperty (IDs::start, times[i].first, nullptr);
            cue.setProperty (IDs::duration, times[i].second, nullptr);
            cues.appendChild (cue, nullptr);
        }
        list.appendChild (cues, nullptr);
        appData->getOrCreateChild (IDs::CueLists).appendChild (list, nullptr);
        undoManager().clearUndoHistory();
        return list;
    }

    static std::vector<double> starts (const CueList& list)
    {
        std::vector<double> result;
        for (const auto& cue : list.getCues())
            result.push_back (cue->getRange().getStart());
        return result;
    }

    static std::vector<double> nodeStarts (const juce::ValueTree& list)
    {
        std::vector<double> result;
        for (const auto& cue : list.getChildWithName (IDs::Cues))
            result.push_back (cue[IDs::start]);
        return result;
    }
};
}

TEST_F (CueListTest, SortsTimetablesAcrossMidnight)
{
    struct Case
    {
        const char* name;
        std::vector<std::pair<double, double>> cues;
        std::vector<double> expectedStarts;
    };
    const Case cases[] = {
        { "largest gap between 00:30 and 22:00", { { 22 * hour, hour }, { 84600000, hour }, { 900000, 900000 } },
          { 22 * hour, 84600000, 900000 } },
        { "four runs through midnight", { { 0, hour }, { 23 * hour, hour }, { 21 * hour, hour }, { hour, hour } },
          { 21 * hour, 23 * hour, 0, hour } },
        { "no wrap", { { 18 * hour, hour }, { 10 * hour, hour }, { 12 * hour, hour } },
          { 10 * hour, 12 * hour, 18 * hour } },
        { "tied gaps keep the earlier pair", { { hour, 0 }, { 5 * hour, 0 } }, { 5 * hour, hour } },
        { "equal starts, longer first", { { 10 * hour, hour }, { 10 * hour, 2 * hour } }, { 10 * hour, 10 * hour } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        auto node = listNode (c.cues, true);
        CueList list (node, categories);
        list.sortCues();
        EXPECT_EQ (starts (list), c.expectedStarts);
        EXPECT_EQ (nodeStarts (node), c.expectedStarts) << "the node follows";
    }

    auto node = listNode ({ { 10 * hour, hour }, { 10 * hour, 2 * hour } }, true);
    CueList list (node, categories);
    list.sortCues();
    EXPECT_EQ (list.getCues()[0]->getRange().getLength(), 2.0 * hour);
}

TEST_F (CueListTest, ReSortJoinsTheEditAndAnUndoRestoresTheOrderWithoutANewStep)
{
    auto node = listNode ({ { 10 * hour, hour }, { 12 * hour, hour }, { 14 * hour, hour } }, true);
    CueList list (node, categories);
    undoManager().clearUndoHistory(); // the category links written while building
    ListCounter counter;
    list.addListener (&counter);

    undoManager().beginNewTransaction ("Change Cue Start");
    list.getCues()[0]->setRange ({ 13.0 * hour, 14.0 * hour }, true);
    ASSERT_TRUE (test::pumpUntil ([&] { return counter.events.contains ("cues"); }));
    EXPECT_EQ (nodeStarts (node), (std::vector<double> { 12 * hour, 13 * hour, 14 * hour }));
    EXPECT_EQ (undoManager().getNumActionsInCurrentTransaction(), 2) << "the start and one move";

    undoManager().undo();
    test::pumpFor (30);
    EXPECT_EQ (nodeStarts (node), (std::vector<double> { 10 * hour, 12 * hour, 14 * hour }));
    EXPECT_EQ (starts (list), nodeStarts (node));
    EXPECT_TRUE (undoManager().canRedo()) << "no step after the undo";
    EXPECT_FALSE (undoManager().canUndo());

    undoManager().redo();
    test::pumpFor (30);
    EXPECT_EQ (nodeStarts (node), (std::vector<double> { 12 * hour, 13 * hour, 14 * hour }));
    EXPECT_FALSE (undoManager().canRedo());
    EXPECT_EQ (undoManager().getUndoDescription(), juce::String ("Change Cue Start"));
    list.removeListener (&counter);
}

TEST_F (CueListTest, ADeferredReSortAfterAnUndoWritesNothing)
{
    // Stored out of order (an older document): a sort now would move the cues.
    auto node = listNode ({ { 12 * hour, hour }, { 10 * hour, hour } }, true);
    CueList list (node, categories);
    undoManager().clearUndoHistory();

    // The edit asks for a re-sort; the undo runs before the loop delivers it.
    undoManager().beginNewTransaction ("Change Cue Start");
    list.getCues()[0]->setRange ({ 12.5 * hour, 13.5 * hour }, true);
    undoManager().undo();
    test::pumpFor (50);

    EXPECT_TRUE (undoManager().canRedo());
    EXPECT_FALSE (undoManager().canUndo());
    EXPECT_EQ (nodeStarts (node), (std::vector<double> { 12 * hour, 10 * hour }));
    EXPECT_EQ (starts (list), nodeStarts (node));
}

TEST_F (CueListTest, NextCueIndexUsesTheHintAndBisects)
{
    auto node = listNode ({ { 10000, 0 }, { 20000, 0 }, { 30000, 0 } }, false);
    CueList list (node, categories);
    std::vector<std::weak_ptr<Cue>> weak (list.getCues().begin(), list.getCues().end());

    struct Case { int time, hint, expected; };
    const Case cases[] = { { 15000, 0, 1 }, { 25000, 1, 2 }, { 35000, 2, 3 }, { 5000, 2, 0 },
                           { 20000, 1, 2 }, { 0, -5, 0 }, { 25000, -1, 2 }, { 25000, 99, 2 } };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.time) + " hint " + juce::String (c.hint));
        EXPECT_EQ (CueList::getNextCueIndex (c.time, weak, c.hint), c.expected);
    }
    EXPECT_EQ (CueList::getNextCueIndex (0, {}, 0), -1);
    EXPECT_EQ (CueList::getNextCueIndex (0, {}, -3), -1);

    // Cues that have gone are skipped; a result always names a live cue.
    std::vector<std::weak_ptr<Cue>> gaps { std::weak_ptr<Cue>(), weak[0], std::weak_ptr<Cue>(), weak[2], std::weak_ptr<Cue>() };
    EXPECT_EQ (CueList::getNextCueIndex (5000, gaps, 0), 1);
    EXPECT_EQ (CueList::getNextCueIndex (15000, gaps, 0), 3);
    EXPECT_EQ (CueList::getNextCueIndex (15000, gaps, 2), 3);
    EXPECT_EQ (CueList::getNextCueIndex (35000, gaps, 4), 5);
    EXPECT_EQ (CueList::getNextCueIndex (0, { std::weak_ptr<Cue>() }, 0), 1);
}

TEST_F (CueListTest, StartOffsetAndRangeFromTimecode)
{
    auto node = listNode ({ { 0, 0 }, { 0, 0 } }, false, { "00:44:59:24", "01:00:00:00" });
    CueList list (node, categories);

    undoManager().beginNewTransaction ("Set CueList Fps");
    list.setFps (25);
    EXPECT_EQ (node[IDs::start].toString(), juce::String ("1.8e6"));
    EXPECT_EQ (list.getStartTimecode(), juce::String ("00:30:00:00"));
    EXPECT_EQ ((double) list.getCues()[0]->getTree()[IDs::start], 2699960.0);

    undoManager().beginNewTransaction ("Set CueList Offset");
    list.setOffset ("1:2:3");
    EXPECT_EQ (list.getOffset(), juce::String ("01:02:03:00"));
    list.setOffset ("01:00:00:00");
    EXPECT_EQ (list.getRange(), juce::Range<int> (5400000, 3600000 + hour));
    EXPECT_EQ (list.getStartTimecode(), juce::String ("01:30:00:00"));

    list.getTree().setProperty (IDs::start, 4027500.0, nullptr); // 01:07:30:00 floors to 01:00
    list.updateStart (25);
    EXPECT_EQ ((double) node[IDs::start], 2699960.0 - 2699960.0 + 1800000.0);

    undoManager().undo();
    EXPECT_EQ (list.getOffset(), juce::String ("00:00:00:00"));
}

TEST_F (CueListTest, MissingOrZeroFrameRateCountsAsThirtyInArithmetic)
{
    for (auto fps : { juce::var(), juce::var (0), juce::var (-5), juce::var ("x") })
    {
        SCOPED_TRACE (fps.toString());
        auto node = listNode ({ { 0, 0 } }, false, { "00:00:01:15" });
        node.setProperty (IDs::offset, "00:00:00:40", nullptr);
        if (fps.isVoid())
            node.removeProperty (IDs::fps, nullptr);
        else
            node.setProperty (IDs::fps, fps, nullptr);
        CueList list (node, categories);

        EXPECT_EQ (list.getRange().getStart(), 966) << "29 frames at 30 fps";
        EXPECT_EQ (list.getStartTimecode(), juce::String ("00:00:00:29"));
        list.setCueStartsFromTimecode (list.getOffset(), list.getFps());
        EXPECT_NEAR ((double) list.getCues()[0]->getTree()[IDs::start], 1500.0 + 966.67, 0.01);
        EXPECT_EQ (list.getFps(), fps.isVoid() ? 0 : (int) fps) << "shown as stored";
    }
}

TEST_F (CueListTest, TimetableCuesKeepTheirTimesWhenOffsetOrRateChange)
{
    auto node = listNode ({ { 10 * hour, hour }, { 12 * hour, hour } }, true);
    CueList list (node, categories);
    list.setOffset ("00:15:00:00");
    list.setFps (25);
    EXPECT_EQ (starts (list), (std::vector<double> { 10 * hour, 12 * hour }));
    EXPECT_FALSE (node.hasProperty (IDs::start));
}

TEST_F (CueListTest, AddNewCueFollowsTheLastCueAndWrapsAtMidnight)
{
    auto timetable = CueList::makeTimetable();
    EXPECT_TRUE (timetable->isTimetable());
    EXPECT_EQ (timetable->getFps(), 1000);
    auto node = timetable->getTree();
    appData->getOrCreateChild (IDs::CueLists).appendChild (node, nullptr);
    timetable.reset();

    CueList list (node, categories);
    undoManager().beginNewTransaction ("Create Timetable");
    list.addNewCue();
    ASSERT_EQ (list.getCues().size(), 1u);
    auto first = list.getCues()[0]->getTree();
    EXPECT_EQ (first[IDs::start].toString(), juce::String ("46800000"));
    EXPECT_EQ (first[IDs::duration].toString(), juce::String ("3600000"));
    EXPECT_EQ (first[IDs::color].toString(), juce::String ("ffd52fd5")) << "first category's colour";
    EXPECT_EQ (list.getCues()[0]->getNumber(), 1);
    juce::StringArray words;
    words.addTokens (list.getCues()[0]->getText(), " ", "");
    EXPECT_EQ (words.size(), 3);

    undoManager().beginNewTransaction ("Add Cue");
    list.addNewCue();
    EXPECT_EQ (list.getCues()[1]->getRange(), juce::Range<double> (14.0 * hour, 15.0 * hour));
    EXPECT_EQ (list.getCues()[1]->getNumber(), 2);

    list.getCues()[1]->setRange ({ 84600000, 84600000 + hour }, false);
    list.addNewCue();
    EXPECT_EQ (list.getCues()[2]->getRange().getStart(), 1800000.0);

    undoManager().undo();
    EXPECT_EQ (list.getCues().size(), 1u);
    undoManager().redo();
    EXPECT_EQ (list.getCues().size(), 3u);

    CueList bare (std::shared_ptr<CategoryManager> {});
    appData->getOrCreateChild (IDs::CueLists).appendChild (bare.getTree(), nullptr);
    bare.addNewCue();
    EXPECT_EQ (bare.getCues()[0]->getColor().getARGB(), 0xffff0000u) << "opaque red without categories";
}

TEST_F (CueListTest, OvertimeMovesTheCueAndEverythingAfterIt)
{
    struct Case
    {
        const char* name;
        std::vector<std::pair<double, double>> cues;
        int index, minutes;
        std::vector<std::pair<double, double>> expected;
    };
    const Case cases[] = {
        { "+1 on the second", { { 10 * hour, hour }, { 11 * hour, hour }, { 12 * hour, hour } }, 1, 1,
          { { 10 * hour, 11 * hour }, { 11 * hour, 12 * hour + minute }, { 12 * hour + minute, 13 * hour + minute } } },
        { "-90 shrinks past the start", { { 10 * hour, hour } }, 0, -90, { { 9.5 * hour, 9.5 * hour } } },
        { "-1 before midnight", { { 23 * hour, hour }, { 0, hour } }, 0, -1,
          { { 23 * hour, 24 * hour - minute }, { 24 * hour - minute, 25 * hour - minute } } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        CueList list (listNode (c.cues, true), categories);
        ListCounter counter;
        list.addListener (&counter);
        list.setCuesOvertime (c.minutes, list.getCues()[(size_t) c.index]);
        EXPECT_EQ (counter.events, juce::StringArray ({ "cues" })) << "sent at once";
        EXPECT_EQ (undoManager().getUndoDescription(), juce::String ("Set Cues Overtime"));
        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ (list.getCues()[i]->getRange(), juce::Range<double> (c.expected[i].first, c.expected[i].second)) << i;

        undoManager().undo();
        for (size_t i = 0; i < c.cues.size(); ++i)
            EXPECT_EQ (list.getCues()[i]->getRange().getStart(), c.cues[i].first);
        list.removeListener (&counter);
    }

    CueList list (listNode ({ { 0, 0 } }, true), categories);
    undoManager().clearUndoHistory();
    Cue stranger (1, "x", 0, 0, juce::Colours::red, nullptr);
    list.setCuesOvertime (1, std::shared_ptr<Cue> (&stranger, [] (Cue*) {}));
    EXPECT_FALSE (undoManager().canUndo()) << "no transaction for a cue of another list";
}

TEST_F (CueListTest, NamedStepsUndoAndRedoAndNotify)
{
    auto node = listNode ({ { 0, 0 }, { 1000, 0 } }, false, { "00:00:00:00", "00:00:01:00" });
    CueList list (node, categories);
    ListCounter counter;
    list.addListener (&counter);

    list.setName ("Act 1");
    EXPECT_EQ (counter.events, juce::StringArray ({ "name" })) << "at once";
    EXPECT_EQ (undoManager().getUndoDescription(), juce::String ("Set CueList Name"));
    list.setAudioFile ("/shows/act1.wav");
    EXPECT_EQ (undoManager().getUndoDescription(), juce::String ("Set CueList Audiofile"));
    EXPECT_EQ (list.getAudioFile(), juce::String ("/shows/act1.wav"));

    undoManager().undo();
    EXPECT_EQ (list.getAudioFile(), juce::String());
    undoManager().undo();
    EXPECT_EQ (list.getName(), juce::String());
    undoManager().redo();
    undoManager().redo();
    EXPECT_EQ (list.getName(), juce::String ("Act 1"));
    EXPECT_EQ (counter.events, juce::StringArray ({ "name", "audiofile", "audiofile", "name", "name", "audiofile" }));

    counter.events.clear();
    undoManager().beginNewTransaction ("Remove Cue");
    list.removeCue (*list.getCues()[0]);
    EXPECT_EQ (list.getCues().size(), 1u);
    EXPECT_TRUE (counter.events.isEmpty());
    ASSERT_TRUE (test::pumpUntil ([&] { return counter.events.contains ("cues"); }));
    undoManager().undo();
    EXPECT_EQ (list.getCues().size(), 2u);
    EXPECT_EQ (list.getCues()[0]->getTree(), node.getChildWithName (IDs::Cues).getChild (0));
    list.removeListener (&counter);
}

TEST_F (CueListTest, FileNameOfPathsFromEitherSystem)
{
    struct Case { const char* stored; const char* shown; };
    const Case cases[] = { { "C:\\Shows\\Gala\\Act 1.csv", "Act 1.csv" }, { "/home/op/shows/Act 2.csv", "Act 2.csv" },
                           { "D:/mixed\\path/Act 3.csv", "Act 3.csv" }, { "Act 4.csv", "Act 4.csv" }, { "", "" } };
    for (const auto& c : cases)
    {
        CueList list (categories);
        list.getTree().setProperty (IDs::file, c.stored, nullptr);
        EXPECT_EQ (list.getFile(), juce::String (c.shown)) << c.stored;
    }
}

TEST_F (CueListTest, NewListPropertiesInOrder)
{
    CueList list (categories);
    const auto node = list.getTree();
    ASSERT_EQ (node.getNumProperties(), 4);
    EXPECT_EQ (node.getPropertyName (0), IDs::uuid);
    EXPECT_EQ (node.getPropertyName (1), IDs::name);
    EXPECT_EQ (node.getPropertyName (2), IDs::offset);
    EXPECT_EQ (node.getPropertyName (3), IDs::fps);
    EXPECT_EQ (list.getName(), juce::String ("Empty List"));
    EXPECT_EQ (list.getOffset(), juce::String ("00:00:00:00"));
    EXPECT_EQ (list.getFps(), 30);
    EXPECT_EQ (list.getRange(), juce::Range<int>());
    EXPECT_FALSE (node.getChildWithName (IDs::Cues).isValid());
}
