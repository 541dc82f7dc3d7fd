#include "OrganizerFixture.h"
#include "document/AppData.h"
#include "model/DefaultsManager.h"
#include "ui/kit/ResizableViewport.h"

namespace
{
const juce::String refusedFormat = "It looks like you're exporting from Tallypin using the 'Spreadsheet' format, which is "
                                   "currently not supported in Vantrel. Please use the 'Avo & Reaper' format instead... ";
const juce::String unsupportedTimecode = "It looks like you're exporting from Reaper in an unsupported format. Please use "
                                         "the 'Hours:Minutes:Seconds:Frames' format instead... ";
const juce::String noCues = "I tried long and hard, but I wasn't able to find any valid cues in that file. Are you sure "
                            "it's in the correct format?";

struct CueListOrganizerTest : test::OrganizerFixture
{
    ResizableViewport viewport;
    CueListOrganizer* organizer = new CueListOrganizer (controller);

    CueListOrganizerTest()
    {
        viewport.setViewedComponent (organizer, true);
        viewport.setSize (488, 300);
    }

    juce::String uuidOf (const juce::String& name) const
    {
        for (const auto& list : controller.cueListManager->getCueLists())
            if (list->getName() == name)
                return list->getUuid();
        return {};
    }

    juce::DragAndDropTarget::SourceDetails dragOf (juce::Component* source, int startRow, int overRow) const
    {
        return { startRow, source, { 100, CueListOrganizer::rowHeight * overRow + 16 } };
    }
};

bool hasPixel (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour)
{
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (image.getPixelAt (x, y) == colour)
                return true;
    return false;
}
}

TEST_F (CueListOrganizerTest, EmptyOrganizerDrawsOnlyTheInvitationToDrop)
{
    controller.cueListManager->createTimetable();
    ASSERT_TRUE (test::pumpUntil ([&] { return controller.cueListManager->getCueLists().size() == 1; }));
    EXPECT_EQ (organizer->getNumRows(), 0) << "the timetable has no row";
    EXPECT_EQ (organizer->getBounds(), juce::Rectangle<int> (0, 0, 488, 300)) << "fills the viewport";

    const auto image = organizer->createComponentSnapshot (organizer->getLocalBounds());
    const juce::Colour grey (0xff404040);
    EXPECT_TRUE (hasPixel (image, { 224, 130, 40, 40 }, grey)) << "the icon, centred";

    // The text line, compared with the same text drawn on its own.
    juce::Image expected (juce::Image::ARGB, 488, 300, true);
    {
        juce::Graphics g (expected);
        g.setColour (grey);
        g.setFont (20.0f);
        g.drawText ("Drop your CSV files here...", juce::Rectangle<int> (0, 180, 488, 20), juce::Justification::centred, false);
    }
    int differing = 0, inked = 0;
    for (int y = 175; y < 205; ++y)
        for (int x = 0; x < 488; ++x)
        {
            differing += image.getPixelAt (x, y) != expected.getPixelAt (x, y) ? 1 : 0;
            inked += expected.getPixelAt (x, y).getAlpha() > 0 ? 1 : 0;
        }
    EXPECT_GT (inked, 100);
    EXPECT_EQ (differing, 0);

    controller.cueListManager->getState().appendChild (test::listNode ("Act 1", 0, 1000), nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer->getNumRows() == 1; }));
    const auto withRows = organizer->createComponentSnapshot (organizer->getLocalBounds());
    EXPECT_FALSE (hasPixel (withRows, { 0, 100, 488, 200 }, grey)) << "no invitation once lists exist";
}

TEST_F (CueListOrganizerTest, RowsInDocumentOrderWithSeparatorsBetween)
{
    addLists();
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer->getNumRows() == 3; }));
    EXPECT_EQ (rowNames (*organizer), juce::StringArray ({ "Act 1", "Act 2", "Act 3" }));
    EXPECT_EQ (organizer->getContentHeight(), 99);

    int separators = 0;
    for (int i = 0; i < organizer->getNumRows(); ++i)
    {
        auto* row = organizer->getRow (i);
        EXPECT_EQ (row->getBounds(), juce::Rectangle<int> (0, 33 * i + 5, 488, 23)) << i;
        EXPECT_EQ (row->getComponentID(), uuidOf (row->getName()));
    }
    for (auto* child : organizer->getChildren())
        if (auto* line = dynamic_cast<LineComponent*> (child))
        {
            EXPECT_EQ (line->getBounds(), juce::Rectangle<int> (0, 33 * (separators + 1), 488, 1));
            ++separators;
        }
    EXPECT_EQ (separators, 2);

    // A viewport shorter than the rows scrolls them: the organizer grows to its content.
    viewport.setSize (488, 60);
    EXPECT_EQ (organizer->getHeight(), 99);
}

TEST_F (CueListOrganizerTest, OnlyDragsOfCsvFilesAreWelcome)
{
    const struct
    {
        juce::StringArray files;
        bool wanted;
    } cases[] = {
        { { csv ("Act 2.csv") }, true },
        { { csv ("Act 2.csv"), csv ("Act 1 (final mix).csv") }, true },
        { { csv ("Act 2.csv"), csv ("Notes.txt") }, false },
        { { csv ("Upper.CSV") }, false },
        { { csv ("Act 2.csv"), "/tmp/x.Csv" }, false },
        { { "/tmp/markers.csv.txt" }, false },
        { { "/tmp/folder.csv/markers" }, false },
        { {}, false },
    };
    for (const auto& c : cases)
        EXPECT_EQ (organizer->isInterestedInFileDrag (c.files), c.wanted) << c.files.joinIntoString (" | ");
}

TEST_F (CueListOrganizerTest, ADropAppendsEveryListInOrderAsOneStepAtTheDefaultRate)
{
    addLists();
    controller.defaultsManager->setDefaultFps (24);
    undo.clearUndoHistory();

    organizer->filesDropped ({ csv ("Act 2.csv"), csv ("Act 1 (final mix).csv") }, 10, 10);
    EXPECT_EQ (documentOrder(), juce::StringArray ({ "Day", "Act 1", "Act 2", "Act 3", "Act 2", "Act 1" }));
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer->getNumRows() == 5; }));
    EXPECT_EQ (rowNames (*organizer), juce::StringArray ({ "Act 1", "Act 2", "Act 3", "Act 2", "Act 1" }));
    const auto lists = controller.cueListManager->getCueLists();
    EXPECT_EQ (lists[4]->getFps(), 24);
    EXPECT_EQ (lists[5]->getFps(), 24);
    EXPECT_EQ (lists[5]->getCues().size(), 2u);
    EXPECT_EQ (undo.getUndoDescription(), "Add New CueList");

    controller.undo();
    EXPECT_EQ (documentOrder(), juce::StringArray ({ "Day", "Act 1", "Act 2", "Act 3" }));
    EXPECT_FALSE (undo.canUndo()) << "one step for the whole drop";
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer->getNumRows() == 3; }));
}

TEST_F (CueListOrganizerTest, RefusedFilesAddNothingAndTellOnce)
{
    const struct
    {
        const char* name;
        juce::StringArray files;
        juce::StringArray added;
        juce::StringArray dialogs;
    } cases[] = {
        { "a good and a refused file", { csv ("Act 2.csv"), csv ("Spreadsheet.csv") }, { "Act 2" }, { refusedFormat } },
        { "the same refusal twice", { csv ("Spreadsheet.csv"), csv ("Spreadsheet 2.csv") }, {}, { refusedFormat } },
        { "two refusals: the later message replaces the earlier one",
          { csv ("Seconds.csv"), csv ("Empty.csv") }, {}, { noCues } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto before = documentOrder();
        organizer->filesDropped (c.files, 10, 10);
        EXPECT_EQ (dialogsDuring (300), c.dialogs);
        DialogPresenter::getInstance()->dismiss();
        EXPECT_TRUE (dialogsDuring (100).isEmpty()) << "nothing comes back after it was closed";

        auto after = documentOrder();
        after.removeRange (0, before.size());
        EXPECT_EQ (after, c.added);
    }
}

TEST_F (CueListOrganizerTest, AClickSelectsTheRowsListForThePage)
{
    addLists();
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer->getNumRows() == 3; }));
    auto& selection = *controller.selectedCueListHandler;
    ASSERT_TRUE (selection.getActiveCueList()->isTimetable()) << "the handler starts on the first list";

    auto* row = organizer->getRow (1);
    row->onClick();
    EXPECT_EQ (selection.getActiveCueList(), row->getCueList());
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ (organizer->getRow (i)->isActive(), i == 1) << i;
        EXPECT_EQ (organizer->getRow (i)->getActiveIcon().isVisible(), i == 1) << i;
    }

    // Deleting the selected list: the handler falls back, the rows are rebuilt.
    row->getDeleteButton().triggerClick();
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer->getNumRows() == 2; }));
    EXPECT_EQ (rowNames (*organizer), juce::StringArray ({ "Act 1", "Act 3" }));
    EXPECT_EQ (undo.getUndoDescription(), "Delete Cue List");
    EXPECT_TRUE (selection.getActiveCueList()->isTimetable());
    EXPECT_FALSE (organizer->getRow (0)->isActive());
}

// The rows are replaced on every change of the lists, an undo or redo during a drag included:
// what the drag still describes then is no row of this organizer.
TEST_F (CueListOrganizerTest, ADragWhoseRowIsGoneOrForeignChangesNothing)
{
    addLists();
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer->getNumRows() == 3; }));
    controller.cueListManager->deleteCueList (uuidOf ("Act 3"));
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer->getNumRows() == 2; }));

    juce::Component::SafePointer<juce::Component> dragged (organizer->getRow (0));
    organizer->itemDragMove (dragOf (dragged, 0, 1));
    ASSERT_EQ (organizer->indexOfRow (dynamic_cast<CsvFileComponent*> (dragged.getComponent())), 1) << "moved while dragged";

    controller.undo(); // the deleted list comes back: every row is replaced
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer->getNumRows() == 3; }));
    ASSERT_EQ (dragged, nullptr);

    CueListOrganizer other (controller);
    ASSERT_TRUE (test::pumpUntil ([&] { return other.getNumRows() == 3; }));
    juce::Label notARow;
    for (auto* source : { static_cast<juce::Component*> (nullptr), static_cast<juce::Component*> (other.getRow (0)),
                          static_cast<juce::Component*> (&notARow) })
    {
        organizer->itemDragMove (dragOf (source, 0, 2));
        organizer->itemDropped (dragOf (source, 0, 2));
    }
    EXPECT_EQ (rowNames (*organizer), juce::StringArray ({ "Act 1", "Act 2", "Act 3" }));
    EXPECT_EQ (documentOrder(), juce::StringArray ({ "Day", "Act 1", "Act 2", "Act 3" }));
    EXPECT_TRUE (undo.canRedo()) << "no transaction was opened";
    EXPECT_EQ (undo.getRedoDescription(), "Delete Cue List");
}

TEST_F (CueListOrganizerTest, MovesMapRowsToTheNodesPastTheTimetable)
{
    // The timetable in the middle of the node: rows count only the other lists.
    auto lists = controller.cueListManager->getState();
    for (auto name : { "A", "B" })
        lists.appendChild (test::listNode (name, 0, 1000), nullptr);
    lists.appendChild (test::listNode ("T", 0, 1000, true), nullptr);
    lists.appendChild (test::listNode ("C", 0, 1000), nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer->getNumRows() == 3; }));
    undo.clearUndoHistory();

    const struct
    {
        int from, over;
        juce::StringArray order;
    } cases[] = {
        { 0, 2, { "B", "T", "C", "A" } },
        { 2, 0, { "C", "A", "B", "T" } },
        { 1, 1, { "A", "B", "T", "C" } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.from);
        auto* row = organizer->getRow (c.from);
        organizer->itemDragMove (dragOf (row, c.from, c.over));
        organizer->itemDropped (dragOf (row, c.from, c.over));
        EXPECT_EQ (documentOrder(), c.order);
        EXPECT_EQ (undo.canUndo(), c.from != c.over);
        if (undo.canUndo())
        {
            EXPECT_EQ (undo.getUndoDescription(), "Move CueList");
            controller.undo();
        }
        undo.clearUndoHistory();
        ASSERT_TRUE (test::pumpUntil ([&] { return rowNames (*organizer) == juce::StringArray ({ "A", "B", "C" }); }));
    }
}
