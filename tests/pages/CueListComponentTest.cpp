#include "PagesFixture.h"
#include "pages/CueListComponent.h"
#include "ui/EditableCueWrapper.h"
#include "ui/kit/HeaderTab.h"

namespace
{
struct CueListComponentTest : test::PagesFixture
{
    HeaderTab panel;
    CueListComponent* component = new CueListComponent (*controller.selectedCueListHandler);
    ActiveCueListHandler& selection = *controller.selectedCueListHandler;

    CueListComponentTest()
    {
        panel.setContent (component);
        panel.setSize (684, 733); // content 672 x 685
        panel.setName ("before");
    }

    /** A list of three cues that starts at 10 s, with a one hour offset, at 25 fps. */
    std::shared_ptr<CueList> addShow()
    {
        auto node = test::listNode ("Gala", 10000, 20000);
        node.setProperty (IDs::file, "/home/op/exports/Gala (final).csv", nullptr);
        auto cues = node.getChildWithName (IDs::Cues);
        cues.getChild (0).setProperty (IDs::tc, "00:00:20:00", nullptr);
        for (auto tc : { "00:00:15:12", "00:00:10:00" })
        {
            juce::ValueTree cue (IDs::cue);
            cue.setProperty (IDs::tc, tc, nullptr);
            cue.setProperty (IDs::duration, 0, nullptr);
            cues.addChild (cue, 0, nullptr);
        }
        controller.cueListManager->getState().appendChild (node, nullptr);
        EXPECT_TRUE (test::pumpUntil ([&] { return controller.cueListManager->getCueList (node[IDs::uuid]) != nullptr; }));
        auto list = controller.cueListManager->getCueList (node[IDs::uuid]);
        list->setOffset ("01:00:00:00");
        undo.clearUndoHistory();
        return list;
    }

    void select (const std::shared_ptr<CueList>& list)
    {
        selection.setActiveCueList (list);
        EXPECT_EQ (component->getCueList(), list);
    }
};
}

TEST_F (CueListComponentTest, LaysOutBoxLabelsTimelineAndRows)
{
    ASSERT_EQ (component->getBounds(), juce::Rectangle<int> (6, 42, 672, 685));
    EXPECT_EQ (component->getFpsBox().getBounds(), juce::Rectangle<int> (582, 10, 80, 30));
    EXPECT_EQ (component->getFileLabel().getBounds(), juce::Rectangle<int> (10, 10, 572, 30));
    EXPECT_EQ (component->getStartLabel().getBounds(), juce::Rectangle<int> (15, 50, 642, 23));
    EXPECT_EQ (component->getStartLabel().getJustificationType(), juce::Justification::centredRight);
    EXPECT_EQ (component->getTimeline().getBounds(), juce::Rectangle<int> (10, 83, 652, 60));
    EXPECT_EQ (component->getCueView().getBounds(), juce::Rectangle<int> (0, 153, 672, 532));

    component->setSize (60, 40);
    EXPECT_EQ (component->getFpsBox().getBounds(), juce::Rectangle<int> (10, 10, 40, 20));
    EXPECT_EQ (component->getTimeline().getHeight(), 0);
    EXPECT_EQ (component->getCueView().getHeight(), 0);
}

TEST_F (CueListComponentTest, BindsToTheSelectedListAfterItIsLaidOut)
{
    auto list = addShow();
    selection.setActiveCueList (list);
    // The selection came before the first binding: that binding picks it up.
    CueListComponent late (selection);
    late.setSize (672, 685);
    EXPECT_EQ (late.getCueList(), nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return late.getCueList() == list; }));
    EXPECT_EQ (late.getTimeline().getSpan(), list->getRange()) << "the timeline got the list once it had a size";
}

TEST_F (CueListComponentTest, APanelGoneBeforeItsFirstBindingIsLeftAlone)
{
    auto list = addShow();
    selection.setActiveCueList (list);
    for (int i = 0; i < 5; ++i)
        std::make_unique<CueListComponent> (selection).reset();
    test::pumpFor (50);
    // A late binding of a deleted panel would have left it listening to the list and the handler.
    list->setName ("Renamed");
    selection.setActiveCueList (list);
    EXPECT_EQ (list->getName(), "Renamed");
}

TEST_F (CueListComponentTest, ShowsTheListsFileStartRateAndCues)
{
    auto list = addShow();
    select (list);
    EXPECT_TRUE (component->isVisible());
    EXPECT_EQ (panel.getTitleText(), "Gala");
    EXPECT_EQ (component->getFileLabel().getText(), "Gala (final).csv");
    EXPECT_EQ (component->getStartLabel().getText(), "Start Show: 01:00:10:00");
    EXPECT_EQ (component->getFpsBox().getText(), "25 FPS");

    auto& cues = component->getCueView();
    EXPECT_EQ (cues.getRowHeight(), 42);
    ASSERT_EQ (cues.getNumRows(), 3);
    EXPECT_EQ (typeid (*cues.getRow (0)), typeid (EditableCueWrapper)) << "editable rows";
    EXPECT_EQ (component->getTimeline().getNumMarkers(), 3);
    EXPECT_TRUE (static_cast<bool> (component->getTimeline().onFileDropped)) << "the panel's timeline takes drops";

    // Edits elsewhere reach the panel.
    list->setName ("Gala Night");
    EXPECT_EQ (panel.getTitleText(), "Gala Night");
    list->setOffset ("02:00:00:00");
    EXPECT_EQ (component->getStartLabel().getText(), "Start Show: 02:00:10:00");
    list->getTree().getChildWithName (IDs::Cues).removeChild (0, nullptr);
    EXPECT_TRUE (test::pumpUntil ([&] { return cues.getNumRows() == 2; }));
}

TEST_F (CueListComponentTest, ARateChosenInTheBoxRetimesTheRowsAsOneStep)
{
    auto list = addShow();
    select (list);
    auto& box = component->getFpsBox();
    auto& rows = component->getCueView();
    ASSERT_EQ (rows.getNumRows(), 3);
    const auto secondCue = [&] { return rows.getRow (1)->getCueComponent()->getCue()->getRange().getStart(); };
    EXPECT_EQ (secondCue(), 3615480.0) << "15 s and 12 frames at 25 fps, one hour in";

    box.setSelectedId (3); // "30 FPS", as a user picks it: the box tells on the next message
    ASSERT_TRUE (test::pumpUntil ([&] { return list->getFps() == 30; }));
    EXPECT_EQ (undo.getUndoDescription(), "Set CueList Fps");
    EXPECT_EQ (box.getText(), "30 FPS");
    EXPECT_EQ (secondCue(), 3615400.0);
    for (int i = 0; i < rows.getNumRows(); ++i)
        EXPECT_EQ (rows.getRow (i)->getCueComponent()->getFps(), 30) << i;

    controller.undo();
    EXPECT_EQ (list->getFps(), 25);
    EXPECT_EQ (box.getText(), "25 FPS") << "the box follows the list";
    EXPECT_FALSE (undo.canUndo()) << "one step";
    EXPECT_EQ (secondCue(), 3615480.0);
    EXPECT_EQ (rows.getRow (1)->getCueComponent()->getFps(), 25);
}

TEST_F (CueListComponentTest, ADroppedAudioFileIsRecordedAsOneStep)
{
    auto list = addShow();
    select (list);
    auto& timeline = component->getTimeline();
    ASSERT_TRUE (timeline.isInterestedInFileDrag ({ "/show/mix.wav" }));
    timeline.filesDropped ({ "/show/mix.wav" }, 5, 5);
    EXPECT_EQ (list->getTree()[IDs::audiofile].toString(), "/show/mix.wav");
    EXPECT_EQ (undo.getUndoDescription(), "Set CueList Audiofile");
    controller.undo();
    EXPECT_EQ (list->getTree()[IDs::audiofile].toString(), "");
}

TEST_F (CueListComponentTest, NothingOrTheTimetableHidesThePanelAndClearsItsTitle)
{
    addLists();
    auto list = controller.cueListManager->getCueLists()[1];
    select (list);
    EXPECT_TRUE (component->isVisible());
    EXPECT_EQ (panel.getTitleText(), "Act 1");

    select (controller.cueListManager->getTimetable());
    EXPECT_FALSE (component->isVisible());
    EXPECT_EQ (panel.getTitleText(), "");
    EXPECT_FALSE (static_cast<bool> (component->getTimeline().onFileDropped)) << "no drop reaches a list not on display";

    select (list);
    selection.setActiveCueList (nullptr);
    EXPECT_FALSE (component->isVisible());
    EXPECT_EQ (panel.getTitleText(), "");

    // A list no longer on display is no longer followed.
    list->setName ("Elsewhere");
    EXPECT_EQ (panel.getTitleText(), "");
}
