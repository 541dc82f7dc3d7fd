#include "OrganizerFixture.h"
#include "PreferencesWindows.h"
#include "document/AppData.h"
#include "pages/CueListComponent.h"
#include "pages/PreferencesView.h"
#include "pages/ProjectView.h"
#include "ui/AudioFiles.h"
#include "ui/DesktopWindow.h"
#include "ui/MainComponent.h"
#include "ui/PeerInput.h"

// The project page in the preferences window as the application builds it, driven through its
// native window: files dropped as the windowing system delivers them, rows dragged with the mouse.
namespace
{
struct ProjectPageWindowTest : test::WithPreferencesWindows<test::OrganizerFixture>
{
    ProjectView& page()
    {
        EXPECT_TRUE (test::pumpUntil ([this] { return dynamic_cast<ProjectView*> (view->getPage()) != nullptr; }));
        return *dynamic_cast<ProjectView*> (view->getPage());
    }

    CueListOrganizer& organizer() { return page().getOrganizer(); }

    /** Files dragged over a component and let go there; whether the window took them. */
    bool dropFiles (juce::Component& target, const juce::StringArray& files)
    {
        juce::ComponentPeer::DragInfo info;
        info.files = files;
        info.position = prefsWindow.getLocalPoint (&target, target.getLocalBounds().getCentre());
        peer().handleDragMove (info);
        const bool taken = peer().handleDragDrop (info);
        if (! taken)
            peer().handleDragExit (info); // the drag ends there, as the windowing system ends it
        return taken;
    }

    juce::Point<int> slot (int row) const { return { 200, CueListOrganizer::rowHeight * row + 16 }; }

    /** Presses a row's handle and drags the row over the slot of another row. */
    void dragRow (int row, int overRow)
    {
        auto& handle = organizer().getRow (row)->getHandle();
        mouse.press (handle, { 5, 11 });
        mouse.dragTo (handle, { 5, 15 });
        ASSERT_TRUE (organizer().isDragAndDropActive());
        dragOver (overRow);
    }

    /** Moves the dragged row over a slot and waits for the rows to settle there. */
    void dragOver (int row)
    {
        mouse.dragTo (organizer(), slot (row));
        ASSERT_TRUE (test::pumpUntil ([] { return ! juce::Desktop::getInstance().getAnimator().isAnimating(); }));
    }

    void letGo (juce::Component& over, juce::Point<int> at)
    {
        mouse.release (over, at);
        ASSERT_TRUE (test::pumpUntil ([this] { return ! organizer().isDragAndDropActive(); }));
    }

    /** A key pressed in the window, once the window has the keyboard focus (the X server
        hands it over asynchronously, later on a loaded machine). */
    bool press (int key, int modifiers)
    {
        focusWindow();
        test::pumpUntil ([this] { return prefsContent->hasKeyboardFocus (true); });
        return peer().handleKeyPress (juce::KeyPress (key, juce::ModifierKeys (modifiers), 0));
    }

    void focusWindow()
    {
        peer().handleFocusGain();
        prefsContent->focusContent();
    }

    /** Every row shown, opaque, at its slot, its handle up. */
    void expectRowsAtRest()
    {
        auto& o = organizer();
        for (int i = 0; i < o.getNumRows(); ++i)
        {
            auto* row = o.getRow (i);
            EXPECT_TRUE (row->isVisible()) << i;
            EXPECT_EQ (row->getAlpha(), 1.0f) << i;
            EXPECT_FALSE (row->getHandle().getToggleState()) << i;
            EXPECT_EQ (row->getY(), CueListOrganizer::rowHeight * i + 5) << i;
        }
    }

    /** The list names in the order the saved document file holds them. */
    juce::StringArray savedOrder()
    {
        juce::StringArray names;
        if (auto xml = juce::parseXML (controller.getAppData().getDocumentFile()))
            if (auto* lists = xml->getChildByName ("CueLists"))
                for (auto* list : lists->getChildIterator())
                    names.add (list->getStringAttribute ("name"));
        return names;
    }
};
}

TEST_F (ProjectPageWindowTest, AFreshStartShowsTheOrganizerInvitingTheFirstDrop)
{
    auto& o = organizer();
    ASSERT_TRUE (o.isShowing());
    EXPECT_EQ (o.getNumRows(), 0);
    EXPECT_TRUE (test::pumpUntil ([this] { return ! page().getSelectedListComponent().isVisible(); })) << "no list to show";
    EXPECT_EQ (page().getSelectedListPanel().getTitleText(), "");

    // What the window shows where the organizer lies, against the text drawn on the same ground.
    const auto area = prefsContent->getLocalArea (&o, o.getLocalBounds());
    const auto shot = prefsContent->createComponentSnapshot (area);
    juce::Image expected (juce::Image::ARGB, shot.getWidth(), shot.getHeight(), true);
    const int textTop = (o.getHeight() - 40) / 2 + 50;
    {
        juce::Graphics g (expected);
        g.fillAll (shot.getPixelAt (2, 2));
        g.setColour (juce::Colour (0xff404040));
        g.setFont (20.0f);
        g.drawText ("Drop your CSV files here...", juce::Rectangle<int> (0, textTop, o.getWidth(), 20),
                    juce::Justification::centred, false);
    }
    int differing = 0;
    for (int y = textTop - 4; y < textTop + 24; ++y)
        for (int x = 10; x < shot.getWidth() - 10; ++x) // the panel's rounded edge is not the point here
            differing += shot.getPixelAt (x, y) != expected.getPixelAt (x, y) ? 1 : 0;
    EXPECT_EQ (differing, 0);
}

TEST_F (ProjectPageWindowTest, FilesDroppedOnTheWindowBecomeListsUnlessRefused)
{
    auto& o = organizer();
    EXPECT_TRUE (dropFiles (o, { csv ("Act 1 (final mix).csv"), csv ("Act 2.csv") }));
    ASSERT_TRUE (test::pumpUntil ([&] { return o.getNumRows() == 2; }));
    EXPECT_EQ (rowNames (o), juce::StringArray ({ "Act 1", "Act 2" }));
    EXPECT_EQ (undo.getUndoDescription(), "Add New CueList");

    // Refused drags never reach the import: no list, no dialog.
    for (const auto& files : { juce::StringArray { csv ("Upper.CSV") }, juce::StringArray { csv ("Notes.txt") },
                               juce::StringArray { csv ("Act 2.csv"), csv ("Notes.txt") } })
    {
        EXPECT_FALSE (dropFiles (o, files)) << files.joinIntoString (" | ");
        EXPECT_TRUE (dialogsDuring (200).isEmpty());
    }
    EXPECT_EQ (documentOrder(), juce::StringArray ({ "Act 1", "Act 2" }));

    // A refused file that looks right: its import tells once why.
    EXPECT_TRUE (dropFiles (o, { csv ("Spreadsheet.csv") }));
    EXPECT_EQ (dialogsDuring (300).size(), 1);
    EXPECT_EQ (shownDialogTitle(), "Oops...");
    EXPECT_EQ (documentOrder(), juce::StringArray ({ "Act 1", "Act 2" }));
}

TEST_F (ProjectPageWindowTest, ARowClickShowsItsListAndTheTimelineTakesItsAudioFile)
{
    auto& o = organizer();
    ASSERT_TRUE (dropFiles (o, { csv ("Act 1 (final mix).csv") }));
    ASSERT_TRUE (test::pumpUntil ([&] { return o.getNumRows() == 1; }));
    mouse.click (o.getRow (0)->getNameLabel(), { 20, 10 });

    auto& panel = page().getSelectedListComponent();
    ASSERT_TRUE (test::pumpUntil ([&] { return panel.isShowing(); }));
    EXPECT_EQ (page().getSelectedListPanel().getTitleText(), "Act 1");
    EXPECT_EQ (panel.getFileLabel().getText(), "Act 1 (final mix).csv");
    EXPECT_EQ (panel.getCueView().getNumRows(), 2);

    const auto wav = home.getHome().getChildFile ("mix.wav");
    juce::WavAudioFormat format;
    ASSERT_TRUE (test::writeAudio (format, wav, 8000.0, 8000, test::quietSine));
    EXPECT_TRUE (dropFiles (panel.getTimeline(), { wav.getFullPathName() }));
    ASSERT_TRUE (test::pumpUntil ([&] { return panel.getCueList()->getAudioFile() == wav.getFullPathName(); }));
    EXPECT_EQ (undo.getUndoDescription(), "Set CueList Audiofile");
    EXPECT_TRUE (test::pumpUntil ([&] { return panel.getTimeline().getThumbnail().getNumChannels() == 1; }))
        << "the timeline reads the new file";
}

TEST_F (ProjectPageWindowTest, DraggingTheFirstListBelowTheLastSavesTheNewOrderAndControlZRevertsIt)
{
    addLists();
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer().getNumRows() == 3; }));
    focusWindow();

    dragRow (0, 2);
    EXPECT_EQ (rowNames (organizer()), juce::StringArray ({ "Act 2", "Act 3", "Act 1" })) << "the rows show the new order";
    EXPECT_TRUE (organizer().getRow (2)->getHandle().getToggleState());
    letGo (organizer(), slot (2));

    EXPECT_EQ (documentOrder(), juce::StringArray ({ "Day", "Act 2", "Act 3", "Act 1" }));
    EXPECT_EQ (undo.getUndoDescription(), "Move CueList");
    EXPECT_TRUE (test::pumpUntil ([&] { return savedOrder() == juce::StringArray ({ "Day", "Act 2", "Act 3", "Act 1" }); }))
        << savedOrder().joinIntoString (", ");
    ASSERT_TRUE (test::pumpUntil ([&] { return rowNames (organizer()) == juce::StringArray ({ "Act 2", "Act 3", "Act 1" }); }));
    expectRowsAtRest();

    EXPECT_TRUE (press ('z', juce::ModifierKeys::ctrlModifier));
    EXPECT_EQ (documentOrder(), juce::StringArray ({ "Day", "Act 1", "Act 2", "Act 3" }));
    EXPECT_TRUE (test::pumpUntil ([&] { return rowNames (organizer()) == juce::StringArray ({ "Act 1", "Act 2", "Act 3" }); }));

    // The last list to the top.
    dragRow (2, 0);
    letGo (organizer(), slot (0));
    EXPECT_EQ (documentOrder(), juce::StringArray ({ "Day", "Act 3", "Act 1", "Act 2" }));
}

TEST_F (ProjectPageWindowTest, ADragLetGoInPlaceOrOutsideRestoresTheRowsAndAddsNoStep)
{
    addLists();
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer().getNumRows() == 3; }));
    const auto order = documentOrder();

    // Over another row and back again.
    dragRow (1, 2);
    dragOver (1);
    letGo (organizer(), slot (1));
    EXPECT_FALSE (undo.canUndo());
    expectRowsAtRest();

    // Over another row, then let go on the document bar.
    dragRow (0, 2);
    auto* moving = organizer().getRow (2);
    EXPECT_TRUE (! moving->isVisible() || moving->getAlpha() < 0.5f) << "the dragged row is hidden while it moves";
    letGo (page().getDocumentBar(), { 100, 20 });
    EXPECT_FALSE (undo.canUndo());
    EXPECT_EQ (documentOrder(), order);
    EXPECT_EQ (rowNames (organizer()), juce::StringArray ({ "Act 1", "Act 2", "Act 3" }));
    expectRowsAtRest();
}

TEST_F (ProjectPageWindowTest, ADragTriedWhileTheLastOneEndsLeavesNoHandleDown)
{
    addLists();
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer().getNumRows() == 3; }));
    dragRow (1, 1);
    mouse.release (organizer(), slot (1));
    ASSERT_TRUE (organizer().isDragAndDropActive()) << "the last drag's image is still on its way out";

    auto& handle = organizer().getRow (0)->getHandle();
    mouse.press (handle, { 5, 11 });
    mouse.dragTo (handle, { 5, 15 });
    EXPECT_FALSE (handle.getToggleState());
    letGo (handle, { 5, 15 });
    expectRowsAtRest();
    EXPECT_FALSE (undo.canUndo());
}

// Every change of the lists replaces the rows, so an undo or redo pressed during a drag takes
// the dragged row away: the drag then ends without changing anything.
TEST_F (ProjectPageWindowTest, UndoOrRedoDuringADragChangeNothingElse)
{
    addLists();
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer().getNumRows() == 3; }));
    controller.cueListManager->deleteCueList (organizer().getRow (2)->getComponentID());
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer().getNumRows() == 2; }));
    focusWindow();

    dragRow (0, 1);
    ASSERT_TRUE (press ('z', juce::ModifierKeys::ctrlModifier));
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer().getNumRows() == 3; }));
    letGo (organizer(), slot (1));
    EXPECT_EQ (documentOrder(), juce::StringArray ({ "Day", "Act 1", "Act 2", "Act 3" }));
    EXPECT_EQ (undo.getRedoDescription(), "Delete Cue List") << "no transaction was opened";
    ASSERT_TRUE (test::pumpUntil ([&] { return rowNames (organizer()) == juce::StringArray ({ "Act 1", "Act 2", "Act 3" }); }));
    expectRowsAtRest();

    dragRow (0, 2);
    ASSERT_TRUE (press ('y', juce::ModifierKeys::ctrlModifier));
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer().getNumRows() == 2; }));
    letGo (organizer(), slot (1));
    EXPECT_EQ (documentOrder(), juce::StringArray ({ "Day", "Act 1", "Act 2" }));
    EXPECT_EQ (undo.getUndoDescription(), "Delete Cue List");
    EXPECT_FALSE (undo.canRedo());
    expectRowsAtRest();
}

TEST_F (ProjectPageWindowTest, APageClosedDuringADragLeavesNothingBehind)
{
    addLists();
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer().getNumRows() == 3; }));
    dragRow (0, 2);
    view->clearPage();
    mouse.release (*prefsContent, { 300, 300 });
    test::pumpFor (300);
    EXPECT_EQ (documentOrder(), juce::StringArray ({ "Day", "Act 1", "Act 2", "Act 3" }));
    EXPECT_FALSE (undo.canUndo());
}
