#include "ModelFixture.h"
#include "document/Identifiers.h"
#include "model/CategoryManager.h"
#include "model/TimetableCue.h"

namespace
{
struct CueCounter : Cue::Listener
{
    juce::StringArray events;
    void cueTextChanged() override { events.add ("text"); }
    void cueDisplayColorChanged() override { events.add ("displayColor"); }
    void cueTimeChanged (Cue*, bool resort) override { events.add (resort ? "time+resort" : "time"); }
    void cueCategoryChanged() override { events.add ("category"); }
};

juce::ValueTree cueNode (std::initializer_list<std::pair<juce::Identifier, juce::var>> properties)
{
    juce::ValueTree node (IDs::cue);
    for (const auto& [name, value] : properties)
        node.setProperty (name, value, nullptr);
    return node;
}

class CueTest : public test::ModelFixture
{
protected:
    CategoryManager categories;
    juce::ValueTree cuesNode { IDs::Cues };

    void SetUp() override
    {
        // Cue nodes live in a document so their writes reach the undo manager.
        juce::ValueTree list (IDs::CueList);
        list.appendChild (cuesNode, nullptr);
        appData->getOrCreateChild (IDs::CueLists).appendChild (list, nullptr);
    }

    juce::ValueTree addNode (juce::ValueTree node)
    {
        cuesNode.appendChild (node, nullptr);
        return node;
    }
};
}

TEST_F (CueTest, ProgressAndAheadOfAnOrdinaryCue)
{
    Cue cue (addNode (cueNode ({ { IDs::start, 60000 } })), &categories);
    struct Case { int time; float progress; bool ahead; };
    const Case cases[] = { { 56999, 0.0f, true }, { 57000, 0.0f, true }, { 58500, 0.5f, true },
                           { 59999, 2999.0f / 3000.0f, true }, { 60000, 1.0f, false }, { 61000, 1.0f, false } };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.time);
        EXPECT_FLOAT_EQ (cue.getProgress (c.time, {}), c.progress);
        EXPECT_EQ (cue.isAfter (c.time, {}), c.ahead);
    }
}

TEST_F (CueTest, TimetableCueRunsOverItsSpanAcrossMidnight)
{
    struct Case
    {
        double start, duration;
        int spanStart, spanEnd, time;
        float progress;
        bool ahead;
    };
    const Case cases[] = {
        { 82800000, 7200000, 82800000, 90000000, 1800000, 0.75f, true },     // 23:00-01:00 at 00:30
        { 36000000, 3600000, 36000000, 39600000, 36900000, 0.25f, true },    // 10:00-11:00 at 10:15
        { 36000000, 3600000, 36000000, 39600000, 39600000, 1.0f, false },    // at 11:00
        { 36000000, 3600000, 36000000, 39600000, 32400000, 1.0f, false },    // 09:00 counts as next day
        { 36000000, 0, 36000000, 36000000, 36000000, 1.0f, false },          // zero length, at its time
        { 36000000, 0, 36000000, 36000000, 35000000, 1.0f, false },
        { 36000000, 0, 30000000, 36000000, 35000000, 0.0f, true },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.time);
        TimetableCue cue (addNode (cueNode ({ { IDs::start, c.start }, { IDs::duration, c.duration } })), &categories);
        const auto progress = cue.getProgress (c.time, { c.spanStart, c.spanEnd });
        EXPECT_FALSE (std::isnan (progress));
        EXPECT_FLOAT_EQ (progress, c.progress);
        EXPECT_EQ (cue.isAfter (c.time, { c.spanStart, c.spanEnd }), c.ahead);
    }
}

TEST_F (CueTest, RangeReadsOlderFormsAndStoredText)
{
    Cue legacy (addNode (cueNode ({ { IDs::millis, 5000 }, { IDs::start, 9000 }, { IDs::duration, -100 } })), &categories);
    EXPECT_EQ (legacy.getRange(), juce::Range<double> (5000, 5000));

    undoManager().beginNewTransaction ("Change Cue Start");
    legacy.setRange ({ 6000, 7000 }, false);
    EXPECT_EQ ((double) legacy.getTree()[IDs::millis], 6000.0);
    EXPECT_EQ ((int) legacy.getTree()[IDs::start], 9000) << "\"millis\" stands for \"start\"";

    Cue fromFile (addNode (cueNode ({ { IDs::start, "4.68e7" }, { IDs::duration, "900000.0" }, { IDs::number, "12b" } })),
                  &categories);
    EXPECT_EQ (fromFile.getRange(), juce::Range<double> (46800000, 47700000));
    EXPECT_EQ (fromFile.getNumber(), 12);

    juce::ValueTree stored (IDs::cue);
    stored.setProperty (IDs::start, 46800000.0, nullptr);
    EXPECT_EQ (stored[IDs::start].toString(), juce::String ("4.68e7"));
}

TEST_F (CueTest, ChangesAreDeliveredCoalescedAndInOrder)
{
    Cue cue (addNode (cueNode ({ { IDs::start, 1000 }, { IDs::duration, 0 } })), &categories);
    CueCounter counter;
    cue.addListener (&counter);
    test::pumpFor (10);
    counter.events.clear();

    undoManager().beginNewTransaction ("Edit");
    cue.setText ("a");
    cue.setText ("b");
    cue.setRange ({ 2000, 2000 }, false);
    ASSERT_TRUE (test::pumpUntil ([&] { return counter.events.size() >= 2; }));
    test::pumpFor (10);
    EXPECT_EQ (counter.events, juce::StringArray ({ "text", "time" }));

    counter.events.clear();
    cue.setRange ({ 3000, 3000 }, true);
    cue.setText ("c");
    ASSERT_TRUE (test::pumpUntil ([&] { return counter.events.size() >= 2; }));
    EXPECT_EQ (counter.events, juce::StringArray ({ "text", "time+resort" }));

    // A re-sort asked for without a change waits for the next delivery of a time change.
    counter.events.clear();
    cue.setRange ({ 3000, 3000 }, true);
    test::pumpFor (20);
    EXPECT_TRUE (counter.events.isEmpty());
    cue.setRange ({ 4000, 4000 }, false);
    ASSERT_TRUE (test::pumpUntil ([&] { return ! counter.events.isEmpty(); }));
    EXPECT_EQ (counter.events, juce::StringArray ({ "time+resort" }));
    cue.removeListener (&counter);
}

TEST_F (CueTest, CategoryLinkFollowsTheColourAndUndo)
{
    auto audio = categories.getCategories()[1];
    auto light = categories.getCategories()[2];
    auto node = addNode (cueNode ({ { IDs::start, 0 }, { IDs::color, "ff3fb6dc" } }));
    Cue cue (node, &categories);
    EXPECT_EQ (cue.getCategory(), audio);
    EXPECT_EQ (node[IDs::category].toString(), audio->getUuid());
    EXPECT_EQ (node[IDs::displayColor].toString(), juce::String ("ff3fb6dc"));
    ASSERT_TRUE (test::pumpUntil ([&] { return audio->isUsed(); }));
    undoManager().clearUndoHistory();

    cue.setCategory (audio); // already linked: nothing written
    EXPECT_FALSE (undoManager().canUndo());

    undoManager().beginNewTransaction ("Set Cue Category");
    cue.setCategory (light);
    EXPECT_EQ (node[IDs::displayColor].toString(), juce::String ("ffcfb228"));
    EXPECT_EQ (cue.getDisplayColor(), light->getColor());
    EXPECT_EQ (light->getUsageCount(), 1);
    EXPECT_EQ (audio->getUsageCount(), 0);

    undoManager().undo();
    EXPECT_EQ (cue.getCategory(), audio) << "the restored uuid relinks";
    EXPECT_EQ (node[IDs::displayColor].toString(), juce::String ("ff3fb6dc"));
    EXPECT_EQ (audio->getUsageCount(), 1);
    EXPECT_EQ (light->getUsageCount(), 0);
    EXPECT_TRUE (undoManager().canRedo()) << "no write during the undo";

    undoManager().redo();
    EXPECT_EQ (cue.getCategory(), light);

    // A category colour change reaches the display colour, but not during its undo.
    undoManager().beginNewTransaction ("Set Category Color");
    light->setColor (juce::Colour (0xff010101));
    EXPECT_EQ (node[IDs::displayColor].toString(), juce::String ("ff010101"));
    undoManager().undo();
    EXPECT_EQ (node[IDs::displayColor].toString(), juce::String ("ffcfb228"));
    EXPECT_TRUE (undoManager().canRedo());
}

TEST_F (CueTest, NewCuesLinkToANewCategoryForAnUnknownColour)
{
    Cue made (1, "Intro", 0, 1000, juce::Colour (0xff0681ff), &categories);
    ASSERT_NE (made.getCategory(), nullptr);
    EXPECT_EQ (made.getCategory()->getColor().getARGB(), 0xff0681ffu);
    EXPECT_EQ (categories.getCategories().size(), 9u);

    const auto node = made.getTree();
    juce::StringArray names;
    for (int i = 0; i < node.getNumProperties(); ++i)
        names.add (node.getPropertyName (i).toString());
    EXPECT_EQ (names, juce::StringArray ({ "id", "number", "text", "start", "duration", "color", "category", "displayColor" }));

    Cue imported ("3", "Intro", "00:00:10:00", juce::Colour (0xffff0000), &categories);
    EXPECT_EQ (imported.getTree()[IDs::number].toString(), juce::String ("3"));
    EXPECT_EQ (imported.getTree().getPropertyName (3), IDs::tc);
    EXPECT_FALSE (imported.getTree().hasProperty (IDs::start));
}

TEST_F (CueTest, CompareByTimeOrdersByStartThenLength)
{
    Cue a (addNode (cueNode ({ { IDs::start, 100 }, { IDs::duration, 50 } })), nullptr);
    Cue b (addNode (cueNode ({ { IDs::start, 100 }, { IDs::duration, 10 } })), nullptr);
    Cue c (addNode (cueNode ({ { IDs::start, 50 }, { IDs::duration, 500 } })), nullptr);
    EXPECT_TRUE (Cue::compareByTime (c, a));
    EXPECT_TRUE (Cue::compareByTime (b, a));
    EXPECT_FALSE (Cue::compareByTime (a, b));
    EXPECT_FALSE (Cue::compareByTime (a, a));
}
